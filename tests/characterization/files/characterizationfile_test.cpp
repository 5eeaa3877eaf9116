// Characterization files written from a characterization sampled on a T-pose biped,
// compared with checked-in files and checked against the layout word by word.
#include "files/characterizationfile.h"
#include "files/settingsdocument.h"
#include "modelfixture.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>

#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t WordAt(const QByteArray& bytes, int offset)
{
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i)
        word = (word << 8) | std::uint8_t(bytes[offset + i]);
    return word;
}

float FloatAt(const QByteArray& bytes, int offset)
{
    const std::uint32_t word = WordAt(bytes, offset);
    float value;
    std::memcpy(&value, &word, 4);
    return value;
}

// Compares with a checked-in file. CT_UPDATE_GOLDEN=1 rewrites the file instead, after a
// deliberate format change; review the new bytes before committing them.
void ExpectGolden(const QByteArray& bytes, const char* name)
{
    const QString path = QStringLiteral(CT_TEST_DATA_DIR "/") + name;
    if (qEnvironmentVariableIsSet("CT_UPDATE_GOLDEN")) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return;
    }
    EXPECT_EQ(bytes, ReadAll(path)) << name;
}

// The T-pose biped with limits on the left forearm and an inverted right elbow.
struct CharacterizationFileTest : ModelFixture
{
    QTemporaryDir dir;

    void SetUp() override
    {
        ModelFixture::SetUp();
        hub.SetLimits("Char1:LeftForeArm", kinetra::MinLimitX | kinetra::MaxLimitX);
        hub.JointNamed("Char1:LeftForeArm").world.MinRLimit[0] = -1.5f;
        hub.JointNamed("Char1:LeftForeArm").world.MaxRLimit[0] = 0.25f;
        BindBiped();
        model->ToggleInversion(13);
    }

    QByteArray Write(bool bigEndian, bool limits, const char* name = "hero.kntc")
    {
        const QString path = dir.filePath(name);
        EXPECT_EQ(WriteBinaryCharacterization(*model->CurrentCharacterization(), path,
                                              dir.filePath("hero.bones.xml"), bigEndian, limits),
                  QStringList());
        return ReadAll(path);
    }
};

} // namespace

TEST(CharacterizationFilePaths, FollowTheSaveDialogRules)
{
    EXPECT_EQ(CharacterizationFilePath("/d/hero"), "/d/hero.kntc");
    EXPECT_EQ(CharacterizationFilePath("/d/HERO.KNTC"), "/d/HERO.KNTC");
    EXPECT_EQ(CharacterizationFilePath("/d/hero.old"), "/d/hero.old.kntc");
    EXPECT_EQ(BoneCorrespondencePath("/d/hero.old"), "/d/hero.bones.xml");
    EXPECT_EQ(BoneCorrespondencePath("/d/hero"), "/d/hero.bones.xml");
    EXPECT_EQ(BoneCorrespondencePath("/d/a.b/hero.kntc"), "/d/a.b/hero.bones.xml");
    EXPECT_EQ(CharacterizationFileTypes::BigEndianFilter(), "Binary KNT big endian (*.kntc)");
    EXPECT_EQ(CharacterizationFileTypes::LittleEndianFilter(), "Binary KNT little endian (*.kntc)");
}

// The big-endian file is the checked-in little-endian one with every word reversed.
TEST_F(CharacterizationFileTest, MatchesTheCheckedInFileInBothByteOrders)
{
    const QByteArray little = Write(false, true);
    const QByteArray big = Write(true, true);
    ExpectGolden(little, "tpose_little.kntc");
    ASSERT_EQ(little.size(), big.size());
    for (int i = 0; i < little.size(); ++i)
        ASSERT_EQ(little[i], big[i - i % 4 + 3 - i % 4]) << i;
}

// The golden files pin every byte; this says why those bytes are right: the usage, the
// sampled limits and the inversion flags of this characterization.
TEST_F(CharacterizationFileTest, HoldsUsageLimitsAndFlagsOfTheCharacterization)
{
    const QByteArray bytes = Write(false, true);
    ASSERT_EQ(bytes.size(), 872 + 120 * biped.size());
    EXPECT_EQ(WordAt(bytes, 8 + 4 * 10), 7u) << "LeftForeArm carries limits";
    EXPECT_EQ(WordAt(bytes, 8 + 4 * 9), 1u);
    EXPECT_EQ(WordAt(bytes, 8 + 4 * 21), 0u);
    // LeftForeArm's record follows one per used node of a lower id.
    const int at = 856 + 120 * int(std::count_if(biped.begin(), biped.end(),
                                                 [](const BipedJoint& j) { return j.node < 10; }));
    EXPECT_EQ(FloatAt(bytes, at), 44.0f) << "sampled world translation x";
    EXPECT_EQ(FloatAt(bytes, at + 84), -1.5f); // MinRLimit x
    EXPECT_EQ(WordAt(bytes, at + 96), kinetra::MinLimitX | kinetra::MaxLimitX);
    EXPECT_EQ(WordAt(bytes, bytes.size() - 4), 1u) << "right elbow inverted";
    EXPECT_EQ(WordAt(bytes, bytes.size() - 8), 0u);

    // Without rotation limits every 7 becomes 1 and the limit fields stay zero.
    const QByteArray plain = Write(false, false);
    ExpectGolden(plain, "tpose_nolimits_little.kntc");
    EXPECT_EQ(WordAt(plain, 8 + 4 * 10), 1u);
    EXPECT_EQ(FloatAt(plain, at + 84), 0.0f);
    EXPECT_EQ(WordAt(plain, at + 96), 0u);
}

TEST_F(CharacterizationFileTest, EmptyCharacterizationIsHeaderAndFlagsOnly)
{
    model->ClearAll();
    model->ToggleInversion(3);
    const QByteArray bytes = Write(false, true);
    ASSERT_EQ(bytes.size(), 872);
    EXPECT_EQ(bytes.mid(8, 848), QByteArray(848, '\0'));
    EXPECT_EQ(WordAt(bytes, 856), 1u);
    EXPECT_EQ(WordAt(bytes, 868), 1u);
}

TEST_F(CharacterizationFileTest, CorrespondenceFileKeepsOtherContentAndListsEverySlot)
{
    const QString bones = dir.filePath("hero.bones.xml");
    {
        SettingsDocument existing(bones);
        existing.SetStringList(QString(), "bone_correspondance", {"stale"});
        existing.SetString("notes", "author", "someone");
    }
    Write(false, true);

    QFile file(bones);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QDomDocument document;
    ASSERT_TRUE(document.setContent(&file));
    const QDomElement root = document.documentElement();
    EXPECT_EQ(root.tagName(), "config_root");
    EXPECT_EQ(root.firstChildElement("notes").firstChildElement("author").attribute("value"),
              "someone");
    EXPECT_EQ(root.lastChildElement().tagName(), "bone_correspondance")
        << "the list moves to the end of the root";
    QStringList names;
    for (QDomElement item = root.lastChildElement().firstChildElement(); !item.isNull();
         item = item.nextSiblingElement())
        names << item.attribute("value");
    ASSERT_EQ(names.size(), NodeCount);
    EXPECT_EQ(names[0], "Char1:Reference");
    EXPECT_EQ(names[21], "");
    EXPECT_EQ(names[15], "Char1:Head");
}

TEST_F(CharacterizationFileTest, UnwritableCharacterizationPathStillWritesCorrespondence)
{
    const QString blocked = dir.filePath("file");
    QFile(blocked).open(QIODevice::WriteOnly);
    EXPECT_EQ(WriteBinaryCharacterization(*model->CurrentCharacterization(), blocked + "/hero.kntc",
                                          dir.filePath("hero.bones.xml"), false, true),
              QStringList{blocked + "/hero.kntc"});
    EXPECT_TRUE(QFile::exists(dir.filePath("hero.bones.xml")));
}

// A folder where existing files may be rewritten but no file created: no temporary file can be
// made beside the targets, so every save writes in place.
TEST_F(CharacterizationFileTest, SavesReplaceFilesInAFolderThatTakesNoNewFiles)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: permission bits do not stop root from creating files";
    const QString locked = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    const QStringList paths{locked + "/a.kntc", locked + "/a.bones.xml", locked + "/settings.xml"};
    for (const QString& path : paths) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("<config_root/>") == 14);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                            QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther);
    }
    const QFile::Permissions readAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(locked, readAndEnter));

    EXPECT_EQ(WriteBinaryCharacterization(*model->CurrentCharacterization(), paths[0], paths[1],
                                          false, true),
              QStringList());
    bool saved = false;
    {
        SettingsDocument settings(paths[2]);
        EXPECT_TRUE(settings.SetString("mirror", "note", "new"));
        saved = settings.Save();
    }
    QFile::setPermissions(locked, readAndEnter | QFile::WriteOwner); // so the folder can go
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadAll(paths[0]).size(), 872 + 120 * int(biped.size()));
    EXPECT_TRUE(ReadAll(paths[1]).contains("Char1:Hips"));
    EXPECT_EQ(SettingsDocument(paths[2]).GetString("mirror", "note", ""), "new");
}
