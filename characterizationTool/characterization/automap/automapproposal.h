// What the auto-mapper proposes: a joint, a confidence and a reason per node slot.
#pragma once

#include "model/nodecatalogue.h"

#include <QString>
#include <QVector>

// One proposed binding. `joint` indexes the skeleton the proposal was made for.
struct AutoMapSlot
{
    NodeId node = -1;
    int joint = -1;
    double confidence = 0.0; // 0..1
    QString reason;          // short, lower case, shown to the user
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
    // For a biped whose required slots are not all proposed: one line saying why.
    QString note;
    QVector<AutoMapSlot> entries;

    bool IsBiped() const { return refusal.isEmpty(); }
    // The proposed slot for `node`, or null.
    const AutoMapSlot* SlotOf(NodeId node) const;
};
