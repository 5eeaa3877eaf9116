#include "script/textlog.h"

#include "base/ownedstring.h"
#include "base/savefile.h"

#include <algorithm>

namespace kestrel {

void TextLog::Append(const QString& text)
{
    m_entries.append(OwnedCopy(text));
    if (m_stream) {
        const QByteArray line = (m_prefix + text + QLatin1Char('\n')).toUtf8();
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), m_stream);
        std::fflush(m_stream);
    }
    Notify(m_entries.last());
}

TextLog::ListenerId TextLog::AddListener(Listener listener)
{
    const ListenerId id = m_nextListenerId++;
    m_listeners.emplace_back(id, std::move(listener));
    return id;
}

void TextLog::RemoveListener(ListenerId id)
{
    m_listeners.erase(std::remove_if(m_listeners.begin(), m_listeners.end(),
                                     [id](const auto& entry) { return entry.first == id; }),
                      m_listeners.end());
}

// Listeners may change the list while they run, so each is looked up again by id before it is
// called and called through a copy.
void TextLog::Notify(const QString& text)
{
    if (m_listeners.empty())
        return;
    std::vector<ListenerId> ids;
    ids.reserve(m_listeners.size());
    for (const auto& entry : m_listeners)
        ids.push_back(entry.first);
    const QString kept = text; // `text` lives in m_entries, which a listener may append to
    for (const ListenerId id : ids) {
        const auto found = std::find_if(m_listeners.begin(), m_listeners.end(),
                                        [id](const auto& entry) { return entry.first == id; });
        if (found == m_listeners.end())
            continue;
        const Listener listener = found->second;
        listener(kept);
    }
}

bool TextLog::WriteToFile(const QString& path, QString* error) const
{
    QByteArray data;
    for (const QString& entry : m_entries)
        data += entry.toUtf8() + '\n';
    QString reason;
    if (!SaveFileContents(path, data, &reason)) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, reason);
        return false;
    }
    return true;
}

} // namespace kestrel
