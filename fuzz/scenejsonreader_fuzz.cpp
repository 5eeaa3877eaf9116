// Fuzz target: the JSON scene reader.
#include "sceneroundtrip.h"

#include "io/scenedescription.h"
#include "io/scenejsonreader.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    kestrel::SceneDescription description;
    QString error;
    if (kestrel::SceneJsonReader::Read(text, &description, &error))
        CheckSceneRoundTrip(description);
    return 0;
}
