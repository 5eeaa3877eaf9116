// The host procedures for character nodes, called by text in the call form.
#include "commands/builtincommand.h"
#include "commands/builtincommands.h"
#include "commands/characterizationsync.h"
#include "host.h"
#include "scene/characternodes.h"
#include "scene/node.h"
#include "script/scriptinterpreter.h"

namespace kestrel {

namespace {

// While the host tells the tool the scene's characterizations, whatever the tool sends back
// either repeats the scene or would undo it: the scene stays as it is.
bool IsSyncEcho(Host& host)
{
    return host.GetCharacterizationSync().IsRunning();
}

// setCharacterObject("obj","char",nodeId,flag);
class SetCharacterObjectProcedure : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        QVector<Value> values;
        if (!ReadArguments(
                arguments,
                {ArgumentType::String, ArgumentType::String, ArgumentType::Int, ArgumentType::Bool},
                &values))
            return Status::InvalidParameter;
        if (IsSyncEcho(GetHost()))
            return Status::Success;
        QString error;
        const Status status = GetHost().GetCharacterNodes().SetCharacterObject(
            values[0].ToString(), values[1].ToString(), values[2].ToInt(), &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

// deleteCharacter( "char" );
class DeleteCharacterProcedure : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        QVector<Value> values;
        if (!ReadArguments(arguments, {ArgumentType::String}, &values))
            return Status::InvalidParameter;
        if (IsSyncEcho(GetHost()))
            return Status::Success;
        QString error;
        const Status status =
            GetHost().GetCharacterNodes().DeleteCharacter(values[0].ToString(), &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

// characterizationInvertBone( nodeId, 0|1 );
class InvertBoneProcedure : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        QVector<Value> values;
        if (!ReadArguments(arguments, {ArgumentType::Int, ArgumentType::Bool}, &values))
            return Status::InvalidParameter;
        if (IsSyncEcho(GetHost()))
            return Status::Success;
        QString error;
        const Status status =
            GetHost().GetCharacterNodes().InvertBone(values[0].ToInt(), values[1].ToBool(), &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

// CreateCharacterFromCurrentCharacter(): answers the new character node's name.
class CreateCharacterProcedure : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        QVector<Value> values;
        if (!ReadArguments(arguments, {}, &values))
            return Status::InvalidParameter;
        QString error;
        Node* node = GetHost().GetCharacterNodes().CreateFromCurrent(&error);
        if (!node)
            return Fail(error, Status::Failure);
        SetResult(node->Name());
        return Status::Success;
    }
};

// kntUpdateCharacterControlsUICallback: refreshes the host's character controls (the
// desktop's tool bar and Character menu; nothing in a batch run).
class UpdateCharacterControlsProcedure : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        QVector<Value> values;
        if (!ReadArguments(arguments, {}, &values))
            return Status::InvalidParameter;
        GetHost().GetCharacterNodes().RefreshControls();
        // The tool calls this after changes it makes on its own (a lock, a switch of its
        // current characterization): the scene follows once the change is complete.
        GetHost().GetInterpreter().RequestSettle();
        return Status::Success;
    }
};

// lockCharacter("char", 0|1);
class LockCharacterProcedure : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        QVector<Value> values;
        if (!ReadArguments(arguments, {ArgumentType::String, ArgumentType::Bool}, &values))
            return Status::InvalidParameter;
        if (IsSyncEcho(GetHost()))
            return Status::Success;
        QString error;
        const Status status =
            GetHost().GetCharacterNodes().Lock(values[0].ToString(), values[1].ToBool(), &error);
        return status == Status::Success ? status : Fail(error, status);
    }
};

// kntSyncCharacterizationsFromScene: tells the open characterization tool what the scene's
// character nodes hold (CharacterizationSync); nothing without the tool's panel.
class SyncCharacterizationsProcedure : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        QVector<Value> values;
        if (!ReadArguments(arguments, {}, &values))
            return Status::InvalidParameter;
        GetHost().GetCharacterizationSync().Run();
        return Status::Success;
    }
};

} // namespace

void RegisterCharacterProcedures(Host& host)
{
    RegisterBuiltin<SetCharacterObjectProcedure>(host, QStringLiteral("setCharacterObject"));
    RegisterBuiltin<DeleteCharacterProcedure>(host, QStringLiteral("deleteCharacter"));
    RegisterBuiltin<InvertBoneProcedure>(host, QStringLiteral("characterizationInvertBone"));
    RegisterBuiltin<CreateCharacterProcedure>(
        host, QStringLiteral("CreateCharacterFromCurrentCharacter"));
    RegisterBuiltin<UpdateCharacterControlsProcedure>(
        host, QStringLiteral("kntUpdateCharacterControlsUICallback"));
    RegisterBuiltin<LockCharacterProcedure>(host, QStringLiteral("lockCharacter"));
    RegisterBuiltin<SyncCharacterizationsProcedure>(
        host, QStringLiteral("kntSyncCharacterizationsFromScene"));
}

} // namespace kestrel
