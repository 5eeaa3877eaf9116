// The settings writer's attribute order; what it writes reads back unchanged (see
// settingsdocument_test.cpp).
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
