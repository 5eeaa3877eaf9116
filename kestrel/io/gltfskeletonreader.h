// Reads the node tree and skin joints of a glTF 2.0 file (.gltf or .glb), without its buffers.
#pragma once

#include "io/skeletonbuilder.h"

#include <QString>

#include <vector>

namespace kestrel {

// The skeleton part of glTF only: nodes (name, children, matrix or translation/rotation/
// scale) and the joints of every skin. Meshes, buffers and animations are never read, so a
// rig of 100,000 joints opens in a fraction of the time a full scene reader needs, and skins
// without inverse bind matrices (they are optional) are read like any other.
//
// A .glb must start with the "glTF" magic, version 2, and hold its JSON chunk in full.
class GltfSkeletonReader
{
public:
    // The nodes of the default scene (or of the first, or every parentless node when there is
    // no scene), in pre-order; skin joints are bones. False with `error` for a damaged file,
    // child indices out of range, a node with two parents, or a skin naming a missing node.
    static bool Read(const QString& path, std::vector<SkeletonSourceNode>* nodes, QString* error);
};

} // namespace kestrel
