// Loading of the images compiled into the tool under ":/characterizationtool/".
#pragma once

#include <QPixmap>
#include <QString>

// ":/characterizationtool/" + imageName.
QString ImageResourcePath(const QString& imageName);

// The pixmap of image imageName (e.g. "Bones/FullBody/LeftFoot_Err.png"). A missing image prints
// "PIXMAP: <resource path> MISSING" to standard output and yields a null pixmap. Needs a
// QGuiApplication. Pixmaps are cached by name (see QPixmapCache). Registers the compiled-in image
// tree on first use, so tests that link the tool's static libraries find the same images as the
// loaded plug-in.
QPixmap LoadPixmap(const QString& imageName);
