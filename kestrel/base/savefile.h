// Writing a whole file so that a failure at any point leaves the old file as it was.
#pragma once

#include "kestrelexport.h"

#include <QByteArray>
#include <QString>

namespace kestrel {

// Writes `bytes` to `path` through a temporary file beside it that replaces the old file only
// once every byte was written and flushed. False with `reason` (the system's text, such as
// "No space left on device") when the folder takes no new file, a write or the flush fails,
// or the rename fails; the old file, if any, is then untouched and no temporary file is left.
KESTREL_EXPORT bool SaveFileContents(const QString& path, const QByteArray& bytes, QString* reason);

} // namespace kestrel
