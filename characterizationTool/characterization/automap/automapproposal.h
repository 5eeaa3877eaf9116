// What the auto-mapper proposes: a joint, a confidence and a reason per node slot.
#pragma once

#include "model/nodecatalogue.h"

#include <QString>
#include <QVector>

// A joint that could have taken a slot instead, and how much of the slot's doubt it takes:
// the runner-ups' scores of one slot add up to at most 1 - its confidence.
struct AutoMapRunnerUp
{
    int joint = -1;
    double score = 0.0; // 0..1
};

// One proposed binding. `joint` indexes the skeleton the proposal was made for.
struct AutoMapSlot
{
    NodeId node = -1;
    int joint = -1;
    double confidence = 0.0; // 0..1
    QString reason;          // short, lower case, shown to the user
    // At most two, the likelier first: the other side's joint where sides are in doubt, the
    // step's own next-best choice, then the joints beside this one on its chain.
    QVector<AutoMapRunnerUp> runnerUps;
};

// The proposal for one skeleton. When the skeleton is not a biped, `refusal` says why and
// `entries` is empty. Otherwise `entries` holds only slots at or above the proposal threshold,
// in node id order, with no joint used twice.
struct AutoMapProposal
{
    // Below this a slot is left empty rather than guessed.
    static constexpr double kProposeThreshold = 0.5;
    // Rows at or above this are applied unless the user unticks them; rows below need a tick.
    static constexpr double kTickThreshold = 0.8;

    QString refusal;
    // For a biped whose required slots are not all proposed: one line saying why; else, where
    // left and right are only guessed, one line saying so.
    QString note;
    QVector<AutoMapSlot> entries;

    bool IsBiped() const { return refusal.isEmpty(); }
    // The proposed slot for `node`, or null.
    const AutoMapSlot* SlotOf(NodeId node) const;
    // One line per row for scripts: "NODEID JOINT CONFIDENCE | reason | RUNNERUP SCORE, ..."
    // with `names` the skeleton's joint names; a runner-up list may be empty. A refusal or a
    // note comes as a last line "refused: ..." or "note: ...".
    QStringList ReasonLines(const QStringList& names) const;
    // "joint 0.12, joint 0.05" for the dialog and the lines above.
    static QString RunnerUpText(const AutoMapSlot& slot, const QStringList& names);
};
