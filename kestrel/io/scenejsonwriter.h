// Writes a scene description as a Kestrel JSON scene file.
#pragma once

#include "kestrelexport.h"

#include <QByteArray>
#include <QString>

namespace kestrel {

class SceneDescription;

class KESTREL_EXPORT SceneJsonWriter
{
public:
    // The file text for `description` (UTF-8, one node per line, see the format in the
    // source).
    static QByteArray ToJson(const SceneDescription& description);
    // Writes the text to `path` (SaveFileContents); false with `error` set when the file
    // cannot be written, or when a number is refused by SceneDescription::ValidateNumbers
    // (the error names the node and channel). The old file then stays as it was.
    static bool Write(const SceneDescription& description, const QString& path, QString* error);
};

} // namespace kestrel
