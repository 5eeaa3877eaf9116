#include "script/textlog.h"

#include "scene/ownedstring.h"

#include <QSaveFile>

namespace kestrel {

void TextLog::Append(const QString& text)
{
    m_entries.append(OwnedCopy(text));
    if (m_stream) {
        const QByteArray line = (m_prefix + text + QLatin1Char('\n')).toUtf8();
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), m_stream);
        std::fflush(m_stream);
    }
}

bool TextLog::WriteToFile(const QString& path, QString* error) const
{
    QByteArray data;
    for (const QString& entry : m_entries)
        data += entry.toUtf8() + '\n';
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace kestrel
