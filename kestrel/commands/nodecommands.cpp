// createNode, rename, delete, parent, select and ls.
#include "commands/builtincommand.h"
#include "commands/builtincommands.h"
#include "scene/characternodes.h"
#include "scene/scene.h"
#include "script/parsedarguments.h"

namespace kestrel {

namespace {

// createNode "type" [-name N] [-parent P]: returns the new node's name.
class CreateNodeCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        const QString typeName = parsed.PositionalStrings().first();
        NodeType type;
        if (!ParseNodeType(typeName, &type))
            return Fail(QStringLiteral("Unknown node type \"%1\" (transform, joint or character).")
                            .arg(typeName),
                        Status::UnknownParameter);
        QString name;
        QString parentName;
        parsed.GetFlagArgument(QStringLiteral("name"), 0, name);
        parsed.GetFlagArgument(QStringLiteral("parent"), 0, parentName);
        if (name.isEmpty())
            name = GetScene().UniqueName(typeName);
        Node* parent = nullptr;
        if (!parentName.isEmpty() && !(parent = RequireNode(parentName)))
            return Status::NotFound;
        QString error;
        Node* node = type == NodeType::Character && !parent
                         ? GetHost().GetCharacterNodes().Create(name, &error)
                         : GetScene().CreateNode(type, name, parent, &error);
        if (!node)
            return Fail(error);
        SetResult(node->Name());
        return Status::Success;
    }
};

// rename OLD NEW
class RenameCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        const QStringList names = ParsedArguments(arguments).PositionalStrings();
        Node* node = RequireNode(names.at(0));
        if (!node)
            return Status::NotFound;
        QString error;
        const Status status = GetScene().RenameNode(node, names.at(1), &error);
        if (status != Status::Success)
            return Fail(error, status);
        SetResult(node->Name());
        return Status::Success;
    }
};

// delete [NODE...]: the named nodes, or the selection; each with its subtree.
class DeleteCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        QStringList names = ParsedArguments(arguments).PositionalStrings();
        if (names.isEmpty())
            names = GetScene().GetSelection().Names();
        if (names.isEmpty())
            return Fail(QStringLiteral("Nothing to delete: name nodes or select some."));
        for (const QString& name : names) {
            if (!RequireNode(name))
                return Status::NotFound;
        }
        for (const QString& name : names) {
            // Gone already when an ancestor was in the list.
            if (Node* node = GetScene().Find(name)) {
                const Status status = GetScene().RemoveNode(node);
                if (status != Status::Success)
                    return Fail(QStringLiteral("\"%1\" cannot be deleted now.").arg(name), status);
            }
        }
        return Status::Success;
    }
};

// parent CHILD NEWPARENT, or parent -world CHILD: keeps the child's local channels.
class ParentCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        const QStringList names = parsed.PositionalStrings();
        const bool toWorld = parsed.IsFlagSet(QStringLiteral("world"));
        if (names.size() != (toWorld ? 1 : 2))
            return Fail(toWorld ? QStringLiteral("-world takes one node.")
                                : QStringLiteral("takes a child and a new parent."));
        Node* child = RequireNode(names.at(0));
        Node* parent = toWorld ? nullptr : RequireNode(names.at(1));
        if (!child || (!toWorld && !parent))
            return Status::NotFound;
        QString error;
        const Status status = GetScene().Reparent(child, parent, &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

// select [-replace | -add | -deselect | -clear] [NODE...]
class SelectCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        Selection& selection = GetScene().GetSelection();
        if (parsed.IsFlagSet(QStringLiteral("clear"))) {
            if (!parsed.Positional().isEmpty())
                return Fail(QStringLiteral("-clear takes no nodes."));
            selection.Clear();
            return Status::Success;
        }
        std::vector<Node*> nodes;
        for (const QString& name : parsed.PositionalStrings()) {
            Node* node = RequireNode(name);
            if (!node)
                return Status::NotFound;
            nodes.push_back(node);
        }
        if (parsed.IsFlagSet(QStringLiteral("add")))
            selection.Add(nodes);
        else if (parsed.IsFlagSet(QStringLiteral("deselect")))
            selection.Remove(nodes);
        else
            selection.Replace(nodes);
        return Status::Success;
    }
};

// ls [-selection] [-type T] [-transforms] [-long] [NODE...]: names as a string array.
class ListCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        std::vector<Node*> nodes;
        if (parsed.IsFlagSet(QStringLiteral("selection"))) {
            nodes = GetScene().GetSelection().Items();
        } else if (!parsed.Positional().isEmpty()) {
            for (const QString& name : parsed.PositionalStrings()) {
                if (Node* node = GetScene().Find(name))
                    nodes.push_back(node);
            }
        } else {
            nodes = GetScene().Nodes();
        }
        QString typeName;
        parsed.GetFlagArgument(QStringLiteral("type"), 0, typeName);
        NodeType type = NodeType::Transform;
        if (!typeName.isEmpty() && !ParseNodeType(typeName, &type))
            return Fail(QStringLiteral("Unknown node type \"%1\" (transform, joint or character).")
                            .arg(typeName),
                        Status::UnknownParameter);
        const bool transformsOnly = parsed.IsFlagSet(QStringLiteral("transforms"));
        const bool longNames = parsed.IsFlagSet(QStringLiteral("long"));
        QStringList names;
        for (const Node* node : nodes) {
            if (transformsOnly && !node->IsTransform())
                continue;
            // Joints are transforms: -type "transform" lists them too.
            if (!typeName.isEmpty() &&
                !(type == NodeType::Transform ? node->IsTransform() : node->Type() == type))
                continue;
            names.append(longNames ? node->FullPath() : node->Name());
        }
        SetResult(names);
        return Status::Success;
    }
};

} // namespace

void RegisterNodeCommands(Host& host)
{
    RegisterBuiltin<CreateNodeCommand>(host, QStringLiteral("createNode"), [] {
        Syntax syntax;
        syntax.AddFlag(QStringLiteral("-n"), QStringLiteral("-name"), ArgumentType::String);
        syntax.AddFlag(QStringLiteral("-p"), QStringLiteral("-parent"), ArgumentType::String);
        syntax.SetPositionalArguments(ArgumentType::String, 1, 1);
        return syntax;
    });
    RegisterBuiltin<RenameCommand>(host, QStringLiteral("rename"), [] {
        Syntax syntax;
        syntax.SetPositionalArguments(ArgumentType::String, 2, 2);
        return syntax;
    });
    RegisterBuiltin<DeleteCommand>(host, QStringLiteral("delete"), [] {
        Syntax syntax;
        syntax.SetPositionalArguments(ArgumentType::String, 0, -1);
        return syntax;
    });
    RegisterBuiltin<ParentCommand>(host, QStringLiteral("parent"), [] {
        Syntax syntax;
        syntax.AddFlag(QStringLiteral("-w"), QStringLiteral("-world"));
        syntax.SetPositionalArguments(ArgumentType::String, 1, 2);
        return syntax;
    });
    RegisterBuiltin<SelectCommand>(host, QStringLiteral("select"), [] {
        Syntax syntax;
        syntax.AddFlag(QStringLiteral("-r"), QStringLiteral("-replace"));
        syntax.AddFlag(QStringLiteral("-af"), QStringLiteral("-add"));
        syntax.AddFlag(QStringLiteral("-d"), QStringLiteral("-deselect"));
        syntax.AddFlag(QStringLiteral("-cl"), QStringLiteral("-clear"));
        syntax.SetPositionalArguments(ArgumentType::String, 0, -1);
        return syntax;
    });
    RegisterBuiltin<ListCommand>(host, QStringLiteral("ls"), [] {
        Syntax syntax;
        syntax.AddFlag(QStringLiteral("-sl"), QStringLiteral("-selection"));
        syntax.AddFlag(QStringLiteral("-typ"), QStringLiteral("-type"), ArgumentType::String);
        syntax.AddFlag(QStringLiteral("-tr"), QStringLiteral("-transforms"));
        syntax.AddFlag(QStringLiteral("-l"), QStringLiteral("-long"));
        syntax.SetPositionalArguments(ArgumentType::String, 0, -1);
        return syntax;
    });
}

} // namespace kestrel
