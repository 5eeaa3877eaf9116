// The kestrel desktop: the main window a person works in when kestrel runs without --batch.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QDockWidget;
class QLabel;
class QMenu;

namespace kestrel {

class CharacterControls;
class Host;
class SceneFileActions;
class Viewport;

// Menus (File, Edit, Character, Windows, Help), a tool bar with the character controls,
// docked panels around a central view, and a status bar. It takes the host's main window
// place: a layout or panel that a plug-in puts directly under the main window gets a dock of
// its own (the tool's "kntCharacterizationScrollControl" becomes "Characterization Tool"), so
// full names such as "kestrelMainWindow|kntCharacterizationScrollControl|CharacterizationTool1"
// stay what scripts expect.
class DesktopWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DesktopWindow(Host& host, QWidget* parent = nullptr);
    ~DesktopWindow() override;

    // Makes a new window the host's main window (owned by the host's layouts, like the plain
    // one a batch run gets) with the viewport, outliner, attribute editor and script console.
    // nullptr when the host already has a main window.
    static DesktopWindow* Install(Host& host);

    void SetCentralView(QWidget* view);
    // Docks `panel` in `area` under `title`, with an entry in the Windows menu that shows it
    // again after it was closed.
    QDockWidget* AddPanel(QWidget* panel, const QString& title, Qt::DockWidgetArea area);
    // Docks what the host's layouts put directly under the main window.
    void PlaceHostWidget(QWidget* widget);
    // The dock showing `widget`, or nullptr.
    QDockWidget* DockOf(const QWidget* widget) const;

    SceneFileActions& FileActions() const { return *m_fileActions; }
    CharacterControls& Controls() const { return *m_controls; }

    // Opens the characterization panel (loading the tool when needed) and shows its dock.
    void ShowCharacterizationTool();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Shows a host widget's dock when something (the tool's panel) is put into it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildEditMenu();
    // Names the steps Undo and Redo would replay ("Undo Clear Head"), disabled when none.
    void UpdateUndoActions();
    void BuildViewMenu(Viewport* viewport);
    void BuildWindowsMenu();
    void BuildHelpMenu();
    void UpdateStatusBar();
    void UpdateWindowTitle();
    void ShowCommandLineHelp();

    Host& m_host;
    SceneFileActions* m_fileActions = nullptr; // children of this window

    CharacterControls* m_controls = nullptr;
    QMenu* m_windowsMenu = nullptr;
    QAction* m_toolAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    int m_executedCallback = 0;
    QLabel* m_sceneLabel = nullptr;
    QLabel* m_selectionLabel = nullptr;
    QHash<const QWidget*, QPointer<QDockWidget>> m_docks;
    quint64 m_selectionCallback = 0;
    quint64 m_addedCallback = 0;
    quint64 m_destroyedCallback = 0;
};

} // namespace kestrel
