#include "characterizationtooluicmd.h"

#include "host/kestrel/characterizationtoolwrapper.h"
#include "model/nodecatalogue.h"
#include "pluginstate.h"

#include "host.h"
#include "scene/nodename.h"
#include "script/parsedarguments.h"
#include "ui/panelregistry.h"
#include "ui/uilayouts.h"

#include <QRegularExpression>

namespace {

using kestrel::ArgumentType;
using kestrel::Status;

CharacterizationToolWrapper* LiveHub()
{
    PluginState* state = PluginState::Instance();
    return state ? state->LiveHub() : nullptr;
}

QString StringArgument(const kestrel::ParsedArguments& parsed, const char* flag)
{
    QString value;
    parsed.GetFlagArgument(QLatin1String(flag), 0, value);
    return value;
}

// The tool's own names for "no character": the placeholder, alone or numbered. They never
// become host nodes.
bool IsPlaceholderName(const QString& name)
{
    const QString none = IDCCHub::GetNoneName();
    if (name == none)
        return true;
    static const QRegularExpression numbered(QStringLiteral("^ \\(([1-9][0-9]*)\\)$"));
    return name.startsWith(none) && numbered.match(name.mid(none.size())).hasMatch();
}

// A characterization that reaches the host becomes a host character node, so its name must
// be one the host accepts for a node.
bool IsCharacterName(const QString& name)
{
    return kestrel::IsValidNodeName(name) || IsPlaceholderName(name);
}

// Shows the error for a refused character name; false for the caller to return.
bool RefuseCharacterName(const QString& name)
{
    if (PluginState* state = PluginState::Instance())
        state->Host().DisplayError(
            QStringLiteral("%1: %2 is not a valid character name: use letters, digits, '_' and "
                           "':' (and not \"world\").")
                .arg(PluginState::CommandName(), CharacterizationToolWrapper::ScriptString(name)));
    return false;
}

} // namespace

kestrel::Syntax CharacterizationToolUICmd::BuildSyntax()
{
    kestrel::Syntax syntax;
    const QVector<ArgumentType> none;
    syntax.AddFlag("-cl", "-characterlist", ArgumentType::String);
    syntax.AddFlag("-mm", "-mirrormatch", none);
    syntax.AddFlag("-cm", "-configuremirrormatch", none);
    syntax.AddFlag("-mb", "-mapbones", none);
    syntax.AddFlag("-em", "-extractmapping", none);
    syntax.AddFlag("-dc", "-deletecurrentchar", none);
    syntax.AddFlag("-da", "-deleteallchar", none);
    syntax.AddFlag("-cn", "-currentcharname", none);
    syntax.AddFlag("-sc", "-setcurrentcharname", ArgumentType::String);
    syntax.AddFlag("-vc", "-validcharname", ArgumentType::String);
    syntax.AddFlag("-ca", "-characternodeassign", ArgumentType::String);
    syntax.AddFlag("-ni", "-nodeid", ArgumentType::Int);
    syntax.AddFlag("-mn", "-kestrelnodename", ArgumentType::String);
    syntax.AddFlag("-lc", "-locktoggle", none);
    syntax.AddFlag("-im", "-islocked", none);
    syntax.AddFlag("-il", "-ismirrortoggle", none);
    syntax.AddFlag("-nn", "-nonename", none);
    syntax.AddFlag("-fup", "-forceUpdate", none);
    syntax.AddFlag("-cs", "-curcharstatus", none);
    syntax.AddFlag("-ch", "-character", ArgumentType::String);
    syntax.AddFlag("-ib", "-invertbone", ArgumentType::Int);
    syntax.AddFlag("-is", "-invertstate", ArgumentType::Bool);
    syntax.AddFlag("-dt", "-deleteTool", none);
    syntax.AddFlag("-sv", "-saveCharacterization", none);
    syntax.EnableEdit();
    syntax.EnableQuery();
    return syntax;
}

Status CharacterizationToolUICmd::Run(const kestrel::ArgumentList& arguments)
{
    const kestrel::ParsedArguments parsed(arguments);
    if (parsed.ParseStatus() != Status::Success)
        return parsed.ParseStatus();
    bool anyFlag = false;
    for (const kestrel::Argument& argument : arguments.Items())
        anyFlag = anyFlag || argument.isFlag;
    if (!anyFlag)
        return OpenPanel();

    Status status = Status::Success;
    if (parsed.IsEdit()) {
        if (!CheckArguments(parsed))
            return Status::InvalidParameter;
        status = RunEditFlags(parsed);
    }
    if (parsed.IsQuery())
        AnswerQueries(parsed);
    return status;
}

Status CharacterizationToolUICmd::OpenPanel()
{
    PluginState* state = PluginState::Instance();
    if (!state)
        return Status::Failure;
    if (state->LiveHub())
        return Status::Success;
    kestrel::UiLayouts& layouts = state->Host().GetLayouts();
    QWidget* parent = layouts.CurrentParent();
    // Made through the host's panel registry, as "showPanel" would: the host then knows the
    // panel is open and tells it the characterizations of the scene's character nodes.
    Status created = Status::Success;
    QWidget* panel =
        state->Host().GetPanels().Create(PluginState::PanelTypeName(), parent, QString(), &created);
    if (panel) {
        // The tool sits in the host layout it was built in; the current parent takes it only
        // when it is in none.
        QWidget* holder = layouts.HoldingLayout(panel);
        QString error;
        SetResult(kestrel::Value(layouts.AddWidget(panel, holder ? holder : parent,
                                                   PluginState::PanelTypeName(), &error)));
    } else {
        SetResult(kestrel::Value(QString()));
    }
    if (!state->LiveHub()) {
        state->ShowError(PluginState::kWidgetCreateStringError);
        return Status::Failure;
    }
    return Status::Success;
}

// Names, ids and indexes from scripts are checked before anything runs, so that a bad one
// changes nothing at all.
bool CharacterizationToolUICmd::CheckArguments(const kestrel::ParsedArguments& parsed) const
{
    PluginState* state = PluginState::Instance();
    if (parsed.IsFlagSet("characterlist")) {
        // Empty parts are skipped when the list is applied.
        const QStringList names =
            StringArgument(parsed, "characterlist").split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& name : names) {
            if (!IsCharacterName(name))
                return RefuseCharacterName(name);
        }
    }
    if (parsed.IsFlagSet("setcurrentcharname")) {
        const QString name = StringArgument(parsed, "setcurrentcharname");
        if (!IsCharacterName(name))
            return RefuseCharacterName(name);
    }
    int nodeId = 0;
    if (parsed.IsFlagSet("characternodeassign") && parsed.IsFlagSet("kestrelnodename") &&
        parsed.GetFlagArgument("nodeid", 0, nodeId) == Status::Success && !IsNodeId(nodeId)) {
        if (state)
            state->Host().DisplayError(QStringLiteral("%1: node id %2 is outside 0..%3.")
                                           .arg(PluginState::CommandName())
                                           .arg(nodeId)
                                           .arg(NodeCount - 1));
        return false;
    }
    int index = 0;
    if (parsed.IsFlagSet("invertbone") &&
        parsed.GetFlagArgument("invertbone", 0, index) == Status::Success &&
        (index < 0 || index > 3)) {
        if (state)
            state->Host().DisplayError(QStringLiteral("%1: inversion index %2 is outside 0..3.")
                                           .arg(PluginState::CommandName())
                                           .arg(index));
        return false;
    }
    return true;
}

Status CharacterizationToolUICmd::RunEditFlags(const kestrel::ParsedArguments& parsed)
{
    m_nodeId = -1;
    m_characterList.clear();
    m_characterName.clear();
    m_hostNodeName.clear();
    m_pendingAction = NoAction;
    m_forceUpdate = false;

    Status status = Status::Success;
    auto perform = [&](int action) {
        m_pendingAction = action;
        status = Redo();
    };
    if (parsed.IsFlagSet("characterlist")) {
        m_characterList = StringArgument(parsed, "characterlist");
        perform(SetCharacterList);
    }
    if (parsed.IsFlagSet("mirrormatch")) {
        m_mirrorUndo = true;
        perform(ToggleMirror);
    }
    if (parsed.IsFlagSet("configuremirrormatch"))
        perform(ConfigureMirror);
    if (parsed.IsFlagSet("mapbones"))
        perform(MapBones);
    if (parsed.IsFlagSet("extractmapping"))
        perform(ExtractMapping);
    if (parsed.IsFlagSet("deletecurrentchar"))
        perform(DeleteCurrent);
    if (parsed.IsFlagSet("deleteallchar"))
        perform(DeleteAll);
    if (parsed.IsFlagSet("characternodeassign") && parsed.IsFlagSet("nodeid") &&
        parsed.IsFlagSet("kestrelnodename")) {
        m_characterName = StringArgument(parsed, "characternodeassign");
        parsed.GetFlagArgument("nodeid", 0, m_nodeId);
        m_hostNodeName = StringArgument(parsed, "kestrelnodename");
        perform(AssignNode);
    }
    if (parsed.IsFlagSet("setcurrentcharname")) {
        m_characterName = StringArgument(parsed, "setcurrentcharname");
        perform(SetCurrentName);
    }
    if (parsed.IsFlagSet("locktoggle"))
        perform(ToggleLock);
    if (parsed.IsFlagSet("forceUpdate")) {
        m_forceUpdate = true;
        status = Redo();
    }
    if (parsed.IsFlagSet("invertbone")) {
        m_characterName = StringArgument(parsed, "character");
        parsed.GetFlagArgument("invertbone", 0, m_inversionIndex);
        parsed.GetFlagArgument("invertstate", 0, m_inversionState);
        perform(InvertBone);
    }
    if (parsed.IsFlagSet("saveCharacterization"))
        perform(SaveCharacterization);
    if (parsed.IsFlagSet("deleteTool"))
        perform(DeleteTool);
    return status;
}

void CharacterizationToolUICmd::AnswerQueries(const kestrel::ParsedArguments& parsed)
{
    CharacterizationToolWrapper* hub = LiveHub();
    if (parsed.IsFlagSet("currentcharname"))
        SetResult(kestrel::Value(hub ? hub->GetCurrentCharacterName() : QString()));
    if (parsed.IsFlagSet("validcharname")) {
        // The query names the character itself: "-q -vc NAME".
        const QString name = parsed.FlagArgumentCount("validcharname") > 0
                                 ? StringArgument(parsed, "validcharname")
                                 : m_characterName;
        SetResult(kestrel::Value(hub && hub->HasCharacter(name)));
    }
    if (parsed.IsFlagSet("islocked"))
        SetResult(kestrel::Value(hub && hub->IsLocked()));
    if (parsed.IsFlagSet("ismirrortoggle"))
        SetResult(kestrel::Value(hub && hub->GetMirrorToggle()));
    if (parsed.IsFlagSet("curcharstatus"))
        SetResult(kestrel::Value(hub ? hub->GetStatus(true) : 0));
    if (parsed.IsFlagSet("characterlist")) {
        QStringList names;
        if (hub)
            hub->GetCharacterList(names);
        SetResult(kestrel::Value(names));
    }
    if (parsed.IsFlagSet("nonename"))
        SetResult(kestrel::Value(hub ? IDCCHub::GetNoneName() : QString()));
}

Status CharacterizationToolUICmd::Redo()
{
    return LiveHub() ? PerformAction() : Status::Success;
}

Status CharacterizationToolUICmd::PerformAction()
{
    CharacterizationToolWrapper* hub = LiveHub();
    switch (m_pendingAction) {
    case SetCharacterList:
        hub->SetCharacterList(m_characterList.isEmpty()
                                  ? QStringList()
                                  : m_characterList.split(QLatin1Char(';'), Qt::KeepEmptyParts));
        break;
    case ToggleMirror:
        hub->ToggleMirrorMatch();
        break;
    case ConfigureMirror:
        hub->ConfigureMirrorMatch();
        break;
    case MapBones:
        hub->MapBones();
        break;
    case ExtractMapping:
        hub->ExtractMapping();
        break;
    case DeleteCurrent:
        hub->DeleteCurrentCharacter();
        break;
    case DeleteAll:
        hub->DeleteAllCharacters(true);
        break;
    case AssignNode:
        hub->AssignNode(m_characterName, m_nodeId, m_hostNodeName, m_forceUpdate);
        break;
    case ToggleLock:
        hub->ToggleLock(true);
        break;
    case SetCurrentName:
        hub->SetCurrentCharacter(m_characterName);
        break;
    case InvertBone:
        if (m_inversionIndex < 0 || m_inversionIndex > 3)
            return Status::InvalidParameter;
        if (!hub->SetInversionState(m_characterName, m_inversionIndex, m_inversionState)) {
            PluginState::Instance()->Host().DisplayError(
                QStringLiteral("%1: there is no characterization named \"%2\".")
                    .arg(PluginState::CommandName(), m_characterName));
            return Status::Failure;
        }
        break;
    case SaveCharacterization:
        hub->SaveCharacterization();
        break;
    case DeleteTool:
        delete hub;
        break;
    default:
        break;
    }
    return Status::Success;
}

Status CharacterizationToolUICmd::Undo()
{
    if (m_mirrorUndo) {
        if (CharacterizationToolWrapper* hub = LiveHub())
            hub->ToggleMirrorMatch();
        m_mirrorUndo = false;
    }
    return Status::Success;
}
