#include "domwriter.h"

#include <QDomDocument>
#include <QDomNamedNodeMap>
#include <QStringList>

#include <algorithm>

namespace {

// Escapes character data; attribute values also escape quotes and line breaks so that they
// read back unchanged.
QString Escape(const QString& text, bool attribute)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('>') && i >= 2 && text[i - 1] == QLatin1Char(']') &&
                 text[i - 2] == QLatin1Char(']'))
            out += QLatin1String("&gt;");
        else if (attribute && c == QLatin1Char('"'))
            out += QLatin1String("&quot;");
        else if (attribute && c == QLatin1Char('\n'))
            out += QLatin1String("&#xa;");
        else if (attribute && c == QLatin1Char('\r'))
            out += QLatin1String("&#xd;");
        else if (attribute && c == QLatin1Char('\t'))
            out += QLatin1String("&#x9;");
        else
            out += c;
    }
    return out;
}

int AttributeRank(const QString& name)
{
    if (name == QLatin1String("key"))
        return 0;
    if (name == QLatin1String("value"))
        return 1;
    return 2;
}

QStringList OrderedAttributeNames(const QDomElement& element)
{
    const QDomNamedNodeMap attributes = element.attributes();
    QStringList names;
    for (int i = 0; i < attributes.count(); ++i)
        names.append(attributes.item(i).nodeName());
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int rankA = AttributeRank(a);
        const int rankB = AttributeRank(b);
        return rankA != rankB ? rankA < rankB : a < b;
    });
    return names;
}

bool IsInline(const QDomNode& node)
{
    return !node.isNull() && (node.isText() || node.isEntityReference());
}

class Writer
{
public:
    explicit Writer(int indent)
        : m_indent(indent)
    {}

    void Node(const QDomNode& node, int depth)
    {
        if (node.isElement())
            Element(node.toElement(), depth);
        else if (node.isCDATASection())
            m_out += QLatin1String("<![CDATA[") + node.nodeValue() + QLatin1String("]]>");
        else if (node.isText())
            m_out += Escape(node.nodeValue(), false);
        else if (node.isComment())
            Line(depth, QLatin1String("<!--") + node.nodeValue() + QLatin1String("-->"));
        else if (node.isProcessingInstruction())
            Line(depth, QStringLiteral("<?%1 %2?>").arg(node.nodeName(), node.nodeValue()));
    }

    QString Text() const { return m_out; }

private:
    void Indent(int depth) { m_out += QString(depth * m_indent, QLatin1Char(' ')); }

    void Line(int depth, const QString& text)
    {
        Indent(depth);
        m_out += text;
        m_out += QLatin1Char('\n');
    }

    void Element(const QDomElement& element, int depth)
    {
        Indent(depth);
        m_out += QLatin1Char('<') + element.tagName();
        for (const QString& name : OrderedAttributeNames(element))
            m_out += QStringLiteral(" %1=\"%2\"").arg(name, Escape(element.attribute(name), true));
        if (!element.hasChildNodes()) {
            m_out += QLatin1String("/>");
        } else {
            m_out += QLatin1Char('>');
            if (!IsInline(element.firstChild()))
                m_out += QLatin1Char('\n');
            for (QDomNode child = element.firstChild(); !child.isNull();
                 child = child.nextSibling())
                Node(child, depth + 1);
            if (!IsInline(element.lastChild()))
                Indent(depth);
            m_out += QLatin1String("</") + element.tagName() + QLatin1Char('>');
        }
        if (!IsInline(element.nextSibling()))
            m_out += QLatin1Char('\n');
    }

    int m_indent;
    QString m_out;
};

} // namespace

QByteArray WriteDomDocument(const QDomDocument& document, int indentSpaces)
{
    Writer writer(indentSpaces);
    for (QDomNode node = document.firstChild(); !node.isNull(); node = node.nextSibling())
        writer.Node(node, 0);
    return writer.Text().toUtf8();
}
