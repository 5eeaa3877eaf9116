// Finds, loads and unloads plug-in libraries.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "plugins/plugin.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QLibrary;

namespace kestrel {

class Host;

// Loading: the library is found (see ResolvePath), opened with all symbols resolved and kept
// local, checked for the three exports and a supported interface version, then its
// initializePlugin runs. When that fails, what it registered is removed and the library is
// closed again.
//
// Unloading: the undo queue is cleared if it holds commands of the plug-in, then its
// uninitializePlugin runs, then whatever it left behind (commands, panel types, panel widgets)
// is removed with a warning, and only then is the library closed.
//
// Every failure is displayed through the host's error display and returned.
class KESTREL_EXPORT PluginManager
{
public:
    explicit PluginManager(Host& host);
    // Unloads every plug-in, last loaded first.
    ~PluginManager();
    PluginManager(const PluginManager&) = delete;
    PluginManager& operator=(const PluginManager&) = delete;

    // Loads a plug-in given by name or path. Sets `name` to the loaded plug-in's name.
    Status Load(const QString& nameOrPath, QString* name = nullptr);
    // NotFound when no plug-in of that name is loaded; InvalidState while one of its commands
    // is running.
    Status Unload(const QString& name);
    // Unloads every plug-in, last loaded first, as the session ends: the undo queue they leave
    // empty goes without a warning, since nothing would be undone any more.
    void UnloadAll();

    Plugin* Find(const QString& name) const;
    QStringList LoadedNames() const;

    // The default plug-in folder, then the folders of KESTREL_PLUGIN_PATH (':'-separated).
    QStringList SearchFolders() const;
    // An absolute or relative path naming an existing file is taken as it is. A plain name N
    // is looked for as N, libN.so and N.so in each search folder in turn. Empty with `error`
    // when nothing is found.
    QString ResolvePath(const QString& nameOrPath, QString* error) const;
    // The plug-in name of a library path: the file name without "lib" and ".so".
    static QString NameFromPath(const QString& path);

private:
    struct Loaded;
    Status Fail(Status status, const QString& text);
    void RemoveLeftovers(Plugin& plugin, bool warn);

    Host& m_host;
    std::vector<std::unique_ptr<Loaded>> m_loaded;
    bool m_unloadingAll = false;
};

} // namespace kestrel
