#include "io/importednames.h"

#include "scene/nodename.h"

namespace kestrel {

QString OriginalNameAttribute()
{
    return QStringLiteral("originalName");
}

QString ImportedNames::Add(const QString& original, std::vector<Attribute>* attributes)
{
    const QString escaped = original.isEmpty() ? QStringLiteral("joint") : EscapeNodeName(original);
    QString name = escaped;
    for (int suffix = 2; m_used.contains(name); ++suffix)
        name = escaped + QLatin1Char('_') + QString::number(suffix);
    m_used.insert(name);
    if (name != original)
        attributes->push_back({OriginalNameAttribute(), AttributeType::String, Value(original)});
    return name;
}

} // namespace kestrel
