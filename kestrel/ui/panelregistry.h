// Panel types: named widget creators that plug-ins register and the host instantiates.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"

#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

namespace kestrel {

class Plugin;

// Builds a panel's widget under `parent` with `objectName`; returns nullptr when it cannot.
// The host does not take ownership: the widget belongs to whatever parent it ends up with.
using PanelCreator = std::function<QWidget*(QWidget* parent, const QString& objectName)>;
// Told the type name of each panel Create() made, right after its creator returned it.
using PanelCreatedCallback = std::function<void(const QString& typeName)>;

class KESTREL_EXPORT PanelRegistry
{
public:
    PanelRegistry() = default;
    PanelRegistry(const PanelRegistry&) = delete;
    PanelRegistry& operator=(const PanelRegistry&) = delete;

    // InvalidParameter for an empty name or creator, AlreadyExists for a used name.
    Status Register(const QString& name, PanelCreator creator, const QString& commandName,
                    const Plugin* owner);
    // NotFound when there is no such panel type.
    Status Deregister(const QString& name);
    bool Contains(const QString& name) const { return m_types.contains(name); }
    // The command tied to the panel type, or empty.
    QString CommandName(const QString& name) const;
    QStringList Names() const { return m_types.keys(); }
    QStringList NamesOwnedBy(const Plugin* owner) const;

    // Runs the panel type's creator. The widget it returns is remembered as its owner's until
    // it is destroyed. nullptr with NotFound (no such type) or Failure (the creator made
    // nothing) in `status`.
    QWidget* Create(const QString& name, QWidget* parent, const QString& objectName,
                    Status* status);
    // Whether a widget that Create() made for panel type `name` still exists.
    bool HasWidget(const QString& name) const;
    // Runs `callback` after every panel Create() makes, in the order added; there is no
    // removal, so the callback must live as long as the registry (the host's own hooks).
    void AddCreatedCallback(PanelCreatedCallback callback);
    // Deletes the widgets that `owner`'s creators made and that still exist, so that no
    // object of a plug-in outlives its library. Returns how many it deleted.
    int DeleteWidgetsOwnedBy(const Plugin* owner);

private:
    struct PanelType
    {
        PanelCreator creator;
        QString commandName;
        const Plugin* owner = nullptr;
    };
    struct Made
    {
        QPointer<QWidget> widget;
        const Plugin* owner = nullptr;
        QString typeName;
    };
    QMap<QString, PanelType> m_types;
    std::vector<Made> m_made;
    std::vector<PanelCreatedCallback> m_createdCallbacks;
};

} // namespace kestrel
