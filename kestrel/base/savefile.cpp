#include "base/savefile.h"

#include <QSaveFile>

namespace kestrel {

bool SaveFileContents(const QString& path, const QByteArray& bytes, QString* reason)
{
    QSaveFile file(path);
    // Unbuffered, so a full disk fails the write itself. Through Qt's buffer the bytes would
    // reach the disk only while commit() closes the file, and Qt 5 then renames the empty
    // temporary file over the old one without reporting the failed write.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace kestrel
