// Saving a characterization as a characterization file with its bone correspondence file.
#pragma once

#include <QString>
#include <QStringList>

class Characterization;

// The file-type strings of the save dialog. The filters are compared with the dialog's
// selected filter by exact equality.
struct CharacterizationFileTypes
{
    static const QString& Extension();          // ".kntc"
    static const QString& BigEndianFilter();    // "Binary KNT big endian (*.kntc)"
    static const QString& LittleEndianFilter(); // "Binary KNT little endian (*.kntc)"
};

// Path rules of the save dialog, applied to the path as the user selected it.
// The bone correspondence file: the base name up to its first "." followed by ".bones.xml",
// in the same directory, as an absolute path ("dir/hero.old" -> "dir/hero.bones.xml").
QString BoneCorrespondencePath(const QString& selectedPath);
// The characterization file: ".kntc" appended unless the path already ends with it, case
// ignored ("hero" -> "hero.kntc", "HERO.KNTC" unchanged).
QString CharacterizationFilePath(const QString& selectedPath);

// Writes the characterization file (solver image of the characterization, without parent
// offsets; usage words as stored with `saveRotationLimits`, else reduced to 0/1) and replaces
// the list "bone_correspondance" of the correspondence document by the 212 joint names,
// keeping its other content. Both files are written atomically (in place where no temporary
// file can be made beside them). The correspondence file is written even when the
// characterization file cannot be. Answers the paths that could not be written, in that order;
// empty when both were.
QStringList WriteBinaryCharacterization(Characterization& characterization,
                                        const QString& characterizationPath,
                                        const QString& boneCorrespondencePath, bool bigEndian,
                                        bool saveRotationLimits);
