// Imports the skeleton of a glTF, FBX, ASE, Collada or other Assimp-readable file as joints.
#pragma once

#include "io/importoptions.h"
#include "kestrelexport.h"

#include <QString>

namespace kestrel {

class SceneDescription;

// Skeleton import through Assimp.
//
// What becomes a joint: every node that a skin names as a bone, every node between two such
// bones, and, in FBX files, the skeleton nodes below a bone that no skin names (end bones).
// Formats without skins whose objects are the skeleton (ASE) take every named object instead.
// Nodes above the skeleton become plain transforms, except those with an identity transform
// (the synthetic roots importers add), which are left out. Meshes, cameras and lights are
// not imported. A file in which nothing is a joint is refused.
//
// Local transforms are the file's own: translation, rotation as Euler angles in xyz order and
// scale. The helper nodes that Assimp inserts for FBX pivots ("name_$AssimpFbx$_Kind") are
// multiplied back into their joint; an FBX pre-rotation becomes the joint orient and the rest
// of the rotation the joint's rotation. Names follow ImportedNames.
//
// Up axis: glTF is Y-up; FBX follows its UpAxis/UpAxisSign settings; for ASE (Z-up by
// convention) and Collada (its up_axis) the axis turn Assimp puts on its root node is kept.
// `options.upAxis` overrides the file: Y takes the file's coordinates as they are (the root
// turn is dropped), Z turns them from Z-up.
class KESTREL_EXPORT AssimpImporter
{
public:
    // True when Assimp can read files with this suffix (lower case, without the dot).
    static bool HandlesSuffix(const QString& suffix);

    // Reads the file at `path`. False with `error` (a sentence without the path) when Assimp
    // cannot read it or it holds no skeleton; `description` is then unspecified. Assimp runs
    // in a child process, so a file that makes it abort or crash is refused like any other
    // unreadable file.
    static bool Read(const QString& path, const ImportOptions& options,
                     SceneDescription* description, QString* error);
};

} // namespace kestrel
