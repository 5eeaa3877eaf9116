// Brings the characterization tool in line with the character nodes of the scene.
#pragma once

#include "kestrelexport.h"

#include <QString>
#include <QStringList>

namespace kestrel {

class Host;
class Scene;

// The scene's character nodes are the record of the tool's characterizations: after a scene is
// opened or made new, and when the tool's panel opens on a scene that has character nodes, the
// host tells the tool what the nodes hold through the tool's own command, exactly as a host
// script would. Nothing happens while the tool's command or its panel is missing.
//
// Whatever the tool sends back while the tool is being told (a binding, a deletion, a lock or
// an inversion) repeats what the scene already says, or would undo it: the character
// procedures ignore it while IsRunning(), so a sync never changes the scene. Afterwards the
// reconciler takes the scene as the record both sides agree on.
class KESTREL_EXPORT CharacterizationSync
{
public:
    // The tool's command and its panel type.
    static const QString& ToolCommand();
    static const QString& ToolPanelType();

    explicit CharacterizationSync(Host& host);

    // The statements that make the tool hold the scene's characterizations, one per entry:
    // the tool is reset to its default state (`-characterlist ""`); when the scene has
    // character nodes, they become its characterizations in scene order (`-characterlist
    // "A;B"`), and then, per node: each bound slot in slot order (`-characternodeassign`),
    // each inverted knee or elbow (`-invertbone`), the node made current (`-setcurrentcharname`)
    // and, for a locked node, `-locktoggle`. A binding from a node that is not a transform, or
    // to an attribute that names no slot, is left out with one line in `warnings`.
    // The node named `current`, when there is one, is made current last.
    static QStringList Statements(const Scene& scene, QStringList* warnings,
                                  const QString& current = QString());

    // Runs Statements() through the tool's command, each statement as its own script text
    // (not undoable), when the tool's command and panel exist. Warnings are displayed.
    void Run();
    // The hook for scene changes: Run().
    void SceneReplaced();
    // The hook for new panels: Run() when `panelType` is the tool's panel and the scene has
    // character nodes (a new panel is already in its default state).
    void PanelCreated(const QString& panelType);
    // True while Run() or Tell() sends statements.
    bool IsRunning() const { return m_running; }
    // Runs tool statements, each as its own script text, not undoable; what the tool sends
    // back meanwhile is ignored by the character procedures (IsRunning()). Stops when the
    // tool's panel closes.
    void Tell(const QStringList& statements);

private:
    bool ToolIsOpen() const;

    Host& m_host;
    bool m_running = false;
};

} // namespace kestrel
