// The rule that the right arm points along -X: RightHand from RightArm.
#pragma once

#include "axisvalidator.h"

class RightArmsXAxisValidator : public AxisValidator
{
public:
    RightArmsXAxisValidator()
        : AxisValidator(14, 12, -1.0f, "The right arm doesn't seem to be parallel to the X axis.",
                        "The right arm doesn't seem to be parallel to the X axis. There is a "
                        "difference of ",
                        " degrees between it and the X axis. This difference should be less "
                        "than ")
    {}
};
