#include "script/syntax.h"

namespace kestrel {

namespace {

QString Bare(const QString& name)
{
    return name.startsWith(QLatin1Char('-')) ? name.mid(1) : name;
}

bool IsFlagName(const QString& name)
{
    if (name.isEmpty() || !name.at(0).isLetter())
        return false;
    for (QChar c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

bool IsModeFlag(const QString& name)
{
    return name == QLatin1String("e") || name == QLatin1String("edit") ||
           name == QLatin1String("q") || name == QLatin1String("query");
}

} // namespace

QString ArgumentTypeName(ArgumentType type)
{
    switch (type) {
    case ArgumentType::String:
        return QStringLiteral("string");
    case ArgumentType::Int:
        return QStringLiteral("int");
    case ArgumentType::Bool:
        return QStringLiteral("bool");
    case ArgumentType::Double:
        return QStringLiteral("double");
    }
    return QString();
}

Status Syntax::AddFlag(const QString& shortName, const QString& longName,
                       const QVector<ArgumentType>& arguments)
{
    const QString shortBare = Bare(shortName);
    const QString longBare = Bare(longName);
    if (!IsFlagName(shortBare) || !IsFlagName(longBare))
        return Status::InvalidParameter;
    if (FindFlag(shortBare) || FindFlag(longBare) || IsModeFlag(shortBare) || IsModeFlag(longBare))
        return Status::AlreadyExists;
    m_flags.append({shortBare, longBare, arguments});
    return Status::Success;
}

void Syntax::SetPositionalArguments(ArgumentType type, int minimum, int maximum)
{
    m_positionalType = type;
    m_positionalMinimum = minimum;
    m_positionalMaximum = maximum;
}

const FlagDeclaration* Syntax::FindFlag(const QString& name) const
{
    const QString bare = Bare(name);
    for (const FlagDeclaration& flag : m_flags) {
        if (flag.shortName == bare || flag.longName == bare)
            return &flag;
    }
    return nullptr;
}

} // namespace kestrel
