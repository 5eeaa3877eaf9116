// The settings writer: stable attribute order and text that reads back unchanged.
#include "files/domwriter.h"

#include <QDomDocument>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

TEST(DomWriter, WritesAttributesKeyValueThenByName)
{
    QDomDocument document;
    QDomElement root = document.createElement("config_root");
    document.appendChild(root);
    QDomElement list = document.createElement("match_list");
    root.appendChild(list);
    QDomElement item = document.createElement("item");
    item.setAttribute("use_root", "true");
    item.setAttribute("value", "");
    item.setAttribute("key", "Reference");
    item.setAttribute("a", "1");
    list.appendChild(item);

    EXPECT_EQ(WriteDomDocument(document, 4),
              "<config_root>\n"
              "    <match_list>\n"
              "        <item key=\"Reference\" value=\"\" a=\"1\" use_root=\"true\"/>\n"
              "    </match_list>\n"
              "</config_root>\n");
}

TEST(DomWriter, HandEditedContentSurvivesARoundTrip)
{
    const QString text = "<config_root><note>a &lt; b &amp; \"c\" ]]&gt;</note><!-- kept -->"
                         "<k value=\"line1&#xa;tab&#x9;&quot;q&quot; &lt;&gt;\"/>"
                         "<![CDATA[x<y]]></config_root>";
    QDomDocument original;
    ASSERT_TRUE(original.setContent(text));
    const QByteArray written = WriteDomDocument(original, 4);

    QDomDocument reread;
    ASSERT_TRUE(reread.setContent(written)) << written.toStdString();
    const QDomElement root = reread.documentElement();
    EXPECT_EQ(root.firstChildElement("note").text(), "a < b & \"c\" ]]>");
    EXPECT_FALSE(written.contains("]]></note>")) << "no CDATA end in character data";
    EXPECT_EQ(root.firstChildElement("k").attribute("value"), "line1\ntab\t\"q\" <>");
    EXPECT_TRUE(written.contains("<!-- kept -->"));
    EXPECT_TRUE(written.contains("<![CDATA[x<y]]>"));
    EXPECT_EQ(WriteDomDocument(reread, 4), written) << "writing is stable";
}

// Namespaced names keep their prefixes, each element declares what it uses, and mixed content
// gains no layout whitespace, save after save.
TEST(DomWriter, NamespacedAndMixedContentKeepTheirLayoutOverRepeatedSaves)
{
    QByteArray text = "<config_root><p:meta xmlns:p=\"urn:x\" p:author=\"me\">"
                      "<p:sub/><q:x xmlns:q=\"urn:q\"/></p:meta><d xmlns=\"urn:d\"><e/></d>"
                      "<note>before<b/>after<c>deep</c></note><k z:w=\"1\" xmlns:z=\"urn:z\"/>"
                      "</config_root>";
    const QByteArray expected = "<config_root>\n"
                                "    <p:meta xmlns:p=\"urn:x\" p:author=\"me\">\n"
                                "        <p:sub xmlns:p=\"urn:x\"/>\n"
                                "        <q:x xmlns:q=\"urn:q\"/>\n"
                                "    </p:meta>\n"
                                "    <d xmlns=\"urn:d\">\n"
                                "        <e xmlns=\"urn:d\"/>\n"
                                "    </d>\n"
                                "    <note>before<b/>after<c>deep</c>\n"
                                "    </note>\n"
                                "    <k xmlns:z=\"urn:z\" z:w=\"1\"/>\n"
                                "</config_root>\n";
    for (int save = 0; save < 3; ++save) {
        QDomDocument document;
        QString message;
        QXmlStreamReader reader(text); // as settings documents are read
        ASSERT_TRUE(document.setContent(&reader, true, &message)) << message.toStdString();
        text = WriteDomDocument(document, 4);
        EXPECT_EQ(text.toStdString(), expected.toStdString()) << "save " << save;
    }
}
