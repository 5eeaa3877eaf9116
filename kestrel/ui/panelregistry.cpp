#include "ui/panelregistry.h"

#include <algorithm>

namespace kestrel {

Status PanelRegistry::Register(const QString& name, PanelCreator creator,
                               const QString& commandName, const Plugin* owner)
{
    if (name.isEmpty() || !creator)
        return Status::InvalidParameter;
    if (m_types.contains(name))
        return Status::AlreadyExists;
    m_types.insert(name, {std::move(creator), commandName, owner});
    return Status::Success;
}

Status PanelRegistry::Deregister(const QString& name)
{
    return m_types.remove(name) > 0 ? Status::Success : Status::NotFound;
}

QString PanelRegistry::CommandName(const QString& name) const
{
    return m_types.value(name).commandName;
}

QStringList PanelRegistry::NamesOwnedBy(const Plugin* owner) const
{
    QStringList names;
    for (auto it = m_types.constBegin(); it != m_types.constEnd(); ++it) {
        if (it.value().owner == owner)
            names.append(it.key());
    }
    return names;
}

QWidget* PanelRegistry::Create(const QString& name, QWidget* parent, const QString& objectName,
                               Status* status)
{
    const auto it = m_types.constFind(name);
    if (it == m_types.constEnd()) {
        *status = Status::NotFound;
        return nullptr;
    }
    // Copy: the creator may deregister its own panel type.
    const PanelType type = it.value();
    QWidget* widget = type.creator(parent, objectName);
    *status = widget ? Status::Success : Status::Failure;
    if (!widget)
        return nullptr;
    const QPointer<QWidget> made(widget);
    m_made.push_back({widget, type.owner, name});
    // Copies: a callback may run scripts that register more.
    const std::vector<PanelCreatedCallback> callbacks = m_createdCallbacks;
    for (const PanelCreatedCallback& callback : callbacks)
        callback(name);
    // A callback's scripts may have closed the panel again.
    if (!made)
        *status = Status::Failure;
    return made.data();
}

bool PanelRegistry::HasWidget(const QString& name) const
{
    return std::any_of(m_made.begin(), m_made.end(),
                       [&name](const Made& made) { return made.widget && made.typeName == name; });
}

void PanelRegistry::AddCreatedCallback(PanelCreatedCallback callback)
{
    m_createdCallbacks.push_back(std::move(callback));
}

int PanelRegistry::DeleteWidgetsOwnedBy(const Plugin* owner)
{
    int deleted = 0;
    std::vector<Made> kept;
    for (Made& made : m_made) {
        if (made.owner != owner) {
            if (made.widget)
                kept.push_back(made);
            continue;
        }
        if (made.widget) {
            // The library that defines the widget's class is about to be unloaded: the widget
            // must go now, a deferred deletion would run code that is no longer mapped.
            delete made.widget.data();
            ++deleted;
        }
    }
    m_made = std::move(kept);
    return deleted;
}

} // namespace kestrel
