// The rule that the left arm points along +X: LeftHand from LeftArm.
#pragma once

#include "axisvalidator.h"

class LeftArmsXAxisValidator : public AxisValidator
{
public:
    LeftArmsXAxisValidator()
        : AxisValidator(11, 9, 1.0f, "The left arm doesn't seem to be parallel to the X axis.",
                        "The left arm doesn't seem to be parallel to the X axis. There is a "
                        "difference of ",
                        " degrees between it and the X axis. This difference should be less "
                        "than ")
    {}
};
