// Imports a JSON rig definition (bones with head and tail points) as joints.
#pragma once

#include "io/importoptions.h"
#include "kestrelexport.h"

#include <QByteArray>
#include <QString>

namespace kestrel {

class SceneDescription;

// A rig definition is a JSON object mapping bone names to bone objects, either at the top
// level or under "bones" (other top-level keys are ignored):
//
//   "upperarm_l": {"parent": "clavicle_l",            "" or absent for a root bone
//                  "head": {"default_position": [x, y, z]},   world space, file units
//                  "tail": {"default_position": [x, y, z]},
//                  "roll": r, ...}                    radians about the head-to-tail axis
//
// Each bone becomes a joint at its head. Its rest orientation, in the joint orient (xyz),
// has the bone's local +Y along head-to-tail, turned by the shortest arc from +Y and then by
// `roll` about that axis; rotation stays zero. Rig files are Z-up: root joints are converted
// unless `options.upAxis` is Y. Bones are written parents first, in the order of the
// (alphabetically sorted) keys. Names follow ImportedNames.
class KESTREL_EXPORT RigJsonImporter
{
public:
    // True when `data` parses as a rig definition rather than a Kestrel scene: a JSON
    // object without "kestrelScene" whose bones (top level or under "bones") have a "head".
    static bool LooksLikeRig(const QByteArray& data);

    // False with `error` naming the bone at fault: missing or non-numeric head or tail, an
    // unknown parent, a parent cycle. A bone whose head and tail coincide takes its parent's
    // orientation (none for a root).
    static bool Read(const QByteArray& data, const ImportOptions& options,
                     SceneDescription* description, QString* error);
};

} // namespace kestrel
