#include "pluginstate.h"

#include "charactertool.h"
#include "host/kestrel/characterizationtoolwrapper.h"

#include "host.h"
#include "script/stringresources.h"

#include <algorithm>
#include <memory>

namespace {

const QString kProductVersion = QStringLiteral("6.0.0");

std::unique_ptr<PluginState>& InstanceSlot()
{
    static std::unique_ptr<PluginState> instance;
    return instance;
}

} // namespace

const char* const PluginState::kRegisterUIStringError = "rRegisterUIStringError";
const char* const PluginState::kRegisterCmdError = "rRegisterCmdError";
const char* const PluginState::kDeregisterCmdError = "rDeregisterCmdError";
const char* const PluginState::kWidgetCreateStringError = "rWidgetCreateStringError";

const QString& PluginState::CommandName()
{
    static const QString name = QStringLiteral("characterizationToolUICmd");
    return name;
}

const QString& PluginState::PanelTypeName()
{
    static const QString name = QStringLiteral("CharacterizationTool");
    return name;
}

QString PluginState::VersionText()
{
    const QString majorMinor = kProductVersion.left(kProductVersion.lastIndexOf(QLatin1Char('.')));
    return QString::number(majorMinor.toDouble(), 'g', 6);
}

PluginState* PluginState::Instance()
{
    return InstanceSlot().get();
}

void PluginState::Start(kestrel::Host& host, const QString& loadFolder)
{
    InstanceSlot().reset(new PluginState(host, loadFolder));
}

void PluginState::Stop()
{
    InstanceSlot().reset();
}

PluginState::PluginState(kestrel::Host& host, const QString& loadFolder)
    : m_host(host)
    , m_loadFolder(loadFolder)
    , m_resourceFolder(loadFolder + QStringLiteral("/../../resources/KestrelCharacterization"))
{}

PluginState::~PluginState()
{
    // The live hub first: its tool is the one the host shows.
    delete m_liveHub.data();
    for (const QPointer<CharacterizationToolWrapper>& hub : m_hubs)
        delete hub.data();
}

CharacterizationToolWrapper* PluginState::LiveHub()
{
    if (m_liveHub && !m_liveHub->AttachedTool()) {
        // It stopped watching when its tool went. Deleted later, not here: a caller further up
        // the stack may still be inside one of its helpers (a question box's event loop).
        m_liveHub->deleteLater();
        m_liveHub.clear();
    }
    return m_liveHub;
}

CharacterizationModel* PluginState::LiveModel(CharacterizationToolWrapper** hubOut)
{
    PluginState* state = Instance();
    CharacterizationToolWrapper* hub = state ? state->LiveHub() : nullptr;
    if (hubOut)
        *hubOut = hub;
    return hub && hub->AttachedTool() ? hub->AttachedTool()->Model() : nullptr;
}

void PluginState::Adopt(CharacterizationToolWrapper* hub)
{
    m_hubs.erase(
        std::remove_if(m_hubs.begin(), m_hubs.end(),
                       [](const QPointer<CharacterizationToolWrapper>& h) { return h.isNull(); }),
        m_hubs.end());
    m_hubs.emplace_back(hub);
}

void PluginState::ShowError(const char* key, const QString& argument) const
{
    const QString text = m_host.GetStringResources().Text({CommandName(), QLatin1String(key)});
    m_host.DisplayError(kestrel::StringResources::Format(text, {argument}));
}

QWidget* CreateCharacterizationPanel(QWidget*, const QString& objectName)
{
    PluginState* state = PluginState::Instance();
    if (!state)
        return nullptr;
    auto hub = std::make_unique<CharacterizationToolWrapper>(state->Host(), state->LoadFolder(),
                                                             state->ResourceFolder());
    hub->AttachTool();
    CharacterTool* tool = hub->AttachedTool();
    if (!tool)
        return nullptr;
    tool->setObjectName(objectName);
    tool->setFocusPolicy(Qt::NoFocus);
    state->SetLiveHub(hub.get());
    state->Adopt(hub.release());
    return tool;
}
