#include "characterizationfile.h"

#include "files/savefile.h"
#include "files/settingsdocument.h"
#include "model/characterization.h"
#include "model/finitenumbervalidator.h"
#include "solver/characterblob.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <memory>

const QString& CharacterizationFileTypes::Extension()
{
    static const QString extension = QStringLiteral(".kntc");
    return extension;
}

const QString& CharacterizationFileTypes::BigEndianFilter()
{
    static const QString filter = QStringLiteral("Binary KNT big endian (*%1)").arg(Extension());
    return filter;
}

const QString& CharacterizationFileTypes::LittleEndianFilter()
{
    static const QString filter = QStringLiteral("Binary KNT little endian (*%1)").arg(Extension());
    return filter;
}

QString BoneCorrespondencePath(const QString& selectedPath)
{
    const QFileInfo info(selectedPath);
    const QString baseName = info.fileName().section(QLatin1Char('.'), 0, 0);
    return QDir(info.absolutePath()).absoluteFilePath(baseName + QStringLiteral(".bones.xml"));
}

QString CharacterizationFilePath(const QString& selectedPath)
{
    const QString& extension = CharacterizationFileTypes::Extension();
    if (selectedPath.endsWith(extension, Qt::CaseInsensitive))
        return selectedPath;
    return selectedPath + extension;
}

namespace {

bool WriteBlob(Characterization& characterization, const QString& path, bool bigEndian,
               bool saveRotationLimits)
{
    Characterization::UsageArray usage;
    std::unique_ptr<kinetra::Character, void (*)(kinetra::Character*)> character(
        characterization.CreateSolverCharacter(usage, saveRotationLimits, std::malloc, nullptr),
        [](kinetra::Character* c) { kinetra::DestroyCharacter(c, std::free); });
    // Never a file with NaN or infinity in it: no reader could make sense of it.
    if (!character || !FiniteNumberValidator::IsFinite(usage.data(), character.get()))
        return false;
    std::size_t size = 0;
    std::unique_ptr<std::uint8_t, void (*)(void*)> blob(
        kinetra::WriteCharacterBlob(&size, usage.data(), character.get(), bigEndian, std::malloc,
                                    std::free),
        std::free);
    if (!blob)
        return false;
    return SaveFileContents(
        path, QByteArray::fromRawData(reinterpret_cast<const char*>(blob.get()), int(size)));
}

} // namespace

QStringList WriteBinaryCharacterization(Characterization& characterization,
                                        const QString& characterizationPath,
                                        const QString& boneCorrespondencePath, bool bigEndian,
                                        bool saveRotationLimits)
{
    QStringList unwritten;
    if (!WriteBlob(characterization, characterizationPath, bigEndian, saveRotationLimits))
        unwritten.append(characterizationPath);
    SettingsDocument correspondence(boneCorrespondencePath);
    // A document that refuses the list (its first node is no element) keeps no joint names
    // either, so it counts as not written.
    if (!correspondence.SetStringList(QString(), QStringLiteral("bone_correspondance"),
                                      QStringList(characterization.JointNames().begin(),
                                                  characterization.JointNames().end())) ||
        !correspondence.Save())
        unwritten.append(boneCorrespondencePath);
    return unwritten;
}
