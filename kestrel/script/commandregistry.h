// The table of commands the script interpreter knows, built-in and from plug-ins.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "script/command.h"
#include "script/syntax.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace kestrel {

class Plugin;

// Makes a new command object for one invocation.
using CommandCreator = std::function<std::unique_ptr<Command>()>;
// Builds the syntax of a command; called once, at registration.
using SyntaxBuilder = std::function<Syntax()>;

// Command names are unique. An entry registered by a plug-in records it as owner, so that
// the host can clear the plug-in's leftovers before unloading its library.
class KESTREL_EXPORT CommandRegistry
{
public:
    struct Entry
    {
        QString name;
        CommandCreator creator;
        bool hasSyntax = false;
        Syntax syntax;
        const Plugin* owner = nullptr;
    };

    // InvalidParameter for a name that is not an identifier or a missing creator,
    // AlreadyExists when the name is taken.
    Status Register(const QString& name, CommandCreator creator, SyntaxBuilder syntaxBuilder,
                    const Plugin* owner);
    // NotFound when no such command is registered.
    Status Deregister(const QString& name);
    // nullptr when unknown. The entry stays valid until the command is deregistered.
    const Entry* Find(const QString& name) const;
    // Sorted names.
    QStringList Names() const;
    QStringList NamesOwnedBy(const Plugin* owner) const;

private:
    QMap<QString, std::shared_ptr<Entry>> m_entries;
};

} // namespace kestrel
