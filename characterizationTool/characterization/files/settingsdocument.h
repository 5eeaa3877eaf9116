// The small XML key/value document behind every XML file the tool keeps: the settings file,
// naming templates and bone correspondence files.
#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One entry of a flagged list: a key/value pair with a yes/no mark (a naming template's
// "use_root", for instance).
struct FlaggedItem
{
    QString Key;
    QString Value;
    bool Flag = false;
};

using KeyValueList = QList<QPair<QString, QString>>;
using FlaggedList = QList<FlaggedItem>;

// A document lives for one operation: open it on a path, read or write a few keys, let it go.
// Nothing is cached between documents; two documents on one file each save their own view.
//
// Shape on disk:
//
//   <config_root>                        the document's first node is the root
//       <name_match>                     a group: child element of the root ("" = the root)
//           <match_type value="Suffix"/> a key holding a string
//           <delimiter_list>             a key holding a list: one child element per entry
//               <item value="-"/>
//           </delimiter_list>
//       </name_match>
//   </config_root>
//
// Group and key names are XML tag names; spaces in them stand for "_" on reads and writes alike.
// A name that is still not a plain tag name (empty, a colon, a leading digit...) is refused by
// writes and finds nothing on reads.
//
// Files are written with four spaces per level, no XML declaration, in UTF-8, attributes in
// the order "key", "value", then the others by name, so the same content always gives the
// same bytes.
//
// The root is the first node whatever its kind: a file starting with an XML declaration or a
// comment yields no values and refuses writes, and so is never rewritten.
class SettingsDocument
{
public:
    // The deepest element nesting a file may have (the root counts as level 1). The tool's
    // files are three levels deep; deeper files are refused as unparsable.
    static constexpr int kMaxNesting = 256;

    // Loads the file at filePath. A missing or empty file gives an empty document; an
    // unparsable one prints one "Error in parsing..." line on standard output and keeps
    // whatever the parser managed to read; one nested deeper than kMaxNesting prints that line
    // and keeps nothing.
    explicit SettingsDocument(const QString& filePath);

    // Saves if any write succeeded since the last save; an unwritable path is silently skipped.
    ~SettingsDocument();

    SettingsDocument(const SettingsDocument&) = delete;
    SettingsDocument& operator=(const SettingsDocument&) = delete;

    // The path given at construction.
    QString FilePath() const { return m_filePath; }

    // The "value" attribute of the key; empty when the attribute is missing, defaultValue when
    // the key itself is missing.
    QString GetString(const QString& group, const QString& key, const QString& defaultValue) const;

    // Sets the key's "value" attribute in place, creating group and key as needed. False, and
    // nothing changed, when a name is refused or the document has no root element.
    bool SetString(const QString& group, const QString& key, const QString& value);

    // Appends the "value" attribute of every child element of the key, whatever its tag name,
    // in document order. Appends nothing when the key is missing.
    void GetStringList(const QString& group, const QString& key, QStringList& list) const;

    // Replaces the key by a new one at the end of its group holding one "item" per string.
    // False, and nothing changed, when a name is refused or there is no root element.
    bool SetStringList(const QString& group, const QString& key, const QStringList& list);

    // Appends the "key" and "value" attributes of every child element of the key (missing
    // attribute = empty text).
    void GetKeyValueList(const QString& group, const QString& key, KeyValueList& pairs) const;

    // Replaces the key by a new one at the end of its group holding one "item" per pair.
    // False, and nothing changed, when a name is refused or there is no root element.
    bool SetKeyValueList(const QString& group, const QString& key, const KeyValueList& pairs);

    // As GetKeyValueList; an item's flag is true when its flagName attribute reads exactly
    // "true", false for any other text, and defaultFlag when the attribute is missing.
    void GetFlaggedList(const QString& group, const QString& key, const QString& flagName,
                        bool defaultFlag, FlaggedList& items) const;

    // As SetKeyValueList; the flagName attribute ("true"/"false") is written only on items whose
    // flag differs from defaultFlag. flagName must be a tag-like name other than "key" and
    // "value", or the write is refused.
    bool SetFlaggedList(const QString& group, const QString& key, const QString& flagName,
                        bool defaultFlag, const FlaggedList& items);

    // Writes the document now if a write succeeded since the last save. True when the file
    // holds the document afterwards (also when there was nothing to save). The file is replaced
    // atomically, so a failed save leaves the previous file untouched, except in a folder where
    // no new file can be made: there an existing writable file is overwritten in place.
    bool Save();

private:
    void Load();
    QDomElement Root() const;
    QDomElement FindKey(const QString& group, const QString& key) const;
    QDomElement ObtainGroup(const QString& group);
    QDomElement ReplaceKey(const QString& group, const QString& key);
    QDomElement AppendItem(QDomElement& keyElement);

    QDomDocument m_document;
    QString m_filePath;
    bool m_modified = false; // set by every successful write, even of an unchanged value
};
