#include "domwriter.h"

#include <QDomDocument>
#include <QDomNamedNodeMap>
#include <QStringList>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

int AttributeRank(const QString& name)
{
    if (name == QLatin1String("key"))
        return 0;
    if (name == QLatin1String("value"))
        return 1;
    return 2;
}

// The name as written in the file: prefix and local name for a namespaced node, else the plain
// name. The DOM keeps the prefix apart, so the node name alone could drop it.
QString QualifiedName(const QDomNode& node)
{
    if (node.namespaceURI().isNull() || node.prefix().isEmpty())
        return node.nodeName();
    return node.prefix() + QLatin1Char(':') + node.localName();
}

// Attributes in the order "key", "value", then the others by qualified name: the one thing the
// stream writer cannot be told.
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

// The namespace declaration a node needs, as an attribute: "xmlns" or "xmlns:prefix".
QString DeclarationName(const QDomNode& node)
{
    return node.prefix().isEmpty() ? QStringLiteral("xmlns")
                                   : QStringLiteral("xmlns:") + node.prefix();
}

void WriteNode(QXmlStreamWriter& xml, const QDomNode& node);

// Names are written as qualified names and namespaces as plain declarations, so prefixes stay as
// read and every element declares the namespaces it uses (the stream writer's own namespace
// handling would invent prefixes and declare each one once, on the outermost element).
void WriteElement(QXmlStreamWriter& xml, const QDomElement& element)
{
    xml.writeStartElement(QualifiedName(element));
    const QList<QDomAttr> attributes = OrderedAttributes(element);
    QStringList declared;
    auto declare = [&](const QDomNode& node) {
        if (node.namespaceURI().isNull() || declared.contains(DeclarationName(node)))
            return;
        declared.append(DeclarationName(node));
        xml.writeAttribute(DeclarationName(node), node.namespaceURI());
    };
    declare(element);
    for (const QDomAttr& attribute : attributes)
        declare(attribute);
    for (const QDomAttr& attribute : attributes)
        xml.writeAttribute(QualifiedName(attribute), attribute.value());
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        WriteNode(xml, child);
    xml.writeEndElement();
}

void WriteNode(QXmlStreamWriter& xml, const QDomNode& node)
{
    if (node.isElement())
        WriteElement(xml, node.toElement());
    else if (node.isCDATASection())
        xml.writeCDATA(node.nodeValue());
    else if (node.isText())
        xml.writeCharacters(node.nodeValue());
    else if (node.isEntityReference())
        xml.writeEntityReference(node.nodeName());
    else if (node.isComment())
        xml.writeComment(node.nodeValue());
    else if (node.isProcessingInstruction())
        xml.writeProcessingInstruction(node.nodeName(), node.nodeValue());
}

} // namespace

QByteArray WriteDomDocument(const QDomDocument& document, int indentSpaces)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(indentSpaces);
    for (QDomNode node = document.firstChild(); !node.isNull(); node = node.nextSibling())
        WriteNode(xml, node);
    xml.writeEndDocument();
    // Auto-formatting starts each top-level node on a new line, the first one too; a file must
    // not start with a blank line (an XML declaration has to be its very first bytes).
    if (bytes.startsWith('\n'))
        bytes.remove(0, 1);
    return bytes;
}
