#include "artworkwriter.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

ArtworkWriter::ArtworkWriter(const QString& outputDir)
    : m_dir(outputDir)
{
    m_dir.mkpath(QStringLiteral("."));
}

bool ArtworkWriter::Save(const QString& name, const QImage& image)
{
    const auto fail = [&](const char* why) {
        std::fprintf(stderr, "artwork: %s: %s\n", qPrintable(name), why);
        return false;
    };
    if (image.isNull())
        return fail("nothing drawn");
    if (m_names.contains(name))
        return fail("drawn twice");
    const QString path = m_dir.filePath(name);
    m_dir.mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return fail("cannot be written");
    m_names.append(name);
    return true;
}

bool ArtworkWriter::WriteCollection(const QString& fileName) const
{
    QSaveFile file(m_dir.filePath(fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/characterizationtool\">\n";
    for (const QString& name : m_names)
        out << "  <file>" << name << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}
