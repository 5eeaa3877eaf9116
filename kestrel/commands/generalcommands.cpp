// print, undo, redo and quit.
#include "commands/builtincommand.h"
#include "commands/builtincommands.h"
#include "script/undoqueue.h"

namespace kestrel {

namespace {

// print VALUE: writes the value as a line of output.
class PrintCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        if (arguments.Count() != 1 || arguments.At(0).isFlag)
            return Fail(QStringLiteral("takes exactly one value to print."));
        GetHost().Print(arguments.At(0).value.ToText());
        return Status::Success;
    }
};

class UndoCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList&) override
    {
        UndoQueue& queue = GetHost().GetUndoQueue();
        if (!queue.CanUndo())
            return Fail(QStringLiteral("There is nothing to undo."), Status::InvalidState);
        return queue.Undo();
    }
};

class RedoCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList&) override
    {
        UndoQueue& queue = GetHost().GetUndoQueue();
        if (!queue.CanRedo())
            return Fail(QStringLiteral("There is nothing to redo."), Status::InvalidState);
        return queue.Redo();
    }
};

// quit: ends the session once the running script is done (batch runs skip what follows).
class QuitCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList&) override
    {
        GetHost().RequestQuit();
        return Status::Success;
    }
};

} // namespace

void RegisterGeneralCommands(Host& host)
{
    RegisterBuiltin<PrintCommand>(host, QStringLiteral("print"));
    RegisterBuiltin<UndoCommand>(host, QStringLiteral("undo"), [] { return Syntax(); });
    RegisterBuiltin<RedoCommand>(host, QStringLiteral("redo"), [] { return Syntax(); });
    RegisterBuiltin<QuitCommand>(host, QStringLiteral("quit"), [] { return Syntax(); });
}

} // namespace kestrel
