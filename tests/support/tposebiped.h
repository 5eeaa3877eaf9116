// A T-pose biped skeleton for tests, in a scripted host scene.
#pragma once

#include "model/nodecatalogue.h"

#include <QString>
#include <QVector>

class ScriptedHub;

// One joint of the sample skeleton: the slot it plays and its host name.
struct BipedJoint
{
    NodeId node;
    QString name;
};

// Adds a T-pose biped (centimetres, Y up, facing +Z, left arm along +X) named
// `prefix` + slot name, and returns its joints in slot order:
//
//   Reference
//   └─ Hips ─┬─ LeftUpLeg ── LeftLeg ── LeftFoot ── LeftToeBase     (and the right side)
//            └─ Spine ── Spine1 ── Spine2 ─┬─ Neck ── Head
//                                          ├─ LeftShoulder ── LeftArm ── LeftForeArm ── LeftHand
//                                          └─ RightShoulder ── ...
//
// Besides Reference and the 15 required joints it has the toes, shoulders, neck and Spine1-2.
QVector<BipedJoint> AddTPoseBiped(ScriptedHub& hub, const QString& prefix = QString());
