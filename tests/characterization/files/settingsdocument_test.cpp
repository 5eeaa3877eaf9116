// The key/value document against files on disk: what it writes byte for byte, what it makes of
// hand-edited and broken files, and when it leaves a file alone.
#include "files/settingsdocument.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class SettingsDocumentTest : public testing::Test
{
protected:
    QString Path(const QString& name = QStringLiteral("settings.xml")) const
    {
        return m_dir.filePath(name);
    }
    void Write(const QByteArray& bytes, const QString& path) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsDocumentTest, WritesFourSpaceIndentedUtf8WithoutDeclaration)
{
    {
        SettingsDocument doc(Path());
        EXPECT_TRUE(doc.SetString("name_match", "match_type", "Suffix"));
        EXPECT_TRUE(doc.SetStringList("", "bone_correspondance", {"Hüfte", "a\"<b"}));
    }
    EXPECT_EQ(Read(Path()), QByteArray("<config_root>\n"
                                       "    <name_match>\n"
                                       "        <match_type value=\"Suffix\"/>\n"
                                       "    </name_match>\n"
                                       "    <bone_correspondance>\n"
                                       "        <item value=\"H\xC3\xBC"
                                       "fte\"/>\n"
                                       "        <item value=\"a&quot;&lt;b\"/>\n"
                                       "    </bone_correspondance>\n"
                                       "</config_root>\n"));
}

TEST_F(SettingsDocumentTest, EveryValueKindSurvivesASaveAndReload)
{
    const KeyValueList pairs = {{"Left", "Right"}, {"", "_R"}};
    const FlaggedList flagged = {{"Hips", "pelvis", true}, {"Spine", "spine_01", false}};
    {
        SettingsDocument doc(Path());
        doc.SetString("", "version", "a&b");
        doc.SetStringList("name_match", "delimiter_list", {"-", " "});
        doc.SetKeyValueList("mirror", "mirror_list", pairs);
        doc.SetFlaggedList("", "match_list", "use_root", false, flagged);
    }
    const SettingsDocument doc(Path());
    EXPECT_EQ(doc.GetString("", "version", "default"), "a&b");
    EXPECT_EQ(doc.GetString("", "missing", "default"), "default");
    QStringList list = {"kept"};
    doc.GetStringList("name_match", "delimiter_list", list);
    EXPECT_EQ(list, QStringList({"kept", "-", " "}));
    KeyValueList readPairs;
    doc.GetKeyValueList("mirror", "mirror_list", readPairs);
    EXPECT_EQ(readPairs, pairs);
    FlaggedList readFlagged;
    doc.GetFlaggedList("", "match_list", "use_root", false, readFlagged);
    ASSERT_EQ(readFlagged.size(), 2);
    EXPECT_TRUE(readFlagged[0].Key == "Hips" && readFlagged[0].Value == "pelvis");
    EXPECT_TRUE(readFlagged[0].Flag);
    EXPECT_FALSE(readFlagged[1].Flag);
}

TEST_F(SettingsDocumentTest, RewrittenListsMoveToTheEndOnceAndStringsStayInPlace)
{
    {
        SettingsDocument doc(Path());
        doc.SetStringList("g", "list", {"old"});
        doc.SetString("g", "text", "1");
        doc.SetStringList("g", "list", {"new"});
        doc.SetString("g", "text", "2");
    }
    EXPECT_EQ(Read(Path()), QByteArray("<config_root>\n    <g>\n        <text value=\"2\"/>\n"
                                       "        <list>\n            <item value=\"new\"/>\n"
                                       "        </list>\n    </g>\n</config_root>\n"));
}

TEST_F(SettingsDocumentTest, HandEditedListsReadEveryChildAndDuplicatesAreReplaced)
{
    Write("<config_root><list><item value='a'/><entry value='b'/><item/></list>"
          "<pairs><p key='k'/><item value='v'/></pairs><list><item value='shadow'/></list>"
          "<flags><item use_root='TRUE'/><item use_root='false'/><item/></flags></config_root>",
          Path());
    {
        SettingsDocument doc(Path());
        QStringList list;
        doc.GetStringList("", "list", list);
        EXPECT_EQ(list, QStringList({"a", "b", ""}));
        KeyValueList pairs;
        doc.GetKeyValueList("", "pairs", pairs);
        EXPECT_EQ(pairs, KeyValueList({{"k", ""}, {"", "v"}}));
        FlaggedList flags;
        doc.GetFlaggedList("", "flags", "use_root", true, flags);
        ASSERT_EQ(flags.size(), 3);
        EXPECT_FALSE(flags[0].Flag); // only the exact text "true" counts
        EXPECT_FALSE(flags[1].Flag);
        EXPECT_TRUE(flags[2].Flag); // missing attribute: the default
        doc.SetStringList("", "list", {"fresh"});
    }
    QStringList list;
    SettingsDocument(Path()).GetStringList("", "list", list);
    EXPECT_EQ(list, QStringList({"fresh"}));
}

TEST_F(SettingsDocumentTest, FlagsDifferingFromTheDefaultAreTheOnlyOnesWritten)
{
    {
        SettingsDocument doc(Path());
        doc.SetFlaggedList("", "off", "use_root", false, {{"a", "1", true}, {"b", "2", false}});
        doc.SetFlaggedList("", "on", "use_root", true, {{"c", "3", false}, {"d", "4", true}});
    }
    const QByteArray bytes = Read(Path());
    EXPECT_EQ(bytes.count("use_root=\"true\""), 1);
    EXPECT_EQ(bytes.count("use_root=\"false\""), 1);
    EXPECT_LT(bytes.indexOf("use_root=\"true\""), bytes.indexOf("value=\"2\""));
    EXPECT_GT(bytes.indexOf("use_root=\"false\""), bytes.indexOf("<on>"));
}

TEST_F(SettingsDocumentTest, LeadingDeclarationOrCommentHidesTheRootAndRefusesWrites)
{
    const QByteArray body = "<config_root><g><k value=\"v\"/></g></config_root>\n";
    for (const QByteArray& lead :
         {QByteArray("<?xml version=\"1.0\"?>\n"), QByteArray("<!--c-->")}) {
        Write(lead + body, Path());
        {
            SettingsDocument doc(Path());
            EXPECT_EQ(doc.GetString("g", "k", "none"), "none") << lead.constData();
            EXPECT_FALSE(doc.SetString("g", "k", "w"));
            EXPECT_FALSE(doc.SetStringList("", "list", {"w"}));
        }
        EXPECT_EQ(Read(Path()), lead + body);
    }
}

TEST_F(SettingsDocumentTest, ReadingNeverRewritesTheFile)
{
    const QByteArray odd = "<config_root><g  ><k value='v'/><l><item value='x'/></l></g>"
                           "<!-- kept --></config_root>";
    Write(odd, Path());
    {
        const SettingsDocument doc(Path());
        QStringList list;
        doc.GetStringList("g", "l", list);
        EXPECT_EQ(doc.GetString("g", "k", ""), "v");
        EXPECT_EQ(list, QStringList({"x"}));
    }
    EXPECT_EQ(Read(Path()), odd);
    SettingsDocument(Path("absent.xml")).GetString("g", "k", "");
    EXPECT_FALSE(QFile::exists(Path("absent.xml")));
}

TEST_F(SettingsDocumentTest, UnparsableFilePrintsOneLineThenStartsOverOnWrite)
{
    Write("this is no XML", Path());
    testing::internal::CaptureStdout();
    {
        SettingsDocument doc(Path());
        EXPECT_EQ(doc.GetString("g", "k", "default"), "default");
        EXPECT_TRUE(doc.SetString("g", "k", "v"));
    }
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string head = "Error in parsing" + Path().toStdString() + " ";
    EXPECT_EQ(out.compare(0, head.size(), head), 0) << out;
    EXPECT_NE(out.find(" at line 1 at column "), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_EQ(out.back(), '\n');

    testing::internal::CaptureStdout();
    EXPECT_EQ(SettingsDocument(Path()).GetString("g", "k", ""), "v");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(SettingsDocumentTest, RefusedNamesAndUnwritablePathsChangeNothing)
{
    Write("not a folder", Path("file"));
    {
        SettingsDocument doc(Path("file/settings.xml"));
        EXPECT_TRUE(doc.SetString("g", "k", "v"));
        EXPECT_FALSE(doc.Save());
    }
    EXPECT_EQ(Read(Path("file")), QByteArray("not a folder"));

    {
        SettingsDocument doc(Path());
        EXPECT_FALSE(doc.SetString("", "", "v"));
        EXPECT_FALSE(doc.SetString("9g", "k", "v"));
        EXPECT_FALSE(doc.SetStringList("g", "ns:k", {"v"}));
        EXPECT_FALSE(doc.SetKeyValueList("g", "a<b", {}));
        EXPECT_FALSE(doc.SetFlaggedList("", "k", "value", false, {{"a", "b", true}}));
        EXPECT_FALSE(doc.SetFlaggedList("", "k", "", false, {}));
    }
    EXPECT_FALSE(QFile::exists(Path())) << "a refused write must not make the document dirty";

    {
        SettingsDocument doc(Path());
        doc.SetString("my group", "my key", "v");
        EXPECT_EQ(doc.GetString("", "", "none"), "none"); // an empty name matches nothing
        EXPECT_EQ(doc.GetString("my_group", "my key", ""), "v");
    }
    EXPECT_TRUE(Read(Path()).contains("<my_group>"));
}
