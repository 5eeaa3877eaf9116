// The one interactive way to bind a joint to a node: asks before it takes anything away.
#pragma once

#include "model/nodecatalogue.h"

#include <QString>

class CharacterizationModel;
class QWidget;

// Binds `joint` to `node` after asking, in boxes centred on `parent`, before replacing the
// node's joint or taking the joint from another node; in mirror mode then offers the partner
// joint to the partner node the same way (mirror mode off for that step). True when either
// binding happened.
bool AssignWithConfirmation(QWidget* parent, CharacterizationModel& model, NodeId node,
                            const QString& joint);

// One node's step. `mirroring` only changes the box titles. Yields the partner the mirrored
// assignment found (`mirrorNode` -1 when none).
bool ConfirmAndAssign(QWidget* parent, CharacterizationModel& model, NodeId node,
                      const QString& joint, bool mirroring, NodeId& mirrorNode,
                      QString& mirrorJoint);
