// Fuzz target: BVH import of the hierarchy alone and of one frame of motion.
#include "sceneroundtrip.h"

#include "io/bvhimporter.h"
#include "io/scenedescription.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the frame (-1 = rest pose only) so the fuzzer reaches the MOTION
    // parser as well; the rest is the file.
    if (size == 0)
        return 0;
    const int frame = static_cast<int>(data[0] % 4) - 1;
    const QByteArray text(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    kestrel::SceneDescription description;
    QString error;
    if (kestrel::BvhImporter::Read(text, frame, &description, &error))
        CheckSceneRoundTrip(description);
    return 0;
}
