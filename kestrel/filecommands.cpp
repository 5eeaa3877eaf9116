// openScene, newScene, saveScene, loadPlugin and unloadPlugin.
#include "builtincommand.h"
#include "builtincommands.h"
#include "parsedarguments.h"
#include "pluginmanager.h"
#include "scenedocument.h"

namespace kestrel {

namespace {

// openScene "file" [-frame N]
class OpenSceneCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        int frame = -1;
        if (parsed.IsFlagSet(QStringLiteral("frame"))) {
            parsed.GetFlagArgument(QStringLiteral("frame"), 0, frame);
            if (frame < 0)
                return Fail(QStringLiteral("-frame takes a frame number from 0."));
        }
        return GetHost().GetDocument().Open(parsed.PositionalStrings().first(), frame);
    }
};

class NewSceneCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList&) override
    {
        GetHost().GetDocument().New();
        return Status::Success;
    }
};

// saveScene ["file"]: without a file, the file last opened or saved.
class SaveSceneCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        QString path = GetHost().GetDocument().FilePath();
        if (!parsed.Positional().isEmpty())
            path = parsed.PositionalStrings().first();
        if (path.isEmpty())
            return Fail(QStringLiteral("The scene has no file yet: give one."));
        const Status status = GetHost().GetDocument().Save(path);
        if (status == Status::Success)
            SetResult(path);
        return status;
    }
};

class LoadPluginCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        QString name;
        const Status status =
            GetHost().GetPlugins().Load(parsed.PositionalStrings().first(), &name);
        if (status == Status::Success)
            SetResult(name);
        return status;
    }
};

class UnloadPluginCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        return GetHost().GetPlugins().Unload(parsed.PositionalStrings().first());
    }
};

Syntax OneString()
{
    Syntax syntax;
    syntax.SetPositionalArguments(ArgumentType::String, 1, 1);
    return syntax;
}

} // namespace

void RegisterFileCommands(Host& host)
{
    RegisterBuiltin<OpenSceneCommand>(host, QStringLiteral("openScene"), [] {
        Syntax syntax = OneString();
        syntax.AddFlag(QStringLiteral("-f"), QStringLiteral("-frame"), ArgumentType::Int);
        return syntax;
    });
    RegisterBuiltin<NewSceneCommand>(host, QStringLiteral("newScene"), [] { return Syntax(); });
    RegisterBuiltin<SaveSceneCommand>(host, QStringLiteral("saveScene"), [] {
        Syntax syntax;
        syntax.SetPositionalArguments(ArgumentType::String, 0, 1);
        return syntax;
    });
    RegisterBuiltin<LoadPluginCommand>(host, QStringLiteral("loadPlugin"), OneString);
    RegisterBuiltin<UnloadPluginCommand>(host, QStringLiteral("unloadPlugin"), OneString);
}

} // namespace kestrel
