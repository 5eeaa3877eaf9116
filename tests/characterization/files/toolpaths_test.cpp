// The per-user folders: where they go for a given APPDATA, how shipped defaults seed them
// without ever overwriting the user's files, and how new file names are proposed.
#include "files/toolpaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ToolPathsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previousAppData = qgetenv("APPDATA");
        qputenv("APPDATA", m_appData.path().toLocal8Bit());
    }
    // Restored, not unset: a later test in this process must not find APPDATA gone.
    void TearDown() override { qputenv("APPDATA", m_previousAppData); }
    // Creates a file (and its folders) below root.
    static void Put(const QString& root, const QString& relative, const QByteArray& bytes = "x")
    {
        QDir().mkpath(QFileInfo(root + '/' + relative).path());
        QFile file(root + '/' + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_appData;
    QTemporaryDir m_resources;
    QByteArray m_previousAppData;
};

} // namespace

TEST_F(ToolPathsTest, UserFoldersAreCreatedBelowAppDataOrBelowTheRootWithout)
{
    const ToolPaths paths("plugin", m_resources.filePath("absent"));
    const QString user = m_appData.path() + "/Orrery/KNTCharacterizationTool6";
    EXPECT_EQ(paths.UserDir(), user);
    EXPECT_EQ(paths.SettingsFilePath(), user + "/config/characterization_tool.xml");
    for (const QString& dir : {paths.ConfigDir(), paths.TemplateDir(), paths.ClipDir()})
        EXPECT_TRUE(QFileInfo(dir).isDir()) << dir.toStdString();
    EXPECT_TRUE(QDir(paths.ConfigDir()).isEmpty());

    qunsetenv("APPDATA"); // the path only: nothing is created below the real root
    EXPECT_EQ(ToolPaths::UserDirFromEnvironment(), "/Orrery/KNTCharacterizationTool6");
}

TEST_F(ToolPathsTest, DefaultsSeedRecursivelyByFilterAndNeverReplaceUserFiles)
{
    const QString res = m_resources.path();
    for (const char* file :
         {"config/characterization_tool.xml", "config/readme.txt", "template/a.xml",
          "template/sub/deeper/b.xml", "clip/walk.xfr", "clip/other.xml"})
        Put(res, file, "shipped");
    QDir().mkpath(res + "/template/empty");
    const QString user = m_appData.path() + "/Orrery/KNTCharacterizationTool6";
    Put(user, "config/characterization_tool.xml", "mine");

    const ToolPaths paths("plugin", res);
    EXPECT_EQ(Read(paths.SettingsFilePath()), "mine");
    EXPECT_EQ(Read(paths.TemplateDir() + "/a.xml"), "shipped");
    EXPECT_EQ(Read(paths.TemplateDir() + "/sub/deeper/b.xml"), "shipped");
    EXPECT_EQ(Read(paths.ClipDir() + "/walk.xfr"), "shipped");
    EXPECT_TRUE(QFileInfo(paths.TemplateDir() + "/empty").isDir());
    EXPECT_FALSE(QFile::exists(paths.ConfigDir() + "/readme.txt"));
    EXPECT_FALSE(QFile::exists(paths.ClipDir() + "/other.xml"));

    QFile::remove(paths.TemplateDir() + "/sub/deeper/b.xml");
    Put(paths.TemplateDir(), "a.xml", "edited");
    const ToolPaths again("plugin", res);
    EXPECT_EQ(Read(paths.TemplateDir() + "/sub/deeper/b.xml"), "shipped");
    EXPECT_EQ(Read(paths.TemplateDir() + "/a.xml"), "edited");
}

TEST_F(ToolPathsTest, CopyDefaultsRefusesMissingFoldersAndTargetsInsideTheSource)
{
    const QString res = m_resources.path();
    Put(res, "a.xml");
    QDir().mkpath(res + "/inner");
    EXPECT_FALSE(ToolPaths::CopyDefaults(res, res + "/absent", "*.xml"));
    EXPECT_FALSE(ToolPaths::CopyDefaults(res + "/absent", m_appData.path(), "*.xml"));
    EXPECT_FALSE(ToolPaths::CopyDefaults("", m_appData.path(), "*.xml"));
    EXPECT_TRUE(QDir(m_appData.path()).isEmpty());
    EXPECT_FALSE(ToolPaths::CopyDefaults(res, res + "/inner", "*.xml"));
    EXPECT_FALSE(QFile::exists(res + "/inner/a.xml"));
    EXPECT_TRUE(ToolPaths::CopyDefaults(res, m_appData.path(), "*.xml"));
    EXPECT_TRUE(QFile::exists(m_appData.filePath("a.xml")));
}

TEST_F(ToolPathsTest, UniqueFileNameCountsUpFromTheGivenName)
{
    const QString dir = m_appData.path();
    QString name = "template";
    EXPECT_EQ(ToolPaths::UniqueFileName(name, dir, ".xml"), dir + "/template.xml");
    EXPECT_EQ(name, "template");
    for (const char* taken : {"template.xml", "template(1).xml", "template(2).xfr"})
        Put(dir, taken);
    EXPECT_EQ(ToolPaths::UniqueFileName(name, dir, ".xml"), dir + "/template(2).xml");
    EXPECT_EQ(name, "template(2)");

    name = "a%1";
    Put(dir, "a%1.xml");
    ToolPaths::UniqueFileName(name, dir, ".xml");
    EXPECT_EQ(name, "a%1(1)");
    name = "";
    EXPECT_EQ(ToolPaths::UniqueFileName(name, dir, ".xml"), "");
}
