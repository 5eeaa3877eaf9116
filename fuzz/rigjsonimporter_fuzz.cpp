// Fuzz target: rig JSON import, in both up-axis conventions.
#include "sceneroundtrip.h"

#include "io/importoptions.h"
#include "io/rigjsonimporter.h"
#include "io/scenedescription.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the up axis (as in the file, Y-up, Z-up); the rest is the file.
    if (size == 0)
        return 0;
    kestrel::ImportOptions options;
    if (data[0] % 3 == 1)
        options.upAxis = kestrel::UpAxis::Y;
    else if (data[0] % 3 == 2)
        options.upAxis = kestrel::UpAxis::Z;
    const QByteArray text(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    kestrel::SceneDescription description;
    QString error;
    if (kestrel::RigJsonImporter::Read(text, options, &description, &error))
        CheckSceneRoundTrip(description);
    return 0;
}
