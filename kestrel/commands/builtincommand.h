// Base classes of the host's own commands, and their registration helper.
#pragma once

#include "host.h"
#include "scene/scenejournal.h"
#include "script/command.h"
#include "script/commandregistry.h"
#include "script/syntax.h"

#include <QString>
#include <QVector>

#include <memory>

namespace kestrel {

class Node;
class Scene;

// A built-in command: knows its host and its name, and reports errors as "name: text".
class BuiltinCommand : public Command
{
public:
    BuiltinCommand(Host& host, const QString& name)
        : m_host(host)
        , m_name(name)
    {}

protected:
    Host& GetHost() const { return m_host; }
    Scene& GetScene() const;
    const QString& Name() const { return m_name; }
    // Displays "name: text" and returns `status`.
    Status Fail(const QString& text, Status status = Status::InvalidParameter) const;
    // The node of that name or path; displays an error and answers nullptr when there is none.
    Node* RequireNode(const QString& name) const;
    // Splits "node.attribute" at the last '.'; displays an error for anything else.
    bool SplitPlug(const QString& plug, Node** node, QString* attribute) const;
    // For commands without a syntax: exactly `types.size()` positional values (no flags),
    // converted as flag arguments are. Displays an error and answers false otherwise.
    bool ReadArguments(const ArgumentList& arguments, const QVector<ArgumentType>& types,
                       QVector<Value>* values) const;

private:
    Host& m_host;
    QString m_name;
};

// A built-in command that changes the scene: everything it changes is journaled, so it is
// undoable when it changed anything. When Execute fails, the changes it made are reverted.
class JournaledCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) final;
    Status Undo() override;
    Status Redo() override;
    bool IsUndoable() const override { return !m_journal.IsEmpty(); }

protected:
    virtual Status Execute(const ArgumentList& arguments) = 0;

private:
    SceneJournal m_journal;
};

// Registers command T (constructed with the host and the name) as a built-in.
template <typename T>
void RegisterBuiltin(Host& host, const QString& name, SyntaxBuilder syntax = SyntaxBuilder())
{
    host.GetCommands().Register(
        name,
        [&host, name]() -> std::unique_ptr<Command> { return std::make_unique<T>(host, name); },
        std::move(syntax), nullptr);
}

} // namespace kestrel
