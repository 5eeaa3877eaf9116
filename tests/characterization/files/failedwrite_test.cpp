// The tool's files when the disk takes no writes: every old file stays whole, every file that
// was not written is named.
#include "brokendisk.h"
#include "files/characterizationfile.h"
#include "files/namingtemplate.h"
#include "files/settingsdocument.h"
#include "files/toolpaths.h"
#include "modelfixture.h"

#include <QDir>

namespace {

const QByteArray kOld = "<old/>\n";

class ToolFileWrite : public ModelFixture, public ::testing::WithParamInterface<WriteFailure>
{
protected:
    void SetUp() override
    {
        if (!disk.Unavailable().isEmpty())
            GTEST_SKIP() << qPrintable(disk.Unavailable());
        ModelFixture::SetUp();
        BindBiped();
    }

    BrokenDisk disk{GetParam()};
};

} // namespace

TEST_P(ToolFileWrite, CharacterizationAndBonesFilesKeepTheirOldBytesAndAreBothNamed)
{
    ASSERT_TRUE(disk.Put("hero.kntc", kOld));
    ASSERT_TRUE(disk.Put("hero.bones.xml", kOld));
    const QString kntc = disk.FilePath("hero.kntc");
    const QString bones = disk.FilePath("hero.bones.xml");
    disk.Break();
    const QStringList unwritten =
        WriteBinaryCharacterization(*model->CurrentCharacterization(), kntc, bones, false, true);
    disk.Mend();
    EXPECT_EQ(unwritten, QStringList({kntc, bones}));
    EXPECT_EQ(disk.Read("hero.kntc"), kOld);
    EXPECT_EQ(disk.Read("hero.bones.xml"), kOld);
    EXPECT_EQ(disk.Files(), QStringList({"hero.bones.xml", "hero.kntc"}));

    EXPECT_EQ(
        WriteBinaryCharacterization(*model->CurrentCharacterization(), kntc, bones, false, true),
        QStringList());
    EXPECT_GT(disk.Read("hero.kntc").size(), 872);
}

TEST_P(ToolFileWrite, SettingsAndTemplatesKeepTheirOldBytes)
{
    const QByteArray oldSettings = "<config_root>\n    <a value=\"1\"/>\n</config_root>\n";
    ASSERT_TRUE(disk.Put("settings.xml", oldSettings));
    ASSERT_TRUE(disk.Put("template.xml", oldSettings));
    disk.Break();
    SettingsDocument settings(disk.FilePath("settings.xml"));
    ASSERT_TRUE(settings.SetString(QString(), "a", "2"));
    const bool settingsSaved = settings.Save();
    const bool templateSaved = NamingTemplate::WriteTemplate(
        disk.FilePath("template.xml"), NamingTemplate::BuildTemplateEntries(*model, "Char1:"));
    disk.Mend();
    EXPECT_FALSE(settingsSaved);
    EXPECT_FALSE(templateSaved);
    EXPECT_EQ(disk.Read("settings.xml"), oldSettings);
    EXPECT_EQ(disk.Read("template.xml"), oldSettings);
    EXPECT_EQ(disk.Files(), QStringList({"settings.xml", "template.xml"}));
    EXPECT_TRUE(settings.Save()) << "the change is kept for a later save";
    EXPECT_TRUE(disk.Read("settings.xml").contains("value=\"2\""));
}

TEST_P(ToolFileWrite, SeedingIntoAFullFolderListsEveryDefaultItCouldNotWrite)
{
    const QString target = disk.FilePath("template");
    ASSERT_TRUE(QDir().mkpath(target));
    const QString resources = QStringLiteral(CT_RESOURCE_DIR "/template");
    const QStringList shipped = QDir(resources).entryList({"*.xml"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(shipped.isEmpty());
    QStringList unwritten;
    disk.Break();
    const bool complete = ToolPaths::CopyDefaults(resources, target, "*.xml", &unwritten);
    disk.Mend();
    EXPECT_FALSE(complete);
    QStringList expected;
    for (const QString& name : shipped)
        expected.append(QDir(target).filePath(name));
    EXPECT_EQ(unwritten, expected);
    EXPECT_TRUE(QDir(target).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "a failed copy leaves no empty or partial file";
}

INSTANTIATE_TEST_SUITE_P(Disk, ToolFileWrite, BothWriteFailures(), WriteFailureName);
