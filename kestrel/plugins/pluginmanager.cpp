#include "plugins/pluginmanager.h"

#include "host.h"
#include "script/commandregistry.h"
#include "script/scriptinterpreter.h"
#include "script/undoqueue.h"
#include "ui/panelregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>
#include <QScopedValueRollback>

namespace kestrel {

struct PluginManager::Loaded
{
    std::unique_ptr<QLibrary> library;
    std::unique_ptr<Plugin> plugin;
    PluginEntryPoint uninitialize = nullptr;
};

PluginManager::PluginManager(Host& host)
    : m_host(host)
{}

PluginManager::~PluginManager()
{
    UnloadAll();
}

Status PluginManager::Fail(Status status, const QString& text)
{
    m_host.DisplayError(text);
    return status;
}

QStringList PluginManager::SearchFolders() const
{
    QStringList folders = {m_host.PluginFolder()};
    const QString path = qEnvironmentVariable("KESTREL_PLUGIN_PATH");
    folders += path.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return folders;
}

QString PluginManager::ResolvePath(const QString& nameOrPath, QString* error) const
{
    if (nameOrPath.isEmpty()) {
        *error = QStringLiteral("No plug-in name given.");
        return QString();
    }
    if (nameOrPath.contains(QLatin1Char('/'))) {
        const QFileInfo info(nameOrPath);
        if (info.isFile())
            return info.absoluteFilePath();
        *error = QStringLiteral("The plug-in file \"%1\" does not exist.").arg(nameOrPath);
        return QString();
    }
    const QStringList candidates = {nameOrPath, QStringLiteral("lib%1.so").arg(nameOrPath),
                                    nameOrPath + QStringLiteral(".so")};
    for (const QString& folder : SearchFolders()) {
        for (const QString& candidate : candidates) {
            const QFileInfo info(QDir(folder), candidate);
            if (info.isFile())
                return info.absoluteFilePath();
        }
    }
    *error = QStringLiteral("Cannot find the plug-in \"%1\" in %2.")
                 .arg(nameOrPath, SearchFolders().join(QStringLiteral(", ")));
    return QString();
}

QString PluginManager::NameFromPath(const QString& path)
{
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QLatin1String(".so")))
        name.chop(3);
    if (name.startsWith(QLatin1String("lib")) && name.size() > 3)
        name.remove(0, 3);
    return name;
}

Status PluginManager::Load(const QString& nameOrPath, QString* loadedName)
{
    QString error;
    const QString path = ResolvePath(nameOrPath, &error);
    if (path.isEmpty())
        return Fail(Status::NotFound, error);
    const QString name = NameFromPath(path);
    if (Find(name))
        return Fail(Status::AlreadyExists,
                    QStringLiteral("The plug-in \"%1\" is already loaded.").arg(name));

    auto loaded = std::make_unique<Loaded>();
    loaded->library = std::make_unique<QLibrary>(path);
    loaded->library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!loaded->library->load())
        return Fail(Status::Failure, QStringLiteral("Cannot load the plug-in \"%1\": %2")
                                         .arg(path, loaded->library->errorString()));
    const auto initialize =
        reinterpret_cast<PluginEntryPoint>(loaded->library->resolve(kInitializeSymbol));
    loaded->uninitialize =
        reinterpret_cast<PluginEntryPoint>(loaded->library->resolve(kUninitializeSymbol));
    const auto* version =
        reinterpret_cast<const char*>(loaded->library->resolve(kInterfaceVersionSymbol));
    if (!initialize || !loaded->uninitialize || !version) {
        loaded->library->unload();
        return Fail(Status::Failure, QStringLiteral("\"%1\" is not a Kestrel plug-in: it must "
                                                    "export %2, %3 and %4.")
                                         .arg(path, QLatin1String(kInitializeSymbol),
                                              QLatin1String(kUninitializeSymbol),
                                              QLatin1String(kInterfaceVersionSymbol)));
    }
    // Read at most nine characters: the export is not trusted to be terminated.
    const QString versionText =
        QString::fromLatin1(version, static_cast<int>(qstrnlen(version, 9)));
    static const QRegularExpression kEightDigits(QStringLiteral("^[0-9]{8}$"));
    if (!kEightDigits.match(versionText).hasMatch() ||
        versionText > QLatin1String(kInterfaceVersion)) {
        loaded->library->unload();
        return Fail(Status::Failure, QStringLiteral("The plug-in \"%1\" was built for interface "
                                                    "version \"%2\"; this host offers %3.")
                                         .arg(name, versionText, QLatin1String(kInterfaceVersion)));
    }

    loaded->plugin = std::make_unique<Plugin>(m_host, name, path);
    const Status status = initialize(*loaded->plugin);
    if (status != Status::Success) {
        RemoveLeftovers(*loaded->plugin, false);
        loaded->plugin.reset();
        loaded->library->unload();
        return Fail(status, QStringLiteral("The plug-in \"%1\" failed to initialize: %2.")
                                .arg(name, StatusText(status)));
    }
    m_loaded.push_back(std::move(loaded));
    if (loadedName)
        *loadedName = name;
    return Status::Success;
}

void PluginManager::RemoveLeftovers(Plugin& plugin, bool warn)
{
    const auto report = [&](const QString& what) {
        if (warn)
            m_host.DisplayWarning(QStringLiteral("The plug-in \"%1\" left %2 behind; removed.")
                                      .arg(plugin.Name(), what));
    };
    for (const QString& command : m_host.GetCommands().NamesOwnedBy(&plugin)) {
        report(QStringLiteral("the command \"%1\"").arg(command));
        m_host.GetCommands().Deregister(command);
    }
    for (const QString& panel : m_host.GetPanels().NamesOwnedBy(&plugin)) {
        report(QStringLiteral("the panel type \"%1\"").arg(panel));
        m_host.GetPanels().Deregister(panel);
    }
    const int widgets = m_host.GetPanels().DeleteWidgetsOwnedBy(&plugin);
    if (widgets > 0)
        report(QStringLiteral("%1 panel widget(s)").arg(widgets));
    m_host.GetUndoQueue().ClearIfOwnedBy(&plugin);
}

Status PluginManager::Unload(const QString& name)
{
    const auto it = std::find_if(m_loaded.begin(), m_loaded.end(), [&](const auto& loaded) {
        return loaded->plugin->Name() == name;
    });
    if (it == m_loaded.end())
        return Fail(Status::NotFound,
                    QStringLiteral("No plug-in named \"%1\" is loaded.").arg(name));
    Loaded& loaded = **it;
    if (m_host.GetInterpreter().IsRunningCommandOf(loaded.plugin.get()))
        return Fail(Status::InvalidState,
                    QStringLiteral("The plug-in \"%1\" cannot be unloaded while its command runs.")
                        .arg(name));
    // The undo queue holds command objects whose code lives in the library.
    m_host.GetInterpreter().DiscardOpenStepCommandsOf(loaded.plugin.get());
    if (m_host.GetUndoQueue().ClearIfOwnedBy(loaded.plugin.get()) && !m_unloadingAll)
        m_host.DisplayWarning(QStringLiteral("Unloading \"%1\" cleared the undo queue.").arg(name));
    const Status status = loaded.uninitialize(*loaded.plugin);
    if (status != Status::Success)
        m_host.DisplayError(QStringLiteral("The plug-in \"%1\" failed to uninitialize: %2.")
                                .arg(name, StatusText(status)));
    RemoveLeftovers(*loaded.plugin, true);
    std::unique_ptr<Loaded> owned = std::move(*it);
    m_loaded.erase(it);
    owned->plugin.reset();
    owned->library->unload();
    return status;
}

void PluginManager::UnloadAll()
{
    const QScopedValueRollback<bool> unloadingAll(m_unloadingAll, true);
    while (!m_loaded.empty()) {
        const QString name = m_loaded.back()->plugin->Name();
        Unload(name);
        if (Find(name))
            break; // one of its commands is running; the caller's caller unwinds first
    }
}

Plugin* PluginManager::Find(const QString& name) const
{
    for (const auto& loaded : m_loaded) {
        if (loaded->plugin->Name() == name)
            return loaded->plugin.get();
    }
    return nullptr;
}

QStringList PluginManager::LoadedNames() const
{
    QStringList names;
    for (const auto& loaded : m_loaded)
        names.append(loaded->plugin->Name());
    return names;
}

} // namespace kestrel
