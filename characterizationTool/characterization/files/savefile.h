// Writing one of the tool's files so that a failed write never costs the old file.
#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to `path` through a temporary file beside it that replaces the old file only
// once every byte was written and flushed. In a folder where no new file can be made but the
// file itself may be replaced, it writes in place instead, and puts the old bytes back when
// that write fails. False when the file does not hold `bytes` afterwards; the old file is
// then as it was (in place: as far as the disk lets it be written back).
bool SaveFileContents(const QString& path, const QByteArray& bytes);
