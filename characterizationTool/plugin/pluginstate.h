// Process-wide state of the loaded plug-in: its folders, error texts and the live hub.
#pragma once

#include "base/status.h"
#include "host/kestrel/characterizationtoolwrapper.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

namespace kestrel {
class Host;
}

// One instance per loaded library, alive from start-up to shutdown. Holds the folders the
// tool needs, the host it runs in, the live hub (the bridge of the last panel made) and every
// bridge made, so that none outlives the library.
class PluginState
{
public:
    // The command and string-resource key.
    static const QString& CommandName();
    // The panel type the host knows the tool by.
    static const QString& PanelTypeName();
    // "6" for the product version "6.0.0": the number before its last ".", shortest form.
    static QString VersionText();

    // Error texts, registered under CommandName() with these keys.
    static const char* const kRegisterUIStringError;
    static const char* const kRegisterCmdError;
    static const char* const kDeregisterCmdError;
    static const char* const kWidgetCreateStringError;

    // The state of the loaded library; null before start-up and after shutdown.
    static PluginState* Instance();
    static void Start(kestrel::Host& host, const QString& loadFolder);
    // Deletes every bridge (closing their tools), then forgets the state.
    static void Stop();

    kestrel::Host& Host() const { return m_host; }
    const QString& LoadFolder() const { return m_loadFolder; }
    // The load folder followed by "/../../resources/KestrelCharacterization", as is.
    const QString& ResourceFolder() const { return m_resourceFolder; }

    // The bridge the tool command works on; empty until a panel was made, after it went, and
    // once the host closed its tool widget (that bridge is then let go, so the next open
    // builds a new panel).
    CharacterizationToolWrapper* LiveHub();
    // The model of the live tool, or null when no tool is open (or no plug-in state exists);
    // `hubOut`, when given, receives the live hub or null.
    static CharacterizationModel* LiveModel(CharacterizationToolWrapper** hubOut = nullptr);
    void SetLiveHub(CharacterizationToolWrapper* hub) { m_liveHub = hub; }
    // Takes a bridge into the state's care: deleted at shutdown unless deleted before.
    void Adopt(CharacterizationToolWrapper* hub);

    // Shows the host error made from the text `key`, with `argument` at "^1s".
    void ShowError(const char* key, const QString& argument = QString()) const;

    ~PluginState();

private:
    PluginState(kestrel::Host& host, const QString& loadFolder);

    kestrel::Host& m_host;
    QString m_loadFolder;
    QString m_resourceFolder;
    QPointer<CharacterizationToolWrapper> m_liveHub;
    std::vector<QPointer<CharacterizationToolWrapper>> m_hubs;
};

// Builds the tool's panel: a bridge that finds the host layout and makes the tool in it. The
// parent widget is not used; the tool sits in the host layout. Returns the tool widget, which
// becomes the live hub's, or null (and no bridge is left) when no layout exists.
QWidget* CreateCharacterizationPanel(QWidget* parent, const QString& objectName);
