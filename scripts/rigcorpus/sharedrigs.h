// The real skeletons beside the repository, with the truth for each, read through the host.
#pragma once

#include "truthrig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Slot name → joint name as written in the file.
using Truth = std::vector<std::pair<QByteArray, QString>>;

// `centre` as it is, and each "Left…" entry of `sided` for both sides: "%1" in the joint name
// becomes `left` or `right`.
Truth Sided(const Truth& centre, const Truth& sided, const QString& left, const QString& right);
// "Left<part><Digit><k>" → `joint` with %2 the digit's word from `digits` ("Thumb=thumb ...")
// and %3 = k, for k = 1..count; `base` (if given) names "LeftIn<part><Digit>" with %2.
Truth Digits(const char* part, const char* digits, const QString& joint, int count,
             const QString& base = QString());
// "Slot=joint,Slot=joint,...", each joint behind `prefix`; a slot alone is named after
// itself, its "Left" standing for the side (%1).
Truth Pairs(const QString& prefix, const QString& text);
Truth operator+(Truth a, const Truth& b);

// The slot named `name` ("LeftHandThumb1"), or -1 for an unknown name.
NodeId NodeByName(const char* name);

// The shared skeleton folder, or empty when it is absent (tests needing it then skip).
QString SharedSkeletonDir();

// Every shared skeleton with its truth: the bipeds, the four-legged animal and the robot arm.
// Empty when the shared folder is absent. With it present, a file that does not read or a truth
// naming a joint or slot that does not exist is a fault, appended to `problems`.
std::vector<TruthRig> SharedRigs(QStringList* problems = nullptr);
