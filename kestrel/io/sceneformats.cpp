#include "io/sceneformats.h"

#include "io/assimpimporter.h"

namespace kestrel {

const std::vector<SceneFormat>& SceneFormats::Named()
{
    static const std::vector<SceneFormat> formats = {
        {"json", "Kestrel scenes and rigs", SceneReader::Json},
        {"bvh", "BVH motion capture", SceneReader::Bvh},
        {"fbx", "FBX", SceneReader::Assimp},
        {"glb", "Binary glTF", SceneReader::Assimp},
        {"gltf", "glTF", SceneReader::Assimp},
        {"ase", "ASCII Scene Export", SceneReader::Assimp},
        {"dae", "Collada", SceneReader::Assimp},
    };
    return formats;
}

bool SceneFormats::Find(const QString& suffix, SceneReader* reader)
{
    const QString lower = suffix.toLower();
    for (const SceneFormat& format : Named()) {
        if (lower == QLatin1String(format.suffix)) {
            *reader = format.reader;
            return true;
        }
    }
    if (!AssimpImporter::HandlesSuffix(lower))
        return false;
    *reader = SceneReader::Assimp;
    return true;
}

QString SceneFormats::SuffixList()
{
    QStringList suffixes;
    for (const SceneFormat& format : Named())
        suffixes.append(QLatin1Char('.') + QLatin1String(format.suffix));
    return suffixes.join(QStringLiteral(", "));
}

QString SceneFormats::OpenFilter()
{
    QStringList patterns;
    QStringList filters;
    for (const SceneFormat& format : Named()) {
        const QString pattern = QStringLiteral("*.") + QLatin1String(format.suffix);
        patterns.append(pattern);
        filters.append(QStringLiteral("%1 (%2)").arg(QLatin1String(format.description), pattern));
    }
    return QStringLiteral("Scenes and skeletons (%1);;%2;;All files (*)")
        .arg(patterns.join(QLatin1Char(' ')), filters.join(QStringLiteral(";;")));
}

} // namespace kestrel
