#include "commands/characterizationreconciler.h"

#include "commands/characterizationsync.h"
#include "host.h"
#include "scene/characternodes.h"
#include "scene/node.h"
#include "scene/nodename.h"
#include "scene/scene.h"
#include "scene/scenenotifier.h"
#include "script/commandregistry.h"
#include "script/scriptlexer.h"
#include "script/undoqueue.h"

#include <QScopedValueRollback>

#include <set>

namespace kestrel {

namespace {

const QString kRecordCommand = QStringLiteral("characterizationToolRecord");
const char* const kInversionNames[4] = {"left knee", "right knee", "left elbow", "right elbow"};

QString Quoted(const QString& text)
{
    return ScriptLexer::Quote(text);
}

QString ToolStatement(const QString& flags)
{
    return CharacterizationSync::ToolCommand() + QStringLiteral(" -e ") + flags + QLatin1Char(';');
}

QString Bool(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

std::set<int> SlotIds(const CharacterRecord& a, const CharacterRecord& b, const CharacterRecord& c)
{
    std::set<int> ids;
    for (const CharacterRecord* record : {&a, &b, &c}) {
        for (const auto& slot : record->bindings)
            ids.insert(slot.first);
    }
    return ids;
}

QString SlotOf(const CharacterRecord& record, int id)
{
    const auto found = record.bindings.find(id);
    return found == record.bindings.end() ? QString() : found->second;
}

// Every name of the three records, the tool's order first.
QStringList AllNames(const CharacterizationRecord& tool, const CharacterizationRecord& scene,
                     const CharacterizationRecord& agreed)
{
    QStringList names;
    for (const CharacterizationRecord* record : {&tool, &scene, &agreed}) {
        for (const CharacterRecord& c : record->characters) {
            if (!names.contains(c.name))
                names.append(c.name);
        }
    }
    return names;
}

// What changed from `before` to `after`, as a person would say it in "Undo ...": one slot
// ("Clear Head", "Assign Head2 to Head"), a lock, an inversion, a characterization deleted, or
// a count of slots. Empty when nothing did.
QString ChangeLabel(const CharacterizationRecord& before, const CharacterizationRecord& after)
{
    QStringList changes;
    int cleared = 0;
    int assigned = 0;
    for (const QString& name : AllNames(after, before, before)) {
        const CharacterRecord was = before.Or(name);
        const CharacterRecord is = after.Or(name);
        if (!was.IsEmpty() && !after.Find(name)) {
            changes.append(QStringLiteral("Delete ") + name);
            continue;
        }
        for (int id : SlotIds(was, is, is)) {
            const QString from = SlotOf(was, id);
            const QString to = SlotOf(is, id);
            if (from == to)
                continue;
            const QString slot = CharacterNodes::SlotName(id);
            if (to.isEmpty()) {
                ++cleared;
                changes.append(QStringLiteral("Clear ") + slot);
            } else {
                ++assigned;
                changes.append(QStringLiteral("Assign %1 to %2").arg(to, slot));
            }
        }
        for (int index = 0; index < 4; ++index) {
            if (was.inverted[index] != is.inverted[index])
                changes.append(QStringLiteral("%1 %2 of %3")
                                   .arg(is.inverted[index] ? QStringLiteral("Invert")
                                                           : QStringLiteral("Straighten"),
                                        QLatin1String(kInversionNames[index]), name));
        }
        if (was.locked != is.locked)
            changes.append((is.locked ? QStringLiteral("Lock ") : QStringLiteral("Unlock ")) +
                           name);
    }
    if (changes.size() <= 1)
        return changes.value(0);
    if (cleared + assigned == changes.size())
        return QStringLiteral("%1 %2 slots")
            .arg(assigned == 0  ? QStringLiteral("Clear")
                 : cleared == 0 ? QStringLiteral("Assign")
                                : QStringLiteral("Change"))
            .arg(changes.size());
    return QStringLiteral("Change %1 characterization values").arg(changes.size());
}

} // namespace

CharacterizationReconciler::CharacterizationReconciler(Host& host)
    : m_host(host)
{}

CharacterizationReconciler::~CharacterizationReconciler()
{
    for (quint64 id : m_watches)
        m_host.GetScene().GetNotifier().RemoveCallback(id);
}

void CharacterizationReconciler::WatchScene()
{
    SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    const auto mark = [this](Node& node) { MarkIfCharacterization(node); };
    // A bound joint's own channels are the tool's pose, sampled on its own; only the character
    // nodes' attributes and connections, and bound joints renamed or removed, are records.
    const auto markCharacter = [this](Node& node) {
        if (node.Type() == NodeType::Character)
            m_sceneMoved = true;
    };
    m_watches = {
        notifier.AddNodeAddedCallback(markCharacter),
        notifier.AddChangedCallback(nullptr, markCharacter),
        notifier.AddNameChangedCallback(
            nullptr, [this](Node& node, const QString&) { MarkIfCharacterization(node); }),
        notifier.AddAboutToRemoveCallback(nullptr, mark),
    };
}

void CharacterizationReconciler::MarkIfCharacterization(const Node& node)
{
    if (!m_sceneMoved && (node.Type() == NodeType::Character ||
                          m_host.GetCharacterNodes().CharacterOf(node) != nullptr))
        m_sceneMoved = true;
}

bool CharacterizationReconciler::MayHaveMoved() const
{
    return !m_hasAgreed || m_sceneMoved ||
           m_pluginActivity != m_host.GetInterpreter().PluginActivity() ||
           m_replays != m_host.GetUndoQueue().ReplayCount();
}

void CharacterizationReconciler::Rebase()
{
    m_agreed = CharacterizationRecord::FromScene(m_host.GetScene(), m_host.GetCharacterNodes());
    m_hasAgreed = ReadTool(&m_lastTool);
    // What the tool refused while it was told (a lock on an invalid characterization) is the
    // tool's answer: the scene follows it at once, with nothing to undo.
    m_sceneMoved = true;
    UndoStep unrecorded;
    Settle(unrecorded, false);
}

bool CharacterizationReconciler::ReadTool(CharacterizationRecord* record)
{
    if (!m_host.GetCommands().Find(kRecordCommand))
        return false;
    // Reading is a statement of its own when no statement runs: it must not settle again.
    const QScopedValueRollback<bool> settling(m_settling, true);
    ExecuteOptions options;
    options.undoable = false;
    const ScriptResult answer = m_host.GetInterpreter().Execute(kRecordCommand, options);
    return answer.status == Status::Success &&
           CharacterizationRecord::FromToolAnswer(answer.result.ToString(), record);
}

void CharacterizationReconciler::Settle(UndoStep& step, bool recording)
{
    CharacterizationSync& sync = m_host.GetCharacterizationSync();
    if (m_settling || sync.IsRunning())
        return;
    if (!MayHaveMoved()) {
        // Nothing to undo either: the tool's commands in the step changed nothing.
        step.RemoveCommandsNamed(CharacterizationSync::ToolCommand());
        return;
    }
    const QScopedValueRollback<bool> settling(m_settling, true);
    CharacterizationRecord tool;
    if (!ReadTool(&tool)) {
        m_hasAgreed = false;
        return;
    }
    const Scene& sceneGraph = m_host.GetScene();
    CharacterizationRecord scene =
        CharacterizationRecord::FromScene(sceneGraph, m_host.GetCharacterNodes());
    if (!m_hasAgreed) {
        // The tool just appeared (its panel was opened without a sync): the scene is the record.
        m_agreed = scene;
        m_lastTool = tool;
        m_hasAgreed = true;
    }
    const Plan plan = MakePlan(scene, tool);
    TellTool(plan, tool);
    RunInScene(plan.toScene, recording);
    if (!plan.missingInTool.isEmpty() || !plan.toTool.isEmpty() || !plan.lockInTool.isEmpty()) {
        // What the tool refused to take (a lock on an invalid characterization) is its answer:
        // compared against the scene as it is now, only the scene has something left to do.
        ReadTool(&tool);
        const CharacterizationRecord agreed = m_agreed;
        m_agreed = CharacterizationRecord::FromScene(sceneGraph, m_host.GetCharacterNodes());
        RunInScene(MakePlan(m_agreed, tool).toScene, recording);
        m_agreed = agreed;
    }
    FollowToolsCurrent(tool);

    scene = CharacterizationRecord::FromScene(sceneGraph, m_host.GetCharacterNodes());
    // Undo can take back what changed in the scene and the tool's mirror switch; a step of the
    // tool's commands that changed neither (a query, a switch of the current characterization,
    // a save) would be an undo that does nothing.
    QString label = ChangeLabel(m_agreed, scene);
    if (label.isEmpty() && m_lastTool.mirror != tool.mirror)
        label = tool.mirror ? QStringLiteral("Mirror Matching On")
                            : QStringLiteral("Mirror Matching Off");
    if (label.isEmpty())
        step.RemoveCommandsNamed(CharacterizationSync::ToolCommand());
    if (step.Label().isEmpty())
        step.SetLabel(label);
    m_agreed = scene;
    m_lastTool = tool;
    m_sceneMoved = false;
    m_pluginActivity = m_host.GetInterpreter().PluginActivity();
    m_replays = m_host.GetUndoQueue().ReplayCount();
}

CharacterizationReconciler::Plan
CharacterizationReconciler::MakePlan(const CharacterizationRecord& scene,
                                     const CharacterizationRecord& tool) const
{
    Plan plan;
    for (const QString& name : AllNames(tool, scene, m_agreed)) {
        const CharacterRecord s = scene.Or(name);
        const CharacterRecord t = tool.Or(name);
        const Plan before = plan;
        PlanCharacter(s, t, m_agreed.Or(name), scene.Find(name) != nullptr, &plan);
        const bool toolChanges = plan.toTool.size() != before.toTool.size() ||
                                 plan.lockInTool.size() != before.lockInTool.size();
        if (toolChanges && !tool.Find(name))
            plan.missingInTool.append(name);
    }
    return plan;
}

void CharacterizationReconciler::PlanCharacter(const CharacterRecord& scene,
                                               const CharacterRecord& tool,
                                               const CharacterRecord& agreed, bool hasNode,
                                               Plan* plan) const
{
    const QString name = Quoted(scene.name);
    // A characterization whose name no node can take (the tool's placeholder) stays the tool's.
    const bool sceneCanFollow = IsValidNodeName(scene.name);
    bool nodeWillExist = hasNode;
    for (int id : SlotIds(scene, tool, agreed)) {
        const QString s = SlotOf(scene, id);
        const QString t = SlotOf(tool, id);
        const QString a = SlotOf(agreed, id);
        if (s != a && t != s) {
            plan->toTool.append(ToolStatement(QStringLiteral("-characternodeassign %1 -nodeid %2 "
                                                             "-kestrelnodename %3")
                                                  .arg(name)
                                                  .arg(id)
                                                  .arg(Quoted(s))));
        } else if (s == a && t != a && sceneCanFollow && (t.isEmpty() || IsTransform(t))) {
            plan->toScene.append(
                QStringLiteral("setCharacterObject(%1,%2,%3,0);").arg(Quoted(t), name).arg(id));
            nodeWillExist = true;
        }
    }
    // An inversion or a lock alone still needs a node to be kept on.
    const bool flagsOnly = !nodeWillExist && sceneCanFollow && tool.bindings.empty() &&
                           !tool.IsEmpty() &&
                           (tool.locked != agreed.locked || tool.inverted != agreed.inverted);
    if (flagsOnly) {
        plan->toScene.append(QStringLiteral("createNode character -name %1;").arg(name));
        nodeWillExist = true;
    }
    const QStringList flags = CharacterNodes::StandardAttributes();
    for (int index = 0; index < 4; ++index) {
        const bool s = scene.inverted[index];
        const bool t = tool.inverted[index];
        if (s != agreed.inverted[index] && t != s) {
            plan->toTool.append(
                ToolStatement(QStringLiteral("-invertbone %1 -invertstate %2 -character %3")
                                  .arg(index)
                                  .arg(Bool(s), name)));
        } else if (s == agreed.inverted[index] && t != s && nodeWillExist) {
            plan->toScene.append(
                QStringLiteral("setAttr %1 %2;")
                    .arg(Quoted(scene.name + QLatin1Char('.') + flags[index + 1]), Bool(t)));
        }
    }
    if (scene.locked != agreed.locked && tool.locked != scene.locked)
        plan->lockInTool.append(scene.name);
    else if (scene.locked == agreed.locked && tool.locked != scene.locked && nodeWillExist)
        plan->toScene.append(
            QStringLiteral("lockCharacter(%1, %2);").arg(name, tool.locked ? "1" : "0"));
}

void CharacterizationReconciler::TellTool(const Plan& plan, const CharacterizationRecord& tool)
{
    QStringList statements;
    if (!plan.missingInTool.isEmpty()) {
        QStringList names;
        for (const CharacterRecord& c : tool.characters)
            names.append(c.name);
        statements.append(ToolStatement(QStringLiteral("-characterlist ") +
                                        Quoted((names + plan.missingInTool).join(';'))));
    }
    statements += plan.toTool;
    for (const QString& name : plan.lockInTool) {
        statements.append(ToolStatement(QStringLiteral("-setcurrentcharname ") + Quoted(name)));
        statements.append(ToolStatement(QStringLiteral("-locktoggle")));
    }
    if (statements.isEmpty())
        return;
    // The tool's current characterization stays the one the user had.
    if (!tool.current.isEmpty())
        statements.append(
            ToolStatement(QStringLiteral("-setcurrentcharname ") + Quoted(tool.current)));
    // Bindings told through -characternodeassign are not validated until asked: ask once.
    statements.append(CharacterizationSync::ToolCommand() + QStringLiteral(" -q -curcharstatus;"));
    m_host.GetCharacterizationSync().Tell(statements);
}

void CharacterizationReconciler::RunInScene(const QStringList& statements, bool recording)
{
    ExecuteOptions options;
    options.undoable = recording;
    for (const QString& statement : statements)
        m_host.GetInterpreter().Execute(statement, options);
}

bool CharacterizationReconciler::IsTransform(const QString& joint) const
{
    const Node* node = m_host.GetScene().Find(joint);
    return node && node->IsTransform();
}

void CharacterizationReconciler::FollowToolsCurrent(const CharacterizationRecord& tool)
{
    CharacterNodes& nodes = m_host.GetCharacterNodes();
    if (const Node* current = nodes.Find(tool.current))
        nodes.SetCurrent(current);
}

} // namespace kestrel
