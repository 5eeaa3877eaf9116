// The desktop's per-user files (recent files, console history), also when the disk takes no
// writes, and what the scene file actions count as unsaved changes.
#include "kestreltest.h"

#include "brokendisk.h"
#include "desktop/consoleinput.h"
#include "desktop/scenefileactions.h"
#include "desktop/scriptconsole.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrel;

namespace {

const QByteArray kOldSettings = "[General]\nrecentFiles=/old/scene.json\n";

class UserSettingsWrite : public HostTest, public ::testing::WithParamInterface<WriteFailure>
{
protected:
    void SetUp() override
    {
        if (!disk.Unavailable().isEmpty())
            GTEST_SKIP() << qPrintable(disk.Unavailable());
        PointSettingsAt(disk.Path());
        ASSERT_TRUE(QDir(disk.Path()).mkdir("Kestrel"));
        ASSERT_TRUE(disk.Put("Kestrel/desktop.ini", kOldSettings));
    }
    void TearDown() override
    {
        static QTemporaryDir scratch;
        PointSettingsAt(scratch.path());
    }
    static void PointSettingsAt(const QString& folder)
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    }
    QStringList Warnings() { return host.GetWarningLog().Entries(); }
    QString NotWritten(const QString& name)
    {
        return QString("Could not write the file \"%1\".").arg(disk.FilePath(name));
    }

    BrokenDisk disk{GetParam()};
};

} // namespace

// The recent files list and the console history both live in the settings file.
TEST_P(UserSettingsWrite, TheOldFileIsKeptTheUserWarnedAndTheWorkStillDone)
{
    QWidget window;
    SceneFileActions files(host, &window);
    ScriptConsole console(host);
    auto* input = console.findChild<ConsoleInput*>();
    ASSERT_NE(input, nullptr);
    input->setPlainText("print \"ran\"");
    disk.Break();
    const bool opened = files.Open(QString(KESTREL_SAMPLES_DIR) + "/biped_tpose.json");
    QTest::keyClick(input, Qt::Key_Return);
    disk.Mend();
    EXPECT_TRUE(opened) << "reading needs no disk space";
    EXPECT_EQ(host.GetOutputLog().Last(), "ran");
    EXPECT_EQ(Warnings(),
              QStringList({NotWritten("Kestrel/desktop.ini"), NotWritten("Kestrel/desktop.ini")}));
    EXPECT_EQ(disk.Read("Kestrel/desktop.ini"), kOldSettings);
}

INSTANTIATE_TEST_SUITE_P(Disk, UserSettingsWrite, BothWriteFailures(), WriteFailureName);

// Scripts that open or empty the scene make no unsaved changes; the recent files list keeps the
// newest, most recent first.
TEST_F(HostTest, SceneFilesKnowUnsavedChangesAndRememberTheNewestFiles)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
    QWidget window;
    SceneFileActions files(host, &window);
    RunOk(QString("openScene \"%1/biped_tpose.json\"; newScene").arg(KESTREL_SAMPLES_DIR));
    EXPECT_FALSE(files.IsModified());
    RunOk("createNode joint -n A");
    EXPECT_TRUE(files.IsModified());
    const int count = SceneFileActions::kMaxRecentFiles;
    for (int i = 0; i <= count; ++i)
        ASSERT_TRUE(files.SaveAs(dir.filePath(QString("s%1.json").arg(i))));
    EXPECT_FALSE(files.IsModified());
    const QStringList recent = files.RecentFiles();
    ASSERT_EQ(recent.size(), count);
    EXPECT_EQ(recent.first() + " " + recent.last(),
              dir.filePath(QString("s%1.json").arg(count)) + " " + dir.filePath("s1.json"));
}
