// The settings writer: stable attribute order and text that reads back unchanged.
#include "files/domwriter.h"

#include <QDomDocument>

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
