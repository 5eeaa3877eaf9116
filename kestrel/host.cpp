#include "host.h"

#include "commands/builtincommands.h"
#include "commands/characterizationreconciler.h"
#include "commands/characterizationsync.h"
#include "io/scenedocument.h"
#include "plugins/pluginmanager.h"
#include "scene/characternodes.h"
#include "scene/scene.h"
#include "script/commandregistry.h"
#include "script/stringresources.h"
#include "script/textlog.h"
#include "script/undoqueue.h"
#include "ui/panelregistry.h"
#include "ui/uilayouts.h"

#include <QCoreApplication>

namespace kestrel {

namespace {

Host* g_current = nullptr;

} // namespace

// Member order is destruction order reversed: plug-ins go first (their uninitialize may still
// use everything else), the logs last.
struct Host::Private
{
    explicit Private(Host& host, const HostOptions& options)
        : options(options)
        , document(scene, characters, undoQueue, errorLog)
        , characters(scene)
        , characterizationSync(host)
        , reconciler(host)
        , interpreter({commands, undoQueue, outputLog, errorLog, [this] { return quitRequested; }})
        , plugins(host)
    {}

    HostOptions options;
    TextLog scriptLog;
    TextLog errorLog{QStringLiteral("// Error: ")};
    TextLog warningLog{QStringLiteral("// Warning: ")};
    TextLog outputLog;
    Scene scene;
    UiLayouts layouts;
    StringResources strings;
    PanelRegistry panels;
    CommandRegistry commands;
    SceneDocument document;
    CharacterNodes characters;
    CharacterizationSync characterizationSync;
    CharacterizationReconciler reconciler;
    UndoQueue undoQueue;
    ScriptInterpreter interpreter;
    PluginManager plugins;
    bool quitRequested = false;
};

Host::Host(const HostOptions& options)
    : d(std::make_unique<Private>(*this, options))
{
    Q_ASSERT(!g_current);
    g_current = this;
    if (options.writeToStandardStreams) {
        d->errorLog.SetStream(stderr);
        d->warningLog.SetStream(stderr);
        d->outputLog.SetStream(stdout);
    }
    RegisterBuiltinCommands(*this);
    d->panels.AddCreatedCallback(
        [this](const QString& typeName) { d->characterizationSync.PanelCreated(typeName); });
    d->document.SetSceneReplacedCallback([this] { d->characterizationSync.SceneReplaced(); });
    d->reconciler.WatchScene();
    d->interpreter.SetSettleHook(
        [this](UndoStep& step, bool recording) { d->reconciler.Settle(step, recording); });
}

Host::~Host()
{
    d->plugins.UnloadAll();
    // A desktop window's views use the whole host until they go.
    d->layouts.DestroyMainWindow();
    d->undoQueue.Clear();
    g_current = nullptr;
}

void Host::RequestQuit()
{
    d->quitRequested = true;
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
}

bool Host::QuitRequested() const
{
    return d->quitRequested;
}

Host* Host::Current()
{
    return g_current;
}

Scene& Host::GetScene()
{
    return d->scene;
}

SceneDocument& Host::GetDocument()
{
    return d->document;
}

CommandRegistry& Host::GetCommands()
{
    return d->commands;
}

UndoQueue& Host::GetUndoQueue()
{
    return d->undoQueue;
}

ScriptInterpreter& Host::GetInterpreter()
{
    return d->interpreter;
}

PluginManager& Host::GetPlugins()
{
    return d->plugins;
}

StringResources& Host::GetStringResources()
{
    return d->strings;
}

PanelRegistry& Host::GetPanels()
{
    return d->panels;
}

UiLayouts& Host::GetLayouts()
{
    return d->layouts;
}

CharacterNodes& Host::GetCharacterNodes()
{
    return d->characters;
}

CharacterizationSync& Host::GetCharacterizationSync()
{
    return d->characterizationSync;
}

CharacterizationReconciler& Host::GetCharacterizationReconciler()
{
    return d->reconciler;
}

TextLog& Host::GetScriptLog()
{
    return d->scriptLog;
}

TextLog& Host::GetErrorLog()
{
    return d->errorLog;
}

TextLog& Host::GetWarningLog()
{
    return d->warningLog;
}

TextLog& Host::GetOutputLog()
{
    return d->outputLog;
}

ScriptResult Host::ExecuteScript(const QString& text, const ExecuteOptions& options)
{
    d->scriptLog.Append(text);
    return d->interpreter.ExecuteForPlugin(text, options);
}

void Host::DisplayError(const QString& text)
{
    d->errorLog.Append(text);
}

void Host::DisplayWarning(const QString& text)
{
    d->warningLog.Append(text);
}

void Host::Print(const QString& line)
{
    d->outputLog.Append(line);
}

const HostOptions& Host::Options() const
{
    return d->options;
}

QString Host::PluginFolder() const
{
    return d->options.pluginFolder.isEmpty() ? QStringLiteral(KESTREL_DEFAULT_PLUGIN_FOLDER)
                                             : d->options.pluginFolder;
}

} // namespace kestrel
