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

// The name as written in the file: prefix and local name for a namespaced node, else the plain
// name. The DOM keeps the prefix apart, so tagName() alone would drop it.
QString QualifiedName(const QDomNode& node)
{
    if (node.namespaceURI().isNull() || node.prefix().isEmpty())
        return node.isElement() ? node.toElement().tagName() : node.nodeName();
    return node.prefix() + QLatin1Char(':') + node.localName();
}

int AttributeRank(const QString& name)
{
    if (name == QLatin1String("key"))
        return 0;
    if (name == QLatin1String("value"))
        return 1;
    return 2;
}

// Attributes in the order "key", "value", then the others by qualified name.
QList<QDomAttr> OrderedAttributes(const QDomElement& element)
{
    const QDomNamedNodeMap map = element.attributes();
    QList<QDomAttr> attributes;
    for (int i = 0; i < map.count(); ++i)
        attributes.append(map.item(i).toAttr());
    std::sort(attributes.begin(), attributes.end(), [](const QDomAttr& a, const QDomAttr& b) {
        const QString nameA = QualifiedName(a);
        const QString nameB = QualifiedName(b);
        const int rankA = AttributeRank(nameA);
        const int rankB = AttributeRank(nameB);
        return rankA != rankB ? rankA < rankB : nameA < nameB;
    });
    return attributes;
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
            Block(node, depth, QLatin1String("<!--") + node.nodeValue() + QLatin1String("-->"));
        else if (node.isProcessingInstruction())
            Block(node, depth, QStringLiteral("<?%1 %2?>").arg(node.nodeName(), node.nodeValue()));
    }

    QString Text() const { return m_out; }

private:
    // Layout whitespace goes only where the parser drops it again: never next to text, or each
    // save would add indentation to mixed content.
    void IndentUnlessAfterText(const QDomNode& node, int depth)
    {
        if (!IsInline(node.previousSibling()))
            m_out += QString(depth * m_indent, QLatin1Char(' '));
    }

    void NewLineUnlessBeforeText(const QDomNode& node)
    {
        if (!IsInline(node.nextSibling()))
            m_out += QLatin1Char('\n');
    }

    void Block(const QDomNode& node, int depth, const QString& text)
    {
        IndentUnlessAfterText(node, depth);
        m_out += text;
        NewLineUnlessBeforeText(node);
    }

    // A namespace is declared on every element that uses it, as the DOM's own writer does, so
    // any element read back alone still resolves its prefixes.
    void Declaration(const QString& prefix, const QString& uri)
    {
        m_out += prefix.isEmpty() ? QStringLiteral(" xmlns") : QStringLiteral(" xmlns:") + prefix;
        m_out += QStringLiteral("=\"%1\"").arg(Escape(uri, true));
    }

    void Element(const QDomElement& element, int depth)
    {
        IndentUnlessAfterText(element, depth);
        const QString tag = QualifiedName(element);
        m_out += QLatin1Char('<') + tag;
        QStringList declared;
        if (!element.namespaceURI().isNull()) {
            declared.append(element.prefix());
            Declaration(element.prefix(), element.namespaceURI());
        }
        for (const QDomAttr& attribute : OrderedAttributes(element)) {
            m_out += QStringLiteral(" %1=\"%2\"")
                         .arg(QualifiedName(attribute), Escape(attribute.value(), true));
            const QString prefix = attribute.prefix();
            if (!attribute.namespaceURI().isNull() && !prefix.isEmpty() &&
                !declared.contains(prefix)) {
                declared.append(prefix);
                Declaration(prefix, attribute.namespaceURI());
            }
        }
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
                m_out += QString(depth * m_indent, QLatin1Char(' '));
            m_out += QLatin1String("</") + tag + QLatin1Char('>');
        }
        NewLineUnlessBeforeText(element);
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
