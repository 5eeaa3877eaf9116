// The object through which a loaded plug-in registers itself with the host.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "script/commandregistry.h"
#include "ui/panelregistry.h"

#include <QString>

#include <functional>

namespace kestrel {

class Host;

// The version of the host's programming interface, written as eight digits. A plug-in
// exports the version it was built for; the host loads plug-ins built for this version or an
// older one.
constexpr const char kInterfaceVersion[] = "20190000";

// Names of the symbols a plug-in library exports, all with C linkage:
//   Status initializePlugin(Plugin& plugin)      called after loading
//   Status uninitializePlugin(Plugin& plugin)    called before unloading
//   const char kestrelInterfaceVersion[]         the interface version, e.g. "20190000"
constexpr const char kInitializeSymbol[] = "initializePlugin";
constexpr const char kUninitializeSymbol[] = "uninitializePlugin";
constexpr const char kInterfaceVersionSymbol[] = "kestrelInterfaceVersion";

using PluginEntryPoint = Status (*)(Plugin&);

// Marks a plug-in's exported entry points and version data:
//   KESTREL_PLUGIN_EXPORT kestrel::Status initializePlugin(kestrel::Plugin& plugin) { ... }
//   KESTREL_PLUGIN_EXPORT const char kestrelInterfaceVersion[] = "20190000";
#define KESTREL_PLUGIN_EXPORT extern "C" Q_DECL_EXPORT

// One per loaded library, alive from just before initializePlugin to just after
// uninitializePlugin. Whatever a plug-in registers through it is recorded as the plug-in's,
// and whatever the plug-in leaves registered is removed (with a warning) before its library
// is unloaded.
class KESTREL_EXPORT Plugin
{
public:
    Plugin(Host& host, const QString& name, const QString& filePath);
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // The library's base name without "lib" and ".so" ("kestreltestplugin").
    const QString& Name() const { return m_name; }
    // Absolute path of the loaded library.
    const QString& FilePath() const { return m_filePath; }
    // The folder the library was loaded from, without a trailing '/'.
    QString LoadFolder() const;
    Host& GetHost() const { return m_host; }

    // Describes the plug-in. The host keeps the texts for display and does not interpret them.
    void SetIdentity(const QString& vendor, const QString& version,
                     const QString& requiredInterfaceVersion);
    const QString& Vendor() const { return m_vendor; }
    const QString& Version() const { return m_version; }
    const QString& RequiredInterfaceVersion() const { return m_requiredInterfaceVersion; }

    // Adds a command to the script language (see CommandRegistry::Register).
    Status RegisterCommand(const QString& name, CommandCreator creator,
                           SyntaxBuilder syntaxBuilder = SyntaxBuilder());
    // Removes a command this plug-in registered. NotFound when it has no such command.
    Status DeregisterCommand(const QString& name);

    // Runs `registerStrings` at once (it registers texts through the host's StringResources)
    // and remembers `initProcedureName`, the host-side procedure that would load translated
    // texts. Returns what `registerStrings` returns; InvalidParameter without a function.
    Status RegisterStringResources(const std::function<Status()>& registerStrings,
                                   const QString& initProcedureName);
    const QString& StringInitProcedure() const { return m_stringInitProcedure; }

    // Adds a panel type whose creator builds the panel's widget, tied to `commandName`.
    Status RegisterPanelType(const QString& name, PanelCreator creator, const QString& commandName);
    // Removes a panel type this plug-in registered. NotFound otherwise.
    Status DeregisterPanelType(const QString& name);

private:
    Host& m_host;
    QString m_name;
    QString m_filePath;
    QString m_vendor;
    QString m_version;
    QString m_requiredInterfaceVersion;
    QString m_stringInitProcedure;
};

} // namespace kestrel
