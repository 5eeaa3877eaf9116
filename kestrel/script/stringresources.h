// Named texts that plug-ins register with defaults and the host formats with "^1s".
#pragma once

#include "base/status.h"
#include "kestrelexport.h"

#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kestrel {

// A text is found by its plug-in key (usually the plug-in's command name) and its own key.
struct StringResourceId
{
    QString pluginKey;
    QString key;
};

class KESTREL_EXPORT StringResources
{
public:
    // Registers (or re-registers) the text. InvalidParameter when a key is empty.
    Status Register(const StringResourceId& id, const QString& defaultText);
    // The text; empty with NotFound in `status` when it was never registered.
    QString Text(const StringResourceId& id, Status* status = nullptr) const;
    bool Contains(const StringResourceId& id) const;
    int Count() const { return m_texts.size(); }

    // Replaces the placeholders "^1s" ... "^9s" with the matching argument; placeholders
    // without an argument stay as they are.
    static QString Format(const QString& text, const QStringList& arguments);

private:
    QMap<QPair<QString, QString>, QString> m_texts;
};

} // namespace kestrel
