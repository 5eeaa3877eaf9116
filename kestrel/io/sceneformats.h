// The one table of scene file formats: what reads each extension, and the texts that name
// them in File > Open and Import, in --help and in the error for an unknown extension.
#pragma once

#include "kestrelexport.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrel {

// Which reader a file goes to.
enum class SceneReader
{
    Json,   // a Kestrel scene, or a rig definition (RigJsonImporter) when it looks like one
    Bvh,    // BvhImporter
    Assimp, // AssimpImporter: glTF by the host's own reader, the others through Assimp
};

struct SceneFormat
{
    const char* suffix;      // lower case, without the dot
    const char* description; // for the file dialogs' filters
    SceneReader reader;
};

class KESTREL_EXPORT SceneFormats
{
public:
    // The formats the host names, in the order it names them. Assimp reads more; Find
    // answers those too.
    static const std::vector<SceneFormat>& Named();
    // The reader for a file's extension (any case, without the dot); false when none reads
    // it.
    static bool Find(const QString& suffix, SceneReader* reader);
    // ".json, .bvh, .fbx, ..." for messages and --help.
    static QString SuffixList();
    // File dialog filters: all named formats together, each on its own, then all files.
    static QString OpenFilter();
};

} // namespace kestrel
