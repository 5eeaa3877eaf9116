#include "loadpixmap.h"

#include <QFile>
#include <QImage>
#include <QPixmapCache>

#include <cstdio>

// Kept outside any namespace: the resource registration function it declares lives in the
// global one.
static void RegisterImages()
{
    // In the plug-in module the image tree registers itself at load; linked statically (tests)
    // it needs this call. Registering twice is harmless, Qt counts registrations.
    static const bool registered = [] {
        Q_INIT_RESOURCE(characterizationtool);
        return true;
    }();
    Q_UNUSED(registered);
}

QString ImageResourcePath(const QString& imageName)
{
    return QStringLiteral(":/characterizationtool/") + imageName;
}

QPixmap LoadPixmap(const QString& imageName)
{
    RegisterImages();
    const QString path = ImageResourcePath(imageName);
    // Compiled-in images never change, so the path alone is a safe cache key.
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    // Decoding the whole file from memory is several times faster than letting QPixmap read the
    // resource through a device, and a panel opening loads a few hundred images.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        pixmap = QPixmap::fromImage(QImage::fromData(file.readAll()));
    if (pixmap.isNull()) {
        std::printf("PIXMAP: %s %s\n", qPrintable(path), "MISSING");
        std::fflush(stdout);
        return pixmap;
    }
    QPixmapCache::insert(path, pixmap);
    return pixmap;
}
