// Imports the skeleton of a BVH motion file as joints.
#pragma once

#include "kestrelexport.h"

#include <QByteArray>
#include <QString>

namespace kestrel {

class SceneDescription;

// BVH (motion-capture hierarchy) import.
//
// Every ROOT and JOINT becomes a joint named after it, escaped as EscapeNodeName does
// ("upperleg01.R" becomes "upperleg01XFRASC046R"); the name is the rest of its line, so
// names with blanks survive. End Sites are not imported. Translations are the OFFSETs, in the
// file's units, with no axis conversion. The rotation order of each joint follows its
// rotation channels: channels listed "Zrotation Xrotation Yrotation" compose as
// Rz * Rx * Ry, which is order yxz; axes without a channel are applied first.
//
// Rest pose (frame -1): rotations are zero. Frame f (0-based) takes the f-th line of the
// MOTION section: rotation channels in degrees; position channels replace the OFFSET on the
// root joints and are added to it on the others.
class KESTREL_EXPORT BvhImporter
{
public:
    // False with `error` giving the line and the problem for anything malformed: missing
    // braces or keywords, bad numbers, unknown or repeated channels, duplicate names, a frame
    // that is missing or has the wrong number of values. Only the requested frame's line is
    // parsed.
    static bool Read(const QByteArray& data, int frame, SceneDescription* description,
                     QString* error);
};

} // namespace kestrel
