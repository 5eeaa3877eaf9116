#include "files/settingsdocument.h"

#include "files/domwriter.h"
#include "files/savefile.h"

#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>

namespace {

const QString kRootName = QStringLiteral("config_root");
const QString kItemName = QStringLiteral("item");
const QString kValueAttribute = QStringLiteral("value");
const QString kKeyAttribute = QStringLiteral("key");
const QString kTrueText = QStringLiteral("true");
const QString kFalseText = QStringLiteral("false");
constexpr int kIndentSpaces = 4;

// Tag names never carry spaces; callers' names may.
QString ElementName(const QString& name)
{
    return QString(name).replace(QLatin1Char(' '), QLatin1Char('_'));
}

// Plain tag names only: a letter or "_", then letters, digits, "_", "-" or ".". Colons are
// left out because files are read with namespace processing on.
bool IsTagName(const QString& name)
{
    if (name.isEmpty() || !(name.front().isLetter() || name.front() == QLatin1Char('_')))
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.isLetter() || c.isDigit() || c == QLatin1Char('_') || c == QLatin1Char('-') ||
               c == QLatin1Char('.');
    });
}

// The empty group stands for the root itself.
bool IsGroupName(const QString& name)
{
    return name.isEmpty() || IsTagName(name);
}

// False, with a message and the position of the offending element, when elements nest deeper
// than SettingsDocument::kMaxNesting. The DOM parses deep nesting in quadratic time and frees
// it recursively, so such a file would hang the tool or overflow the stack; it is refused
// before the DOM sees it. Syntax errors are left to the real parse.
bool WithinNesting(const QByteArray& bytes, QString* message, int* line, int* column)
{
    QXmlStreamReader scan(bytes);
    scan.setNamespaceProcessing(false);
    int depth = 0;
    while (!scan.atEnd()) {
        switch (scan.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > SettingsDocument::kMaxNesting) {
                *message = QStringLiteral("elements nested more than %1 levels deep")
                               .arg(SettingsDocument::kMaxNesting);
                *line = static_cast<int>(scan.lineNumber());
                *column = static_cast<int>(scan.columnNumber());
                return false;
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return true;
}

void PrintParseError(const QString& path, const QString& message, int line, int column)
{
    std::printf("Error in parsing%s %s at line %d at column %d\n", path.toLatin1().constData(),
                message.toUtf8().constData(), line, column);
    std::fflush(stdout);
}

} // namespace

SettingsDocument::SettingsDocument(const QString& filePath)
    : m_filePath(filePath)
{
    Load();
}

SettingsDocument::~SettingsDocument()
{
    Save();
}

QString SettingsDocument::GetString(const QString& group, const QString& key,
                                    const QString& defaultValue) const
{
    const QDomElement element = FindKey(group, key);
    return element.isNull() ? defaultValue : element.attribute(kValueAttribute);
}

bool SettingsDocument::SetString(const QString& group, const QString& key, const QString& value)
{
    const QString keyName = ElementName(key);
    if (!IsTagName(keyName))
        return false;
    QDomElement parent = ObtainGroup(group);
    if (parent.isNull())
        return false;
    QDomElement element = parent.firstChildElement(keyName);
    if (element.isNull()) {
        element = m_document.createElement(keyName);
        parent.appendChild(element);
    }
    element.setAttribute(kValueAttribute, value);
    m_modified = true;
    return true;
}

void SettingsDocument::GetStringList(const QString& group, const QString& key,
                                     QStringList& list) const
{
    const QDomElement keyElement = FindKey(group, key);
    for (QDomElement e = keyElement.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        list.append(e.attribute(kValueAttribute));
}

bool SettingsDocument::SetStringList(const QString& group, const QString& key,
                                     const QStringList& list)
{
    QDomElement keyElement = ReplaceKey(group, key);
    if (keyElement.isNull())
        return false;
    for (const QString& value : list)
        AppendItem(keyElement).setAttribute(kValueAttribute, value);
    m_modified = true;
    return true;
}

void SettingsDocument::GetKeyValueList(const QString& group, const QString& key,
                                       KeyValueList& pairs) const
{
    const QDomElement keyElement = FindKey(group, key);
    for (QDomElement e = keyElement.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        pairs.append({e.attribute(kKeyAttribute), e.attribute(kValueAttribute)});
}

bool SettingsDocument::SetKeyValueList(const QString& group, const QString& key,
                                       const KeyValueList& pairs)
{
    QDomElement keyElement = ReplaceKey(group, key);
    if (keyElement.isNull())
        return false;
    for (const auto& pair : pairs) {
        QDomElement item = AppendItem(keyElement);
        item.setAttribute(kKeyAttribute, pair.first);
        item.setAttribute(kValueAttribute, pair.second);
    }
    m_modified = true;
    return true;
}

void SettingsDocument::GetFlaggedList(const QString& group, const QString& key,
                                      const QString& flagName, bool defaultFlag,
                                      FlaggedList& items) const
{
    const QDomElement keyElement = FindKey(group, key);
    for (QDomElement e = keyElement.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        FlaggedItem item{e.attribute(kKeyAttribute), e.attribute(kValueAttribute), defaultFlag};
        if (e.hasAttribute(flagName))
            item.Flag = e.attribute(flagName) == kTrueText;
        items.append(item);
    }
}

bool SettingsDocument::SetFlaggedList(const QString& group, const QString& key,
                                      const QString& flagName, bool defaultFlag,
                                      const FlaggedList& items)
{
    // The flag must not overwrite the item's own attributes.
    if (!IsTagName(flagName) || flagName == kKeyAttribute || flagName == kValueAttribute)
        return false;
    QDomElement keyElement = ReplaceKey(group, key);
    if (keyElement.isNull())
        return false;
    for (const FlaggedItem& entry : items) {
        QDomElement item = AppendItem(keyElement);
        item.setAttribute(kKeyAttribute, entry.Key);
        item.setAttribute(kValueAttribute, entry.Value);
        if (entry.Flag != defaultFlag)
            item.setAttribute(flagName, entry.Flag ? kTrueText : kFalseText);
    }
    m_modified = true;
    return true;
}

bool SettingsDocument::Save()
{
    if (!m_modified)
        return true;
    const QByteArray bytes = WriteDomDocument(m_document, kIndentSpaces);
    if (!SaveFileContents(m_filePath, bytes))
        return false;
    m_modified = false;
    return true;
}

void SettingsDocument::Load()
{
    QFile file(m_filePath);
    // An empty file holds nothing to parse (the template pre-flight leaves one): it reads like
    // a missing file, without a parse error.
    if (file.exists() && file.size() > 0 && file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QByteArray bytes = file.readAll();
        QString message;
        int line = 0;
        int column = 0;
        // The stream reader parses these files faster than the default SAX-style reader.
        QXmlStreamReader reader(bytes);
        if (!WithinNesting(bytes, &message, &line, &column) ||
            !m_document.setContent(&reader, true, &message, &line, &column))
            PrintParseError(m_filePath, message, line, column);
    }
    // Whatever a failed parse kept stays; only a document with nothing at all gets a root.
    if (m_document.firstChild().isNull()) {
        const QDomElement root = m_document.createElement(kRootName);
        m_document.appendChild(root);
    }
}

QDomElement SettingsDocument::Root() const
{
    // Deliberately the first node, not the first element: a leading declaration or comment
    // makes the document read as empty rather than silently picking another element.
    return m_document.firstChild().toElement();
}

QDomElement SettingsDocument::FindKey(const QString& group, const QString& key) const
{
    const QString groupName = ElementName(group);
    const QString keyName = ElementName(key);
    // An empty name would match any element, so names are checked before looking.
    if (!IsGroupName(groupName) || !IsTagName(keyName))
        return {};
    const QDomElement root = Root();
    const QDomElement parent = groupName.isEmpty() ? root : root.firstChildElement(groupName);
    return parent.firstChildElement(keyName);
}

QDomElement SettingsDocument::ObtainGroup(const QString& group)
{
    const QString groupName = ElementName(group);
    QDomElement root = Root();
    if (root.isNull() || !IsGroupName(groupName))
        return {};
    if (groupName.isEmpty())
        return root;
    QDomElement element = root.firstChildElement(groupName);
    if (element.isNull()) {
        element = m_document.createElement(groupName);
        root.appendChild(element);
    }
    return element;
}

QDomElement SettingsDocument::ReplaceKey(const QString& group, const QString& key)
{
    const QString keyName = ElementName(key);
    if (!IsTagName(keyName))
        return {};
    QDomElement parent = ObtainGroup(group);
    if (parent.isNull())
        return {};
    // Every element of that name goes, so a hand-edited duplicate cannot shadow the new list.
    for (QDomElement old = parent.firstChildElement(keyName); !old.isNull();
         old = parent.firstChildElement(keyName))
        parent.removeChild(old);
    QDomElement element = m_document.createElement(keyName);
    parent.appendChild(element);
    return element;
}

QDomElement SettingsDocument::AppendItem(QDomElement& keyElement)
{
    QDomElement item = m_document.createElement(kItemName);
    keyElement.appendChild(item);
    return item;
}
