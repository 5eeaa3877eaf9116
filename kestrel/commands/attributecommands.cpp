// setAttr, getAttr, addAttr, deleteAttr, connectAttr, disconnectAttr and listConnections.
#include "commands/builtincommand.h"
#include "commands/builtincommands.h"
#include "scene/scene.h"
#include "scene/scenenumbers.h"
#include "scene/transformchannels.h"
#include "script/parsedarguments.h"

namespace kestrel {

namespace {

// setAttr "node.attr" VALUE: a dynamic attribute or a transform channel.
class SetAttrCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        if (arguments.Count() != 2 || arguments.At(0).isFlag || arguments.At(1).isFlag ||
            arguments.At(0).value.Type() != ValueType::String)
            return Fail(QStringLiteral("takes \"node.attribute\" and a value."));
        Node* node = nullptr;
        QString attribute;
        if (!SplitPlug(arguments.At(0).value.ToString(), &node, &attribute))
            return Status::NotFound;
        const Value& value = arguments.At(1).value;
        QString error;
        if (TransformChannels::IsChannel(*node, attribute)) {
            TransformValues values = node->Transform();
            if (!TransformChannels::Write(*node, attribute, value, &values, &error) ||
                !SetCheckedTransform(GetScene(), node, values, &error))
                return Fail(error);
            return Status::Success;
        }
        const RefusedNumber refused = FindRefusedNumber(attribute, value);
        if (refused.IsRefused())
            return Fail(QStringLiteral("Node \"%1\": %2.").arg(node->Name(), refused.Text()));
        const Status status = GetScene().SetAttribute(node, attribute, value, &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

// getAttr "node.attr": the attribute's or channel's value.
class GetAttrCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        Node* node = nullptr;
        QString attribute;
        if (!SplitPlug(ParsedArguments(arguments).PositionalStrings().first(), &node, &attribute))
            return Status::NotFound;
        if (TransformChannels::IsChannel(*node, attribute)) {
            SetResult(TransformChannels::Read(*node, attribute));
            return Status::Success;
        }
        const Attribute* found = node->FindAttribute(attribute);
        if (!found)
            return Fail(
                QStringLiteral("\"%1\" has no attribute \"%2\".").arg(node->Name(), attribute),
                Status::NotFound);
        if (found->type == AttributeType::Message)
            return Fail(QStringLiteral("%1.%2 is a message attribute and holds no value.")
                            .arg(node->Name(), attribute));
        SetResult(found->value);
        return Status::Success;
    }
};

// addAttr "node.attr" [-attributeType T]: T is bool, int, double (default), string or message.
class AddAttrCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        QString typeName = QStringLiteral("double");
        parsed.GetFlagArgument(QStringLiteral("attributeType"), 0, typeName);
        AttributeType type;
        if (!ParseAttributeType(typeName, &type))
            return Fail(QStringLiteral("Unknown attribute type \"%1\".").arg(typeName),
                        Status::UnknownParameter);
        Node* node = nullptr;
        QString attribute;
        if (!SplitPlug(parsed.PositionalStrings().first(), &node, &attribute))
            return Status::NotFound;
        if (TransformChannels::IsChannel(*node, attribute))
            return Fail(QStringLiteral("\"%1\" is a transform channel.").arg(attribute),
                        Status::AlreadyExists);
        QString error;
        const Status status = GetScene().AddAttribute(node, attribute, type, &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

class DeleteAttrCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        Node* node = nullptr;
        QString attribute;
        if (!SplitPlug(ParsedArguments(arguments).PositionalStrings().first(), &node, &attribute))
            return Status::NotFound;
        QString error;
        const Status status = GetScene().RemoveAttribute(node, attribute, &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

// connectAttr / disconnectAttr "from.attr" "to.attr"
class ConnectAttrCommand : public JournaledCommand
{
public:
    ConnectAttrCommand(Host& host, const QString& name)
        : JournaledCommand(host, name)
        , m_connect(name == QLatin1String("connectAttr"))
    {}

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        const QStringList plugs = ParsedArguments(arguments).PositionalStrings();
        Node* from = nullptr;
        Node* to = nullptr;
        QString fromAttribute;
        QString toAttribute;
        if (!SplitPlug(plugs.at(0), &from, &fromAttribute) ||
            !SplitPlug(plugs.at(1), &to, &toAttribute))
            return Status::NotFound;
        QString error;
        const Status status =
            m_connect ? GetScene().Connect(from, fromAttribute, to, toAttribute, &error)
                      : GetScene().Disconnect(from, fromAttribute, to, toAttribute, &error);
        return status == Status::Success ? status : Fail(error, status);
    }

private:
    bool m_connect;
};

// listConnections "node.attr" | "node" [-source] [-destination]: the other ends as
// "node.attr", incoming first; both directions unless one is asked for.
class ListConnectionsCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        const QString target = parsed.PositionalStrings().first();
        Node* node = GetScene().Find(target);
        QString attribute;
        if (!node && !SplitPlug(target, &node, &attribute))
            return Status::NotFound;
        const bool sources = parsed.IsFlagSet(QStringLiteral("source"));
        const bool destinations = parsed.IsFlagSet(QStringLiteral("destination"));
        QStringList ends;
        if (sources || !destinations) {
            for (const Connection& c : GetScene().ConnectionsTo(node, attribute))
                ends.append(c.fromNode->Name() + QLatin1Char('.') + c.fromAttribute);
        }
        if (destinations || !sources) {
            for (const Connection& c : GetScene().ConnectionsFrom(node, attribute))
                ends.append(c.toNode->Name() + QLatin1Char('.') + c.toAttribute);
        }
        SetResult(ends);
        return Status::Success;
    }
};

Syntax Plugs(int count)
{
    Syntax syntax;
    syntax.SetPositionalArguments(ArgumentType::String, count, count);
    return syntax;
}

} // namespace

void RegisterAttributeCommands(Host& host)
{
    RegisterBuiltin<SetAttrCommand>(host, QStringLiteral("setAttr"));
    RegisterBuiltin<GetAttrCommand>(host, QStringLiteral("getAttr"), [] { return Plugs(1); });
    RegisterBuiltin<AddAttrCommand>(host, QStringLiteral("addAttr"), [] {
        Syntax syntax = Plugs(1);
        syntax.AddFlag(QStringLiteral("-at"), QStringLiteral("-attributeType"),
                       ArgumentType::String);
        return syntax;
    });
    RegisterBuiltin<DeleteAttrCommand>(host, QStringLiteral("deleteAttr"), [] { return Plugs(1); });
    RegisterBuiltin<ConnectAttrCommand>(host, QStringLiteral("connectAttr"),
                                        [] { return Plugs(2); });
    RegisterBuiltin<ConnectAttrCommand>(host, QStringLiteral("disconnectAttr"),
                                        [] { return Plugs(2); });
    RegisterBuiltin<ListConnectionsCommand>(host, QStringLiteral("listConnections"), [] {
        Syntax syntax = Plugs(1);
        syntax.AddFlag(QStringLiteral("-s"), QStringLiteral("-source"));
        syntax.AddFlag(QStringLiteral("-d"), QStringLiteral("-destination"));
        return syntax;
    });
}

} // namespace kestrel
