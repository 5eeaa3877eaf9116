#include "plugins/plugin.h"

#include "host.h"

#include <QFileInfo>

namespace kestrel {

Plugin::Plugin(Host& host, const QString& name, const QString& filePath)
    : m_host(host)
    , m_name(name)
    , m_filePath(filePath)
{}

QString Plugin::LoadFolder() const
{
    return QFileInfo(m_filePath).absolutePath();
}

void Plugin::SetIdentity(const QString& vendor, const QString& version,
                         const QString& requiredInterfaceVersion)
{
    m_vendor = vendor;
    m_version = version;
    m_requiredInterfaceVersion = requiredInterfaceVersion;
}

Status Plugin::RegisterCommand(const QString& name, CommandCreator creator,
                               SyntaxBuilder syntaxBuilder)
{
    return m_host.GetCommands().Register(name, std::move(creator), std::move(syntaxBuilder), this);
}

Status Plugin::DeregisterCommand(const QString& name)
{
    const CommandRegistry::Entry* entry = m_host.GetCommands().Find(name);
    if (!entry || entry->owner != this)
        return Status::NotFound;
    return m_host.GetCommands().Deregister(name);
}

Status Plugin::RegisterStringResources(const std::function<Status()>& registerStrings,
                                       const QString& initProcedureName)
{
    if (!registerStrings)
        return Status::InvalidParameter;
    m_stringInitProcedure = initProcedureName;
    return registerStrings();
}

Status Plugin::RegisterPanelType(const QString& name, PanelCreator creator,
                                 const QString& commandName)
{
    return m_host.GetPanels().Register(name, std::move(creator), commandName, this);
}

Status Plugin::DeregisterPanelType(const QString& name)
{
    if (!m_host.GetPanels().NamesOwnedBy(this).contains(name))
        return Status::NotFound;
    return m_host.GetPanels().Deregister(name);
}

} // namespace kestrel
