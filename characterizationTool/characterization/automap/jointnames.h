// What a joint's name says: the side it is on and the body part it names, in common conventions.
#pragma once

#include <QString>
#include <QStringList>

// Names are evidence, never the whole answer: the auto-mapper weighs them against the rest
// pose. Every reading here is conservative: a name that says two things says nothing.
class JointNames
{
public:
    enum class Side
    {
        None,
        Left,
        Right
    };
    enum class Part
    {
        Head,
        HeadEnd, // a joint at the top or end of the head ("HeadTop_End", "HeadNub")
        Thumb,
        Index,
        Middle,
        Ring,
        Pinky,
        UpperArm,
        Collar,
        PalmBone, // a metacarpal or metatarsal: the base of a digit inside the palm or sole
        Twist,    // a twist or roll helper inside a limb segment
        Tip       // the end of a chain, no joint that turns ("Index3_end", "Finger0Nub")
    };

    // The lower-case words of a host name: separators, case changes and digits split it, and
    // the host's escapes of spaces and punctuation ("XFRASC032") are undone first.
    static QStringList Words(const QString& name);
    // The side a name reads: "Left…", "…_l", ".L", "Bip01 L …", "J_Bip_L_…", "l-…", "LThumb",
    // and side words of a few languages.
    static Side SideOf(const QString& name);
    // Whether the name names `part`.
    static bool Names(const QString& name, Part part);
};
