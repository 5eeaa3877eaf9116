#include "characterizationautomapcmd.h"

#include "automapper.h"
#include "charactertool.h"
#include "host/characterizationtoolwrapper.h"
#include "model/characterizationmodel.h"
#include "pluginstate.h"
#include "script/parsedarguments.h"
#include "skeleton.h"

#include "host.h"

#include <QStringList>

namespace {

// The model of the live tool, or null.
CharacterizationModel* LiveModel(CharacterizationToolWrapper** hubOut)
{
    PluginState* state = PluginState::Instance();
    CharacterizationToolWrapper* hub = state ? state->LiveHub() : nullptr;
    if (hubOut)
        *hubOut = hub;
    return hub && hub->AttachedTool() ? hub->AttachedTool()->Model() : nullptr;
}

} // namespace

const QString& CharacterizationAutoMapCmd::CommandName()
{
    static const QString name = QStringLiteral("characterizationAutoMap");
    return name;
}

kestrel::Syntax CharacterizationAutoMapCmd::BuildSyntax()
{
    kestrel::Syntax syntax;
    syntax.AddFlag("-ch", "-character", kestrel::ArgumentType::String);
    syntax.AddFlag("-r", "-root", kestrel::ArgumentType::String);
    syntax.EnableEdit();
    syntax.EnableQuery();
    return syntax;
}

kestrel::Status CharacterizationAutoMapCmd::Fail(const QString& message)
{
    if (PluginState* state = PluginState::Instance())
        state->Host().DisplayError(QStringLiteral("%1: %2").arg(CommandName(), message));
    return kestrel::Status::Failure;
}

kestrel::Status CharacterizationAutoMapCmd::Run(const kestrel::ArgumentList& arguments)
{
    const kestrel::ParsedArguments parsed(arguments);
    if (parsed.ParseStatus() != kestrel::Status::Success)
        return parsed.ParseStatus();
    if (!parsed.IsQuery() && !parsed.IsEdit())
        return Fail(QStringLiteral("use -q to ask for the proposal or -e -character NAME to "
                                   "apply it."));
    CharacterizationToolWrapper* hub = nullptr;
    CharacterizationModel* model = LiveModel(&hub);
    if (!model)
        return Fail(QStringLiteral("no characterization tool is open."));
    QString root;
    if (parsed.IsFlagSet("root") &&
        (parsed.GetFlagArgument("root", 0, root) != kestrel::Status::Success || root.isEmpty()))
        return Fail(QStringLiteral("-root takes the name of a joint."));
    if (parsed.IsEdit()) {
        if (!parsed.IsFlagSet("character") ||
            parsed.GetFlagArgument("character", 0, m_character) != kestrel::Status::Success ||
            m_character.isEmpty())
            return Fail(QStringLiteral("-e needs -character NAME."));
        // The placeholders stand for "no character" and never reach the host.
        if (m_character.startsWith(IDCCHub::GetNoneName()))
            return Fail(QStringLiteral("\"%1\" is no character; name a characterization.")
                            .arg(m_character));
        if (!hub->HasCharacter(m_character))
            return Fail(
                QStringLiteral("there is no characterization named \"%1\".").arg(m_character));
    }

    Skeleton skeleton;
    QString error;
    if (!Skeleton::FromHub(*hub, root, skeleton, &error))
        return Fail(error);
    const AutoMapProposal proposal = AutoMapper::Propose(skeleton);
    if (!proposal.IsBiped())
        return Fail(QStringLiteral("not a biped: %1.").arg(proposal.refusal));
    QStringList names;
    for (const SkeletonJoint& joint : skeleton.joints)
        names.append(joint.name);

    if (parsed.IsQuery()) {
        QStringList answer;
        for (const AutoMapSlot& slot : proposal.entries)
            answer.append(QStringLiteral("%1 %2 %3")
                              .arg(slot.node)
                              .arg(names[slot.joint])
                              .arg(slot.confidence, 0, 'f', 2));
        SetResult(kestrel::Value(answer));
        return kestrel::Status::Success;
    }

    // Checked after the proposal so a refused skeleton reports that first; the current
    // characterization only changes once everything else has passed.
    const QString previous = hub->GetCurrentCharacterName();
    hub->SetCurrentCharacter(m_character);
    if (model->IsLocked()) {
        if (!previous.isEmpty())
            hub->SetCurrentCharacter(previous);
        return Fail(QStringLiteral("\"%1\" is locked; unlock it first.").arg(m_character));
    }
    m_change = std::make_unique<AutoMapChange>(AutoMapChange::TickedRows(proposal, names));
    SetResult(kestrel::Value(m_change->Apply(*model)));
    return kestrel::Status::Success;
}

// The host replays its own side (the character node connections the bindings made) as part
// of the same undo step; these only bring the tool's record along, sending nothing back.
kestrel::Status CharacterizationAutoMapCmd::Undo()
{
    return Record(m_change->Before());
}

kestrel::Status CharacterizationAutoMapCmd::Redo()
{
    return Record(m_change->After());
}

kestrel::Status CharacterizationAutoMapCmd::Record(const QVector<AutoMapChange::Binding>& bindings)
{
    CharacterizationToolWrapper* hub = nullptr;
    if (!LiveModel(&hub) || !m_change)
        return kestrel::Status::Failure;
    for (const AutoMapChange::Binding& binding : bindings)
        if (!hub->AssignNode(m_character, binding.node, binding.joint, false))
            return kestrel::Status::Failure;
    hub->GetStatus(true);
    return kestrel::Status::Success;
}
