#include "loadpixmap.h"

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
    QPixmap pixmap(path);
    if (pixmap.isNull()) {
        std::printf("PIXMAP: %s %s\n", qPrintable(path), "MISSING");
        std::fflush(stdout);
    }
    return pixmap;
}
