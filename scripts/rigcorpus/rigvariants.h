// Traits that have fooled the auto-mapper, each an edit of a rig that keeps its truth right.
#pragma once

#include "truthrig.h"

#include <QRandomGenerator>

#include <vector>

// One edit. `apply` answers false when the rig has nothing it applies to (and leaves it as
// it was).
struct RigTrait
{
    const char* name;
    bool (*apply)(TruthRig& rig, QRandomGenerator& random);
};

// Every trait: palm bones before every digit (the thumb too), twist joints in line and as
// leaves, helpers on the thigh and between hips and thigh, a dummy below the head, a face
// container at the head, no toes, straight or slightly hyperextended knees (without toes),
// one bare hand, a tail, a prop in a hand, an A-pose, side names read from the viewer, aim
// targets in front of the knees, a turn into another up axis and facing with other units.
const std::vector<RigTrait>& RigTraits();
// The trait named `name`, or null.
const RigTrait* FindRigTrait(const char* name);

// Every joint renamed to a meaningless token.
void ScrambleNames(TruthRig& rig, QRandomGenerator& random);
// Whether the rest pose alone shows which way the body faces: toes that run forward, or knees
// standing clearly (at least 2 degrees) forward of the hip-ankle lines.
bool FacingShownByGeometry(const TruthRig& rig);
