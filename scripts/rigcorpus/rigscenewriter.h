// Writes a corpus rig as a Kestrel JSON scene, so that the desktop can show it and
// `kestrel --characterize` can run over a folder of them.
#pragma once

#include "truthrig.h"

#include <QString>

class RigSceneWriter
{
public:
    // One joint per rig joint, in order, at its world position (scene units as the rig has
    // them, no rotations). Names are made valid node names. False with `error` when a joint
    // cannot be created or the file cannot be written; the file is then left as it was.
    static bool Write(const TruthRig& rig, const QString& path, QString* error);
    // A file name for the rig: its label with everything but letters, digits and '-' as '_'.
    static QString FileName(const TruthRig& rig, int index);
};
