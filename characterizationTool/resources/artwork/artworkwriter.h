// Writes the generated images into a folder and lists them in a Qt resource collection.
#pragma once

#include <QDir>
#include <QImage>
#include <QStringList>

class ArtworkWriter
{
public:
    // Images go below outputDir, which is created when missing.
    explicit ArtworkWriter(const QString& outputDir);

    // Writes image as the PNG file `name` (a relative path such as "Bones/Hands/X.png"),
    // creating its folders, and remembers the name. False, with a message on standard error,
    // when the image is null, the name repeats one already written, or writing fails.
    bool Save(const QString& name, const QImage& image);

    // Writes `fileName` in the output folder: a resource collection with every saved image
    // under the prefix "/characterizationtool". False when it cannot be written.
    bool WriteCollection(const QString& fileName) const;

    const QDir& OutputDir() const { return m_dir; }

private:
    QDir m_dir;
    QStringList m_names;
};
