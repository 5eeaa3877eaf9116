// A list of texts the host keeps (script texts, errors, output), optionally mirrored to a stream.
#pragma once

#include "kestrelexport.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace kestrel {

// Keeps every appended text in order, exactly as given; tests read them back. When a stream is
// set, each text is also written to it as one line, preceded by the prefix. Listeners let views
// follow the log as it grows.
class KESTREL_EXPORT TextLog
{
public:
    // Gets each text appended, without the stream prefix, after it was kept.
    using Listener = std::function<void(const QString& text)>;
    using ListenerId = int;

    explicit TextLog(const QString& streamPrefix = QString())
        : m_prefix(streamPrefix)
    {}
    TextLog(const TextLog&) = delete;
    TextLog& operator=(const TextLog&) = delete;

    // The stream texts are mirrored to (stdout, stderr), or nullptr for none. Not owned.
    void SetStream(FILE* stream) { m_stream = stream; }
    void Append(const QString& text);
    const QStringList& Entries() const { return m_entries; }
    int Count() const { return m_entries.size(); }
    // The last text, or empty.
    QString Last() const { return m_entries.isEmpty() ? QString() : m_entries.last(); }
    void Clear() { m_entries.clear(); }
    // Writes every text followed by a newline, UTF-8 (SaveFileContents). False with `error`;
    // an old file then stays as it was.
    bool WriteToFile(const QString& path, QString* error) const;

    // Calls `listener` with every text appended from now on, in the order listeners were added,
    // until RemoveListener with the returned id. A listener may add or remove listeners while it
    // runs: one removed meanwhile is not called again, one added first hears the next text.
    ListenerId AddListener(Listener listener);
    // Does nothing for an id that is not listening (any more).
    void RemoveListener(ListenerId id);

private:
    void Notify(const QString& text);

    QString m_prefix;
    QStringList m_entries;
    FILE* m_stream = nullptr;
    std::vector<std::pair<ListenerId, Listener>> m_listeners;
    ListenerId m_nextListenerId = 1;
};

} // namespace kestrel
