// The entries typed into the script console, walked with Up and Down and kept between sessions.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace kestrel {

// Entries oldest first. A walk starts at the text being edited (the draft), goes back through the
// entries and forward again to the draft; adding an entry ends it.
class ConsoleHistory
{
public:
    // Entries kept; adding one more drops the oldest.
    static constexpr int kCapacity = 500;

    // Appends `entry` and ends any walk. Blank entries and repeats of the newest are not kept.
    void Add(const QString& entry);
    // One step toward older entries; `current` is the editor's text, kept as the draft when a
    // walk starts. False, with `text` untouched, at the oldest entry or when there is none.
    bool Older(const QString& current, QString* text);
    // One step toward newer entries, the last step giving back the draft. False, with `text`
    // untouched, when no walk is going on.
    bool Newer(QString* text);
    const QStringList& Entries() const { return m_entries; }

    // Replaces the entries with the list stored under `key` (none when the value is missing or
    // not a list of strings), keeping the newest kCapacity, and ends any walk.
    void Load(const QSettings& settings, const QString& key);
    void Save(QSettings& settings, const QString& key) const;

private:
    void DropOldestBeyondCapacity();

    QStringList m_entries;
    // Index of the entry shown while walking; m_entries.size() when at the draft (no walk).
    int m_position = 0;
    QString m_draft;
};

} // namespace kestrel
