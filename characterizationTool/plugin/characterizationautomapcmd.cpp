#include "characterizationautomapcmd.h"

#include "automapper.h"
#include "charactertool.h"
#include "host/kestrel/characterizationtoolwrapper.h"
#include "model/characterizationmodel.h"
#include "pluginstate.h"
#include "script/parsedarguments.h"
#include "skeleton.h"

#include "host.h"

#include <QSet>
#include <QStringList>

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
    syntax.AddFlag("-rw", "-rows", kestrel::ArgumentType::String);
    syntax.AddFlag("-rs", "-reasons", QVector<kestrel::ArgumentType>{});
    syntax.AddFlag("-rv", "-review", QVector<kestrel::ArgumentType>{});
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
    CharacterizationModel* model = PluginState::LiveModel(&hub);
    if (!model)
        return Fail(QStringLiteral("no characterization tool is open."));
    if (parsed.IsFlagSet("review")) {
        if (!parsed.IsEdit())
            return Fail(QStringLiteral("-review goes with -e."));
        // The person decides in the panel's review dialog; its apply is an undo step of its own.
        hub->AutoCharacterize();
        return kestrel::Status::Success;
    }
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
    QStringList names;
    for (const SkeletonJoint& joint : skeleton.joints)
        names.append(joint.name);
    if (parsed.IsFlagSet("rows")) {
        if (!parsed.IsEdit())
            return Fail(QStringLiteral("-rows goes with -e -character NAME."));
        QString rows;
        parsed.GetFlagArgument("rows", 0, rows);
        QVector<AutoMapChange::Binding> bindings;
        if (!ParseRows(rows, names, bindings, error))
            return Fail(error);
        return Apply(*hub, *model, bindings);
    }
    if (parsed.IsFlagSet("reasons") && !parsed.IsQuery())
        return Fail(QStringLiteral("-reasons goes with -q."));
    const AutoMapProposal proposal = AutoMapper::Propose(skeleton);
    if (!proposal.IsBiped())
        return Fail(QStringLiteral("not a biped: %1.").arg(proposal.refusal));

    if (parsed.IsQuery() && parsed.IsFlagSet("reasons")) {
        SetResult(kestrel::Value(proposal.ReasonLines(names)));
        return kestrel::Status::Success;
    }
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

    return Apply(*hub, *model, AutoMapChange::TickedRows(proposal, names));
}

// "NODEID JOINT" rows joined by ';', each node a slot id and each joint one of `names`, no
// slot or joint twice; false with the first problem found.
bool CharacterizationAutoMapCmd::ParseRows(const QString& text, const QStringList& names,
                                           QVector<AutoMapChange::Binding>& bindings,
                                           QString& error)
{
    QSet<int> nodes;
    QSet<QString> joints;
    for (const QString& row : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList parts = row.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool isNumber = false;
        const int node = parts.isEmpty() ? -1 : parts[0].toInt(&isNumber);
        if (parts.size() != 2 || !isNumber) {
            error = QStringLiteral("-rows takes \"NODEID JOINT\" rows separated by ';', not "
                                   "\"%1\".")
                        .arg(row.trimmed());
            return false;
        }
        if (node < 0 || node >= NodeCount || nodes.contains(node)) {
            error = QStringLiteral("-rows: node id %1 is out of range or given twice.").arg(node);
            return false;
        }
        if (!names.contains(parts[1]) || joints.contains(parts[1])) {
            error = QStringLiteral("-rows: \"%1\" is no joint of the skeleton or is given "
                                   "twice.")
                        .arg(parts[1]);
            return false;
        }
        nodes.insert(node);
        joints.insert(parts[1]);
        bindings.append({node, parts[1]});
    }
    return true;
}

// The current characterization only changes once everything else has passed.
kestrel::Status CharacterizationAutoMapCmd::Apply(CharacterizationToolWrapper& hub,
                                                  CharacterizationModel& model,
                                                  const QVector<AutoMapChange::Binding>& bindings)
{
    const QString previous = hub.GetCurrentCharacterName();
    hub.SetCurrentCharacter(m_character);
    if (model.IsLocked()) {
        if (!previous.isEmpty())
            hub.SetCurrentCharacter(previous);
        return Fail(QStringLiteral("\"%1\" is locked; unlock it first.").arg(m_character));
    }
    m_change = std::make_unique<AutoMapChange>(bindings);
    SetResult(kestrel::Value(m_change->Apply(model)));
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
    if (!PluginState::LiveModel(&hub) || !m_change)
        return kestrel::Status::Failure;
    for (const AutoMapChange::Binding& binding : bindings)
        if (!hub->AssignNode(m_character, binding.node, binding.joint, false))
            return kestrel::Status::Failure;
    hub->GetStatus(true);
    return kestrel::Status::Success;
}
