// One host joint sample, in the solver's rest-record layout.
#pragma once

#include "solver/noderestate.h"

#include <cstdint>

// A joint's frame as read from the host: translation, rotation (rotation combined with the
// rotate axis), scale, pre-rotation (joint orient or rotate axis), post-rotation (inverse
// rotate axis), rotation limits in radians with their flag word, parent-offset rotation and
// the solver's rotation-order code. Quaternions are (x, y, z, w). The field order matches
// kinetra::NodeRestState so a sample converts field for field.
struct NodeTransformRecord
{
    float Translate[3] = {0, 0, 0};
    float Rotate[4] = {0, 0, 0, 1};
    float Scale[3] = {0, 0, 0};
    float PreRot[4] = {0, 0, 0, 1};
    float PostRot[4] = {0, 0, 0, 1};
    float MaxRLimit[3] = {0, 0, 0};
    float MinRLimit[3] = {0, 0, 0};
    std::uint32_t LimitFlags = 0;
    float RotateParentOffset[4] = {0, 0, 0, 1};
    std::int32_t RotationOrder = 0;
};

static_assert(sizeof(NodeTransformRecord) == sizeof(kinetra::NodeRestState),
              "a joint sample has the rest record's layout");

// The rest state a sample stands for: every field copied, nothing else.
kinetra::NodeRestState ToRestState(const NodeTransformRecord& record);
