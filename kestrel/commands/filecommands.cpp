// openScene, importFile, newScene, saveScene, loadPlugin and unloadPlugin.
#include "commands/builtincommand.h"
#include "commands/builtincommands.h"
#include "io/scenedescription.h"
#include "io/scenedocument.h"
#include "plugins/pluginmanager.h"
#include "scene/nodename.h"
#include "scene/scene.h"
#include "script/parsedarguments.h"

#include <QFileInfo>

namespace kestrel {

namespace {

// The flags openScene and importFile share: -frame N and -upAxis y|z. `error` is empty when
// they are fine.
struct FileFlags
{
    int frame = -1;
    ImportOptions options;
    QString error;
};

FileFlags ReadFileFlags(const ParsedArguments& parsed)
{
    FileFlags flags;
    if (parsed.IsFlagSet(QStringLiteral("frame"))) {
        parsed.GetFlagArgument(QStringLiteral("frame"), 0, flags.frame);
        if (flags.frame < 0)
            flags.error = QStringLiteral("-frame takes a frame number from 0.");
    }
    if (parsed.IsFlagSet(QStringLiteral("upAxis"))) {
        QString axis;
        parsed.GetFlagArgument(QStringLiteral("upAxis"), 0, axis);
        axis = axis.toLower();
        if (axis == QLatin1String("y"))
            flags.options.upAxis = UpAxis::Y;
        else if (axis == QLatin1String("z"))
            flags.options.upAxis = UpAxis::Z;
        else
            flags.error = QStringLiteral("-upAxis takes y or z.");
    }
    return flags;
}

void AddFileFlags(Syntax* syntax)
{
    syntax->SetPositionalArguments(ArgumentType::String, 1, 1);
    syntax->AddFlag(QStringLiteral("-f"), QStringLiteral("-frame"), ArgumentType::Int);
    syntax->AddFlag(QStringLiteral("-up"), QStringLiteral("-upAxis"), ArgumentType::String);
}

// openScene "file" [-frame N] [-upAxis y|z]
class OpenSceneCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        const FileFlags flags = ReadFileFlags(parsed);
        if (!flags.error.isEmpty())
            return Fail(flags.error);
        return GetHost().GetDocument().Open(parsed.PositionalStrings().first(), flags.frame,
                                            flags.options);
    }
};

// importFile "file" [-namespace NS] [-group G] [-frame N] [-upAxis y|z]: adds the file's
// nodes to the open scene instead of replacing it. Every imported name gets the prefix "NS:"
// (by default the file's base name, escaped); with -group the file's top-level nodes go
// under a new transform G. Undoable; a name already in the scene fails without a change.
// The result lists the top-level nodes added.
class ImportFileCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        const FileFlags flags = ReadFileFlags(parsed);
        if (!flags.error.isEmpty())
            return Fail(flags.error);
        const QString path = parsed.PositionalStrings().first();
        QString space = EscapeNodeName(QFileInfo(path).completeBaseName());
        if (parsed.IsFlagSet(QStringLiteral("namespace")))
            parsed.GetFlagArgument(QStringLiteral("namespace"), 0, space);
        QString group;
        if (parsed.IsFlagSet(QStringLiteral("group"))) {
            parsed.GetFlagArgument(QStringLiteral("group"), 0, group);
            if (!IsValidNodeName(group))
                return Fail(QStringLiteral("\"%1\" is not a valid group name.").arg(group));
        }
        if (!space.isEmpty() && !IsValidNodeName(space))
            return Fail(QStringLiteral("\"%1\" is not a valid namespace.").arg(space));
        SceneDescription description;
        QString error;
        if (!SceneDocument::ReadFile(path, flags.frame, flags.options, &description, &error)) {
            GetHost().DisplayError(error);
            return Status::InvalidParameter;
        }
        const QString prefix = space.isEmpty() ? QString() : space + QLatin1Char(':');
        QStringList roots;
        for (NodeRecord& node : description.nodes) {
            node.name.prepend(prefix);
            if (!node.parent.isEmpty())
                node.parent.prepend(prefix);
            else if (!group.isEmpty() && node.type != NodeType::Character)
                node.parent = group;
            else
                roots.append(node.name);
        }
        for (ConnectionRecord& connection : description.connections) {
            connection.fromNode.prepend(prefix);
            connection.toNode.prepend(prefix);
        }
        if (!group.isEmpty()) {
            NodeRecord record;
            record.name = group;
            description.nodes.insert(description.nodes.begin(), record);
            roots.prepend(group);
        }
        const Status status = description.BuildInto(GetScene(), &error);
        if (status != Status::Success)
            return Fail(QStringLiteral("\"%1\": %2").arg(path, error), status);
        SetResult(roots);
        return Status::Success;
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
        Syntax syntax;
        AddFileFlags(&syntax);
        return syntax;
    });
    RegisterBuiltin<ImportFileCommand>(host, QStringLiteral("importFile"), [] {
        Syntax syntax;
        AddFileFlags(&syntax);
        syntax.AddFlag(QStringLiteral("-ns"), QStringLiteral("-namespace"), ArgumentType::String);
        syntax.AddFlag(QStringLiteral("-g"), QStringLiteral("-group"), ArgumentType::String);
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
