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
    if (m_used.contains(name)) {
        // Each base name remembers its next suffix, so n copies of one name cost n steps, not
        // n squared; a suffix the file itself used is still skipped.
        int& suffix = m_nextSuffix[escaped];
        if (suffix < 2)
            suffix = 2;
        do
            name = escaped + QLatin1Char('_') + QString::number(suffix++);
        while (m_used.contains(name));
    }
    m_used.insert(name);
    if (name != original)
        attributes->push_back({OriginalNameAttribute(), AttributeType::String, Value(original)});
    return name;
}

} // namespace kestrel
