#include "script/commandregistry.h"

#include "script/scriptlexer.h"

namespace kestrel {

Status CommandRegistry::Register(const QString& name, CommandCreator creator,
                                 SyntaxBuilder syntaxBuilder, const Plugin* owner)
{
    if (!ScriptLexer::IsCommandName(name) || !creator)
        return Status::InvalidParameter;
    if (m_entries.contains(name))
        return Status::AlreadyExists;
    auto entry = std::make_shared<Entry>();
    entry->name = name;
    entry->creator = std::move(creator);
    entry->hasSyntax = static_cast<bool>(syntaxBuilder);
    if (syntaxBuilder)
        entry->syntax = syntaxBuilder();
    entry->owner = owner;
    m_entries.insert(name, entry);
    return Status::Success;
}

Status CommandRegistry::Deregister(const QString& name)
{
    return m_entries.remove(name) > 0 ? Status::Success : Status::NotFound;
}

const CommandRegistry::Entry* CommandRegistry::Find(const QString& name) const
{
    const auto it = m_entries.constFind(name);
    return it == m_entries.constEnd() ? nullptr : it.value().get();
}

QStringList CommandRegistry::Names() const
{
    return m_entries.keys();
}

QStringList CommandRegistry::NamesOwnedBy(const Plugin* owner) const
{
    QStringList names;
    for (const auto& entry : m_entries) {
        if (entry->owner == owner)
            names.append(entry->name);
    }
    return names;
}

} // namespace kestrel
