// The key/value document against files on disk: what it writes byte for byte, what it makes of
// hand-edited and broken files and when it leaves a file alone. The writer's attribute order is
// pinned by the checked-in template and correspondence files.
#include "files/settingsdocument.h"
#include "standardoutput.h"

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class SettingsDocumentTest : public testing::Test
{
protected:
    QString Path(const char* name = "settings.xml") const { return m_dir.filePath(name); }
    void Write(const QByteArray& bytes) const
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray Read(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsDocumentTest, WritesFourSpaceIndentedUtf8WithoutDeclaration)
{
    {
        SettingsDocument doc(Path());
        doc.SetStringList("g", "list", {"old"});
        EXPECT_TRUE(doc.SetString("g", "text", "1"));
        EXPECT_TRUE(doc.SetStringList("g", "list", {"Hüfte", "a\"<b"})); // moves to the end
        doc.SetString("g", "text", "2");                                 // stays in place
    }
    EXPECT_EQ(Read(Path()), QByteArray("<config_root>\n"
                                       "    <g>\n"
                                       "        <text value=\"2\"/>\n"
                                       "        <list>\n"
                                       "            <item value=\"H\xC3\xBC"
                                       "fte\"/>\n"
                                       "            <item value=\"a&quot;&lt;b\"/>\n"
                                       "        </list>\n"
                                       "    </g>\n"
                                       "</config_root>\n"));
}

// A flag is written only where it differs from the list's default.
TEST_F(SettingsDocumentTest, FlagsAreWrittenOnlyWhereTheyDifferFromTheDefault)
{
    SettingsDocument(Path()).SetFlaggedList("", "on", "use_root", true,
                                            {{"c", "3", false}, {"d", "4", true}});
    const QByteArray bytes = Read(Path());
    EXPECT_EQ(bytes.count("use_root"), 1);
    EXPECT_TRUE(bytes.contains("value=\"3\" use_root=\"false\"")) << bytes.constData();
}

TEST_F(SettingsDocumentTest, HandEditedListsReadEveryChildAndDuplicatesAreReplaced)
{
    Write("<config_root><list><item value='a'/><entry value='b'/><item/></list>"
          "<pairs><p key='k'/></pairs><list><item value='shadow'/></list>"
          "<flags><item use_root='TRUE'/><item use_root='false'/><item/></flags></config_root>");
    {
        SettingsDocument doc(Path());
        QStringList list;
        doc.GetStringList("", "list", list);
        EXPECT_EQ(list, QStringList({"a", "b", ""}));
        KeyValueList pairs;
        doc.GetKeyValueList("", "pairs", pairs);
        EXPECT_EQ(pairs, KeyValueList({{"k", ""}}));
        FlaggedList flags;
        doc.GetFlaggedList("", "flags", "use_root", true, flags);
        ASSERT_EQ(flags.size(), 3);
        // Only the exact text "true" counts; a missing attribute gives the default.
        EXPECT_TRUE(!flags[0].Flag && !flags[1].Flag && flags[2].Flag);
        doc.SetStringList("", "list", {"fresh"});
    }
    QStringList list;
    SettingsDocument(Path()).GetStringList("", "list", list);
    EXPECT_EQ(list, QStringList({"fresh"}));
}

TEST_F(SettingsDocumentTest, LeadingDeclarationOrCommentHidesTheRootAndRefusesWrites)
{
    const QByteArray body = "<config_root><g><k value=\"v\"/></g></config_root>\n";
    for (const QByteArray& lead :
         {QByteArray("<?xml version=\"1.0\"?>\n"), QByteArray("<!--c-->")}) {
        Write(lead + body);
        {
            SettingsDocument doc(Path());
            EXPECT_EQ(doc.GetString("g", "k", "none"), "none") << lead.constData();
            EXPECT_FALSE(doc.SetString("g", "k", "w"));
            EXPECT_FALSE(doc.SetStringList("", "list", {"w"}));
        }
        EXPECT_EQ(Read(Path()), lead + body);
    }
}

TEST_F(SettingsDocumentTest, ReadingOrSavingNothingNewNeverRewritesTheFile)
{
    {
        SettingsDocument doc(Path("saved.xml"));
        doc.SetString("g", "k", "v");
        ASSERT_TRUE(doc.Save());
        ASSERT_TRUE(QFile::remove(Path("saved.xml")));
        EXPECT_TRUE(doc.Save());
    }
    EXPECT_FALSE(QFile::exists(Path("saved.xml"))) << "saved again with nothing changed";

    const QByteArray odd = "<config_root><g  ><k value='v'/></g><!-- kept --></config_root>";
    Write(odd);
    EXPECT_EQ(SettingsDocument(Path()).GetString("g", "k", ""), "v");
    EXPECT_EQ(Read(Path()), odd);
    SettingsDocument(Path("absent.xml")).GetString("g", "k", "");
    EXPECT_FALSE(QFile::exists(Path("absent.xml")));
}

// An unparsable file prints one line and an empty one nothing; both read as missing and are
// started over on the first write.
TEST_F(SettingsDocumentTest, UnparsableOrEmptyFileStartsOverOnWrite)
{
    for (const QByteArray& content : {QByteArray("this is no XML"), QByteArray()}) {
        Write(content);
        const std::string out = StandardOutputOf([&] {
            SettingsDocument doc(Path());
            EXPECT_EQ(doc.GetString("g", "k", "default"), "default");
            EXPECT_TRUE(doc.SetString("g", "k", "v"));
        });
        // One line naming the file and where the parse stopped, nothing for an empty file.
        EXPECT_EQ(out.empty(), content.isEmpty()) << out;
        if (!content.isEmpty()) {
            EXPECT_NE(out.find(Path().toStdString()), std::string::npos) << out;
            EXPECT_NE(out.find("line 1"), std::string::npos) << out;
            EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        }
        EXPECT_EQ(StandardOutputOf(
                      [&] { EXPECT_EQ(SettingsDocument(Path()).GetString("g", "k", ""), "v"); }),
                  "");
    }
}

TEST_F(SettingsDocumentTest, RefusedNamesAndUnwritablePathsChangeNothing)
{
    {
        SettingsDocument doc(Path());
        EXPECT_FALSE(doc.SetString("", "", "v"));
        EXPECT_FALSE(doc.SetString("9g", "k", "v"));
        EXPECT_FALSE(doc.SetStringList("g", "ns:k", {"v"}));
        EXPECT_FALSE(doc.SetKeyValueList("g", "-k", {{"Left", "Right"}}));
        EXPECT_FALSE(doc.SetFlaggedList("", "k", "value", false, {{"a", "b", true}}));
    }
    EXPECT_FALSE(QFile::exists(Path())) << "a refused write must not make the document dirty";
    {
        SettingsDocument doc(Path("settings.xml/inside.xml")); // its parent is a regular file
        EXPECT_TRUE(doc.SetString("my group", "my key", "v"));
        EXPECT_EQ(doc.GetString("my_group", "my key", ""), "v");
        EXPECT_TRUE(doc.SetString("g-1", "k.2", "v"));    // '-' and '.' after the first letter
        EXPECT_EQ(doc.GetString("", "", "none"), "none"); // an empty name matches nothing
        Write("not a folder");
        EXPECT_FALSE(doc.Save());
    }
    EXPECT_EQ(Read(Path()), QByteArray("not a folder"));
}

// Namespaces, mixed content, comments, CDATA and text that needs escaping all read back the same
// after every rewrite, and no rewrite puts a CDATA end into character data.
TEST_F(SettingsDocumentTest, HandEditedContentSurvivesRepeatedSaves)
{
    Write("<config_root><p:meta xmlns:p=\"urn:x\" p:author=\"me\"><p:tag>t</p:tag></p:meta>"
          "<note>text<b/></note><!-- kept --><![CDATA[x<y]]><esc>a &lt; b &amp; \"c\" ]]&gt;</esc>"
          "<k value=\"line1&#xa;tab&#x9;&quot;q&quot; &lt;&gt;\"/></config_root>");
    for (int save = 0; save < 3; ++save) {
        const std::string out = StandardOutputOf([&] {
            SettingsDocument doc(Path());
            EXPECT_TRUE(doc.SetString("", "count", QString::number(save)));
        });
        EXPECT_EQ(out, "") << "save " << save;
    }
    const QByteArray written = Read(Path());
    EXPECT_TRUE(written.contains("<!-- kept -->") && written.contains("<![CDATA[x<y]]>"));
    EXPECT_FALSE(written.contains("]]></esc>"));
    QDomDocument reread;
    ASSERT_TRUE(reread.setContent(written, true));
    const QDomElement meta = reread.documentElement().firstChildElement("meta");
    EXPECT_EQ(meta.namespaceURI(), "urn:x");
    EXPECT_EQ(meta.attributeNS("urn:x", "author"), "me");
    EXPECT_EQ(meta.firstChildElement("tag").text(), "t");
    EXPECT_EQ(reread.documentElement().firstChildElement("note").firstChild().nodeValue(), "text");
    EXPECT_EQ(reread.documentElement().firstChildElement("count").attribute("value"), "2");
    EXPECT_EQ(reread.documentElement().firstChildElement("esc").text(), "a < b & \"c\" ]]>");
    EXPECT_EQ(reread.documentElement().firstChildElement("k").attribute("value"),
              "line1\ntab\t\"q\" <>");
}

TEST_F(SettingsDocumentTest, FilesNestedTooDeeplyAreRefusedAsUnparsable)
{
    // The DOM parses deep nesting in quadratic time and frees it recursively: a file 200,000
    // levels deep hung the tool for minutes and then overflowed the stack.
    const auto nested = [](int depth) {
        return "<config_root><g><k value=\"v\"/></g>" + QByteArray("<a>").repeated(depth - 1) +
               QByteArray("</a>").repeated(depth - 1) + "</config_root>";
    };
    Write(nested(SettingsDocument::kMaxNesting));
    EXPECT_EQ(StandardOutputOf(
                  [&] { EXPECT_EQ(SettingsDocument(Path()).GetString("g", "k", "default"), "v"); }),
              "");
    Write(nested(SettingsDocument::kMaxNesting + 1));
    const std::string out = StandardOutputOf([&] {
        SettingsDocument doc(Path());
        EXPECT_EQ(doc.GetString("g", "k", "default"), "default");
        EXPECT_TRUE(doc.SetString("g", "k", "w"));
    });
    EXPECT_NE(out.find(Path().toStdString()), std::string::npos) << out;
    EXPECT_EQ(SettingsDocument(Path()).GetString("g", "k", ""), "w");
}
