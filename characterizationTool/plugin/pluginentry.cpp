// The plug-in library's entry points: start-up, shutdown and the interface version.
#include "characterizationautomapcmd.h"
#include "characterizationstancecmd.h"
#include "characterizationtoolrecordcmd.h"
#include "characterizationtoolreportcmd.h"
#include "characterizationtooluicmd.h"
#include "pluginstate.h"

#include "host.h"
#include "plugins/plugin.h"
#include "script/stringresources.h"

#include <memory>

namespace {

using kestrel::Status;

// The four error texts, with "^1s" standing for the host's text of the failing status.
Status RegisterErrorTexts()
{
    kestrel::StringResources& resources = kestrel::Host::Current()->GetStringResources();
    const QString& key = PluginState::CommandName();
    const std::pair<const char*, const char*> texts[] = {
        {PluginState::kRegisterUIStringError, "Failed to register string resources ^1s."},
        {PluginState::kRegisterCmdError, "Failed to register command ^1s."},
        {PluginState::kDeregisterCmdError, "Failed to deregister command ^1s."},
        {PluginState::kWidgetCreateStringError,
         "Cannot create the characterization tool widget without a valid layout."},
    };
    for (const auto& text : texts) {
        const Status status =
            resources.Register({key, QLatin1String(text.first)}, QLatin1String(text.second));
        if (status != Status::Success)
            return status;
    }
    return Status::Success;
}

// Shows a registration failure before the plug-in state exists.
void ShowStartupError(kestrel::Host& host, const char* key, Status status)
{
    const QString text =
        host.GetStringResources().Text({PluginState::CommandName(), QLatin1String(key)});
    host.DisplayError(kestrel::StringResources::Format(text, {kestrel::StatusText(status)}));
}

} // namespace

KESTREL_PLUGIN_EXPORT const char kestrelInterfaceVersion[] = "20190000";

KESTREL_PLUGIN_EXPORT Status initializePlugin(kestrel::Plugin& plugin)
{
    kestrel::Host& host = plugin.GetHost();
    plugin.SetIdentity(QStringLiteral("Orrery"), PluginState::VersionText(), QStringLiteral("Any"));
    Status status = plugin.RegisterStringResources(
        RegisterErrorTexts, QStringLiteral("characterizationToolUICmdInitStrings"));
    if (status != Status::Success) {
        ShowStartupError(host, PluginState::kRegisterUIStringError, status);
        return status;
    }
    status = plugin.RegisterCommand(
        PluginState::CommandName(), [] { return std::make_unique<CharacterizationToolUICmd>(); },
        &CharacterizationToolUICmd::BuildSyntax);
    if (status == Status::Success) {
        // Takes no arguments: an empty syntax makes the host refuse any.
        status = plugin.RegisterCommand(
            CharacterizationToolReportCmd::CommandName(),
            [] { return std::make_unique<CharacterizationToolReportCmd>(); },
            [] { return kestrel::Syntax(); });
    }
    if (status == Status::Success) {
        status = plugin.RegisterCommand(
            CharacterizationToolRecordCmd::CommandName(),
            [] { return std::make_unique<CharacterizationToolRecordCmd>(); },
            [] { return kestrel::Syntax(); });
    }
    if (status == Status::Success) {
        status = plugin.RegisterCommand(
            CharacterizationStanceCmd::CommandName(),
            [] { return std::make_unique<CharacterizationStanceCmd>(); },
            &CharacterizationStanceCmd::BuildSyntax);
    }
    if (status == Status::Success) {
        status = plugin.RegisterCommand(
            CharacterizationAutoMapCmd::CommandName(),
            [] { return std::make_unique<CharacterizationAutoMapCmd>(); },
            &CharacterizationAutoMapCmd::BuildSyntax);
    }
    if (status != Status::Success) {
        ShowStartupError(host, PluginState::kRegisterCmdError, status);
        return status;
    }
    plugin.RegisterPanelType(PluginState::PanelTypeName(), CreateCharacterizationPanel,
                             PluginState::CommandName());
    PluginState::Start(host, plugin.LoadFolder());
    return Status::Success;
}

KESTREL_PLUGIN_EXPORT Status uninitializePlugin(kestrel::Plugin& plugin)
{
    plugin.SetIdentity(QStringLiteral("Unknown"), QStringLiteral("Unknown"), QStringLiteral("Any"));
    // The tools close before the command they answer to disappears.
    PluginState::Stop();
    plugin.DeregisterPanelType(PluginState::PanelTypeName());
    Status status = plugin.DeregisterCommand(CharacterizationAutoMapCmd::CommandName());
    if (status == Status::Success)
        status = plugin.DeregisterCommand(CharacterizationStanceCmd::CommandName());
    if (status == Status::Success)
        status = plugin.DeregisterCommand(CharacterizationToolRecordCmd::CommandName());
    if (status == Status::Success)
        status = plugin.DeregisterCommand(CharacterizationToolReportCmd::CommandName());
    if (status == Status::Success)
        status = plugin.DeregisterCommand(PluginState::CommandName());
    if (status != Status::Success) {
        ShowStartupError(plugin.GetHost(), PluginState::kDeregisterCmdError, status);
        return status;
    }
    return Status::Success;
}
