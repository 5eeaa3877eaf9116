#include "files/savefile.h"

#include <QFile>
#include <QSaveFile>

namespace {

// One attempt through QSaveFile. Unbuffered, so a full disk fails the write itself: through
// Qt's buffer the bytes would reach the disk only while commit() closes the file, and Qt 5
// then renames the empty temporary file over the old one without reporting the failure.
bool WriteThroughSaveFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

bool SaveFileContents(const QString& path, const QByteArray& bytes)
{
    // Only an in-place write can damage the old file; its bytes are kept to put them back.
    QFile old(path);
    const bool hadOld = old.open(QIODevice::ReadOnly);
    const QByteArray oldBytes = hadOld ? old.readAll() : QByteArray();
    old.close();
    if (WriteThroughSaveFile(path, bytes))
        return true;
    QFile now(path);
    if (hadOld && now.open(QIODevice::ReadOnly) && now.readAll() != oldBytes) {
        now.close();
        QFile restore(path);
        if (restore.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            restore.write(oldBytes);
    }
    return false;
}
