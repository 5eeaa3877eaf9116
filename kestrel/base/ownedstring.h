// Deep copies of strings that pass from a plug-in into storage the host keeps.
#pragma once

#include <QString>

namespace kestrel {

// A copy with its own buffer. A plug-in's QStringLiteral points into the plug-in's library,
// which is unmapped when the plug-in unloads; whatever the host keeps beyond that (names,
// texts, log entries) must not share such a buffer.
inline QString OwnedCopy(const QString& text)
{
    return QString(text.constData(), text.size());
}

} // namespace kestrel
