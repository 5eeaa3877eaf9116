// The rule that the hips face +Z: LeftUpLeg lies along +X from RightUpLeg.
#pragma once

#include "axisvalidator.h"

class HipsXAxisValidator : public AxisValidator
{
public:
    HipsXAxisValidator()
        : AxisValidator(2, 5, 1.0f,
                        "The hips don't seem to be facing the positive direction of the Z axis.",
                        "The hips don't seem to be facing the positive direction of the Z axis. "
                        "There is a difference of ",
                        " degrees between them and the X axis. This difference should be less "
                        "than ")
    {}
};
