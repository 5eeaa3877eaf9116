// Applies chosen rows of a proposal to the current characterization as one change that can be
// taken back.
#pragma once

#include "automapproposal.h"

#include <QString>
#include <QVector>

class CharacterizationModel;

// One application of proposed bindings to a model's current characterization. It remembers
// what each touched slot held so Revert puts the characterization back exactly; the caller
// keeps the same characterization current between Apply and Revert.
class AutoMapChange
{
public:
    struct Binding
    {
        NodeId node = -1;
        QString joint; // host name; empty for an unbound slot
    };

    explicit AutoMapChange(const QVector<Binding>& bindings);

    // The rows at or above the tick threshold of `proposal`, joints named from `jointNames`
    // (the skeleton the proposal was made for, by joint index).
    static QVector<Binding> TickedRows(const AutoMapProposal& proposal,
                                       const QStringList& jointNames);

    // Binds every row. A joint already bound to a slot outside the rows is unbound there
    // first, so no joint ends up in two slots. Revalidates. Answers the number of rows bound.
    int Apply(CharacterizationModel& model);
    // Restores every slot Apply touched to what it held before. Revalidates.
    void Revert(CharacterizationModel& model);

    // After Apply: each touched slot with what it held before, and with what Apply left in it
    // (empty for a slot whose joint moved to a row). For callers whose host replays its own
    // side of the change and only needs the tool's record brought along.
    const QVector<Binding>& Before() const { return m_before; }
    QVector<Binding> After() const;

private:
    QVector<Binding> m_bindings;
    QVector<Binding> m_before; // each touched slot with its joint before Apply
};
