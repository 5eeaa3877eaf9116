#include "desktop/consolehistory.h"

#include <QSettings>

namespace kestrel {

void ConsoleHistory::Add(const QString& entry)
{
    if (!entry.trimmed().isEmpty() && (m_entries.isEmpty() || m_entries.last() != entry))
        m_entries.append(entry);
    DropOldestBeyondCapacity();
    m_position = m_entries.size();
    m_draft.clear();
}

bool ConsoleHistory::Older(const QString& current, QString* text)
{
    if (m_position == 0)
        return false;
    if (m_position == m_entries.size())
        m_draft = current;
    *text = m_entries.at(--m_position);
    return true;
}

bool ConsoleHistory::Newer(QString* text)
{
    if (m_position >= m_entries.size())
        return false;
    ++m_position;
    *text = m_position == m_entries.size() ? m_draft : m_entries.at(m_position);
    return true;
}

void ConsoleHistory::Load(const QSettings& settings, const QString& key)
{
    const QVariant value = settings.value(key);
    m_entries = value.type() == QVariant::StringList || value.type() == QVariant::String
                    ? value.toStringList()
                    : QStringList();
    DropOldestBeyondCapacity();
    m_position = m_entries.size();
    m_draft.clear();
}

void ConsoleHistory::Save(QSettings& settings, const QString& key) const
{
    settings.setValue(key, m_entries);
}

void ConsoleHistory::DropOldestBeyondCapacity()
{
    if (m_entries.size() > kCapacity)
        m_entries.erase(m_entries.begin(), m_entries.end() - kCapacity);
}

} // namespace kestrel
