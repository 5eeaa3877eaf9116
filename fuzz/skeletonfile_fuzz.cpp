// Fuzz target: the skeleton files read by path: glTF and GLB through the host's own reader,
// FBX, Collada and ASE through Assimp.
#include "sceneroundtrip.h"

#include "io/scenedescription.h"
#include "io/scenedocument.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the format by the file's extension; the rest is the file, written
    // to one scratch folder for the whole run because the readers take a path.
    static const char* const kSuffixes[] = {"gltf", "glb", "fbx", "dae", "ase"};
    static QTemporaryDir folder;
    if (size == 0 || !folder.isValid())
        return 0;
    const QString path =
        folder.filePath(QStringLiteral("input.") + QLatin1String(kSuffixes[data[0] % 5]));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1)) !=
                qint64(size - 1))
            return 0;
    }
    kestrel::SceneDescription description;
    QString error;
    if (kestrel::SceneDocument::ReadFile(path, -1, &description, &error))
        CheckSceneRoundTrip(description);
    QFile::remove(path);
    return 0;
}
