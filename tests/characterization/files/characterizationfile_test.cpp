// Characterization and bone correspondence files written from a characterization sampled on a
// T-pose biped, compared byte for byte with checked-in files: the word layout in both byte
// orders, usage with and without limits, the sampled rest states and the inversion flags.
#include "files/characterizationfile.h"
#include "files/settingsdocument.h"
#include "golden.h"
#include "modelfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

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
}

// tpose_little.kntc: LeftForeArm carries usage 7 with its sampled limits, the right elbow's
// flag is set. Without rotation limits every 7 becomes 1 and the limit fields stay zero. The
// correspondence file keeps what it held besides the list, which moves to the end and lists
// every slot's joint (empty for unbound slots).
TEST_F(CharacterizationFileTest, MatchesTheCheckedInFiles)
{
    {
        SettingsDocument existing(dir.filePath("hero.bones.xml"));
        existing.SetStringList(QString(), "bone_correspondance", {"stale"});
        existing.SetString("notes", "author", "someone");
    }
    ExpectGolden(Write(false, true), "tpose_little.kntc");
    ExpectGolden(ReadAll(dir.filePath("hero.bones.xml")), "tpose.bones.xml");
    ExpectGolden(Write(true, true), "tpose_big.kntc");
    ExpectGolden(Write(false, false), "tpose_nolimits_little.kntc");
    // An empty characterization is the header, zero usage and its flags: inverting one knee
    // sets the flags of both.
    model->ClearAll();
    model->ToggleInversion(3);
    ExpectGolden(Write(false, true), "empty_kneeinverted_little.kntc");
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
