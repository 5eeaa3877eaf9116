#include "script/stringresources.h"

#include "base/ownedstring.h"

namespace kestrel {

Status StringResources::Register(const StringResourceId& id, const QString& defaultText)
{
    if (id.pluginKey.isEmpty() || id.key.isEmpty())
        return Status::InvalidParameter;
    m_texts.insert(qMakePair(OwnedCopy(id.pluginKey), OwnedCopy(id.key)), OwnedCopy(defaultText));
    return Status::Success;
}

QString StringResources::Text(const StringResourceId& id, Status* status) const
{
    const auto it = m_texts.constFind(qMakePair(id.pluginKey, id.key));
    if (status)
        *status = it == m_texts.constEnd() ? Status::NotFound : Status::Success;
    return it == m_texts.constEnd() ? QString() : it.value();
}

bool StringResources::Contains(const StringResourceId& id) const
{
    return m_texts.contains(qMakePair(id.pluginKey, id.key));
}

QString StringResources::Format(const QString& text, const QStringList& arguments)
{
    QString result;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('^') && i + 2 < text.size() &&
            text.at(i + 1) >= QLatin1Char('1') && text.at(i + 1) <= QLatin1Char('9') &&
            text.at(i + 2) == QLatin1Char('s')) {
            const int index = text.at(i + 1).digitValue() - 1;
            if (index < arguments.size()) {
                result += arguments.at(index);
                i += 2;
                continue;
            }
        }
        result += text.at(i);
    }
    return result;
}

} // namespace kestrel
