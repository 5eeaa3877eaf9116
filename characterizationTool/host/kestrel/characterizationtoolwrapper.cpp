#include "characterizationtoolwrapper.h"

#include "charactertool.h"
#include "host.h"
#include "scene/scene.h"
#include "script/scriptlexer.h"
#include "ui/uilayouts.h"

#include <QDir>
#include <QWidget>

#include <algorithm>

const char* const CharacterizationToolWrapper::kToolLayout = "kntCharacterizationScrollControl";
const char* const CharacterizationToolWrapper::kFallbackLayout = "kntDefinitionScrollLayout";

namespace {

const QString kInversionAttributes[4] = {
    QStringLiteral("leftKneeInverted"), QStringLiteral("rightKneeInverted"),
    QStringLiteral("leftElbowInverted"), QStringLiteral("rightElbowInverted")};

} // namespace

CharacterizationToolWrapper::CharacterizationToolWrapper(kestrel::Host& host,
                                                         const QString& loadFolder,
                                                         const QString& resourceFolder)
    : m_host(host)
    , m_sampler(host)
    , m_loadFolder(loadFolder)
    , m_resourceFolder(resourceFolder)
{
    emit selectionChanged();
}

CharacterizationToolWrapper::~CharacterizationToolWrapper()
{
    delete m_tool.data();
    // No watch may outlive the bridge: every callback still recorded goes now.
    StopWatching();
}

void CharacterizationToolWrapper::StopWatching()
{
    kestrel::SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    if (m_selectionWatch)
        notifier.RemoveCallback(m_selectionWatch);
    m_selectionWatch = 0;
    for (const auto& watches : m_watches) {
        for (const Watch& watch : watches.second)
            notifier.RemoveCallback(watch.callbackId);
    }
    m_watches.clear();
}

void CharacterizationToolWrapper::AttachTool()
{
    if (m_tool)
        return;
    kestrel::UiLayouts& layouts = m_host.GetLayouts();
    QWidget* layout = layouts.FindLayout(QLatin1String(kToolLayout));
    if (!layout)
        layout = layouts.FindLayout(QLatin1String(kFallbackLayout));
    if (!layout)
        return;
    m_tool = new CharacterTool(m_loadFolder.toUtf8().constData(),
                               m_resourceFolder.toUtf8().constData(), layout, this);
    if (!m_tool)
        return;
    m_tool->SkipRollNodesInMatching();
    // The host may close the panel itself; the bridge then has nothing left to tell.
    connect(m_tool, &QObject::destroyed, this, &CharacterizationToolWrapper::StopWatching);
    // The fix turns joints, which only the host can do: its own command, one undo step.
    connect(m_tool, &CharacterTool::FixStanceRequested, this,
            [this] { RunScript(QStringLiteral("characterizationStance -e"), true); });
    m_selectionWatch = m_host.GetScene().GetNotifier().AddSelectionChangedCallback(
        [this] { emit selectionChanged(); });
}

kestrel::Node* CharacterizationToolWrapper::Lookup(const QString& name) const
{
    return name.isEmpty() ? nullptr : m_host.GetScene().Find(name);
}

bool CharacterizationToolWrapper::SceneBeingReset() const
{
    const kestrel::Scene& scene = m_host.GetScene();
    return scene.IsOpeningFile() || scene.IsCreatingNewScene();
}

void CharacterizationToolWrapper::RunScript(const QString& text, bool undoable)
{
    kestrel::ExecuteOptions options;
    options.echo = false;
    options.undoable = undoable;
    m_host.ExecuteScript(text, options);
}

QStringList CharacterizationToolWrapper::RunListing(const QString& text)
{
    kestrel::ExecuteOptions options;
    options.echo = false;
    options.undoable = false;
    return m_host.ExecuteScript(text, options).result.ToStringArray();
}

const QString& CharacterizationToolWrapper::GetHostName() const
{
    return m_hostName;
}

const QStringList& CharacterizationToolWrapper::GetSelectedTransforms()
{
    m_selection = RunListing(QStringLiteral("ls -selection -type \"transform\""));
    return m_selection;
}

bool CharacterizationToolWrapper::IsTransform(const QString& node)
{
    const kestrel::Node* found = Lookup(node);
    return found && found->IsTransform();
}

int CharacterizationToolWrapper::GetNodeTransform(const QString& node, int nodeId,
                                                  NodeTransformRecord& record, bool worldSpace)
{
    return m_sampler.GetNodeTransform(node, nodeId, record, worldSpace);
}

bool CharacterizationToolWrapper::GetParentName(const QString& node, QString& parent)
{
    const kestrel::Node* found = Lookup(node);
    if (!found || !found->IsTransform())
        return false;
    if (!found->Parent()) {
        // Directly under the scene root "world".
        parent.clear();
        return false;
    }
    parent = found->Parent()->Name();
    return true;
}

void CharacterizationToolWrapper::Record(const QString& name, const kestrel::Node& node,
                                         quint64 callbackId)
{
    m_watches[name].push_back({node.Id(), callbackId});
}

void CharacterizationToolWrapper::AddNodeCallbacks(const QString& node)
{
    kestrel::Node* found = Lookup(node);
    if (!found)
        return;
    kestrel::SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    Record(node, *found,
           notifier.AddNameChangedCallback(found,
                                           [this](kestrel::Node& renamed, const QString& previous) {
                                               emit NameChanged(renamed.Name(), previous);
                                           }));
    Record(node, *found, notifier.AddAboutToRemoveCallback(found, [this](kestrel::Node& removed) {
        emit NodeRemoved(removed.Name(), SceneBeingReset());
    }));
    Record(node, *found, notifier.AddDestroyedCallback(found, [this, name = node](const QString&) {
        emit NodeRemoved(name, SceneBeingReset());
    }));
}

void CharacterizationToolWrapper::AddCharacterizationNodeCallbacks(const QString& characterName)
{
    kestrel::Node* found = Lookup(characterName);
    if (!found)
        return;
    kestrel::SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    // The characterization takes the node's new name, so its watches must be found under it:
    // deleting it later removes them by that name before the host node goes.
    Record(characterName, *found,
           notifier.AddNameChangedCallback(
               found, [this](kestrel::Node& renamed, const QString& previous) {
                   Rekey(renamed.Id(), previous, renamed.Name());
                   emit CharacterizationNameChanged(renamed.Name(), previous);
               }));
    Record(characterName, *found,
           notifier.AddAboutToRemoveCallback(found, [this](kestrel::Node& removed) {
               emit CharacterizationNodeRemoved(removed.Name());
           }));
}

void CharacterizationToolWrapper::Rekey(quint64 nodeId, const QString& previous,
                                        const QString& name)
{
    auto found = m_watches.find(previous);
    if (found == m_watches.end() || previous == name)
        return;
    std::vector<Watch>& moving = found->second;
    auto ofNode = std::stable_partition(moving.begin(), moving.end(), [nodeId](const Watch& watch) {
        return watch.nodeId != nodeId;
    });
    std::vector<Watch>& target = m_watches[name];
    target.insert(target.end(), ofNode, moving.end());
    moving.erase(ofNode, moving.end());
    if (moving.empty())
        m_watches.erase(found);
}

void CharacterizationToolWrapper::RemoveNodeCallbacks(const QString& node)
{
    auto found = m_watches.find(node);
    if (found == m_watches.end())
        return;
    // A name the scene no longer knows keeps its watches when their node is gone: the host
    // dropped them with it. A node that was only renamed still carries them: they go now, or
    // its destroyed watch would later report the old name, which may by then belong to
    // another bound joint.
    const kestrel::Scene& scene = m_host.GetScene();
    const bool watchedNodeExists =
        Lookup(node) ||
        std::any_of(found->second.begin(), found->second.end(), [&scene](const Watch& watch) {
            return scene.FindById(watch.nodeId) != nullptr;
        });
    if (!watchedNodeExists)
        return;
    kestrel::SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    for (const Watch& watch : found->second)
        notifier.RemoveCallback(watch.callbackId);
    m_watches.erase(found);
}

void CharacterizationToolWrapper::RemoveCharacterizationNodeCallbacks(const QString& characterName)
{
    RemoveNodeCallbacks(characterName);
}

int CharacterizationToolWrapper::WatchCount(const QString& node) const
{
    auto found = m_watches.find(node);
    return found == m_watches.end() ? 0 : int(found->second.size());
}

void CharacterizationToolWrapper::GetAllTransforms(QStringList& names)
{
    names = RunListing(QStringLiteral("ls -transforms"));
}

void CharacterizationToolWrapper::SelectNode(const QString& node)
{
    kestrel::Node* found = Lookup(node);
    if (found)
        m_host.GetScene().GetSelection().Replace({found});
}

void CharacterizationToolWrapper::SetCharacterObject(const QString&, const QString& object,
                                                     const QString& characterName, int nodeId,
                                                     bool flag)
{
    // Built in one pass: names are text, never places for the numbers that follow.
    RunScript(QStringLiteral("setCharacterObject(") + ScriptString(object) + QLatin1Char(',') +
                  ScriptString(characterName) + QLatin1Char(',') + QString::number(nodeId) +
                  QLatin1Char(',') + QLatin1Char(flag ? '1' : '0') + QStringLiteral(");"),
              true);
}

void CharacterizationToolWrapper::DeleteCharacter(const QString& characterName)
{
    // The tool removes the characterization itself; the host node's removal must not come
    // back as CharacterizationNodeRemoved, which would remove a second one.
    RemoveCharacterizationNodeCallbacks(characterName);
    RunScript(QStringLiteral("deleteCharacter( ") + ScriptString(characterName) +
                  QStringLiteral(" );"),
              true);
}

void CharacterizationToolWrapper::UpdateCharacterControlsUI()
{
    RunScript(QStringLiteral("kntUpdateCharacterControlsUICallback"), false);
}

void CharacterizationToolWrapper::InvertBone(int partNodeId, bool inverted)
{
    RunScript(QStringLiteral("characterizationInvertBone( %1, %2 );")
                  .arg(partNodeId)
                  .arg(inverted ? 1 : 0),
              true);
}

void CharacterizationToolWrapper::CreateCharacterNode(bool)
{
    RunScript(QStringLiteral("CreateCharacterFromCurrentCharacter()"), true);
}

bool CharacterizationToolWrapper::LoadInversionStates(const QString& characterName)
{
    if (characterName.isEmpty() || characterName.startsWith(QLatin1Char('-')))
        return false;
    const kestrel::Node* character = Lookup(characterName);
    if (!character)
        return false;
    bool values[4];
    for (int i = 0; i < 4; ++i) {
        const kestrel::Attribute* attribute = character->FindAttribute(kInversionAttributes[i]);
        values[i] = attribute && attribute->value.ToBool();
    }
    for (int i = 0; i < 4; ++i)
        SetInversionState(characterName, i, values[i]);
    return true;
}

QString CharacterizationToolWrapper::ScriptString(const QString& text)
{
    return kestrel::ScriptLexer::Quote(text);
}

QString CharacterizationToolWrapper::CleanNodeName(const QString& hostName)
{
    QString name = hostName;
    name.replace(QStringLiteral("XFRASC032"), QStringLiteral(" "));
    const int bar = name.lastIndexOf(QLatin1Char('|'));
    if (bar > 0)
        name.remove(0, bar);
    return name;
}

bool CharacterizationToolWrapper::BindAsOneStep(const QString& characterName,
                                                const QVector<QPair<int, QString>>& bindings)
{
    QStringList rows;
    for (const auto& [node, joint] : bindings)
        rows.append(QString::number(node) + QLatin1Char(' ') + joint);
    RunScript(QStringLiteral("characterizationAutoMap -e -character ") +
                  ScriptString(characterName) + QStringLiteral(" -rows ") +
                  ScriptString(rows.join(QLatin1Char(';'))) + QLatin1Char(';'),
              true);
    return true;
}

void CharacterizationToolWrapper::WarnFileNotWritten(const QString& path)
{
    m_host.DisplayWarning(
        tr("Could not write the file \"%1\".").arg(QDir::toNativeSeparators(path)));
}
