// Deep copies of strings that pass from a plug-in into storage the host keeps.
#pragma once

#include <QString>

namespace kestrel {

// A string whose buffer the host may keep. A plug-in's QStringLiteral points into the plug-in's
// library, which is unmapped when the plug-in unloads, and a string made with fromRawData
// points into memory its maker frees: whatever the host keeps beyond that (names, texts, log
// entries) must not share such a buffer, so those are copied. A buffer on the heap, counted
// by its references, is shared as it is: every node of a file read keeps its name this way.
inline QString OwnedCopy(const QString& text)
{
    const QString::DataPtr& data = const_cast<QString&>(text).data_ptr();
    if (!data->ref.isStatic() && data->alloc != 0)
        return text;
    return QString(text.constData(), text.size());
}

} // namespace kestrel
