// The desktop's File menu: new, open, import, save, recent files and quit.
#pragma once

#include "scene/scenenotifier.h"

#include <QObject>
#include <QStringList>

#include <vector>

class QMenu;
class QWidget;

namespace kestrel {

class Host;

// Each action runs the command a script would (newScene, openScene, importFile, saveScene,
// quit). The recent files (opened or saved, newest first, at most eight) are kept in the user's
// settings ("Kestrel/desktop": ~/.config/Kestrel/desktop.ini on Linux).
//
// The scene counts as modified after any change to its nodes since it was last made, opened or
// saved. The menu's New, Open, Open Recent and Quit first ask whether to save such changes;
// scripts are never asked.
class SceneFileActions : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRecentFiles = 8;

    SceneFileActions(Host& host, QWidget* window);
    ~SceneFileActions() override;

    QMenu* Menu() const { return m_menu; }
    QStringList RecentFiles() const;

    // The actions without their dialogs; false when the command failed (the host shows why).
    bool NewScene();
    bool Open(const QString& path);
    bool Import(const QString& path);
    bool Save();
    bool SaveAs(const QString& path);

    // Whether the scene changed since it was last made, opened or saved.
    bool IsModified() const { return m_modified; }
    // Asks whether to save a modified scene before it is replaced or the program ends: true
    // when the caller may go on (nothing to save, saved, or discarded), false when the user
    // cancelled or the save did not happen. Enter saves.
    bool MaySetSceneAside();

    // The file-name filter of the open and import dialogs.
    static QString OpenFilter();

signals:
    // A scene was opened, made, imported or saved.
    void DocumentChanged();

private:
    void ChooseAndOpen();
    void ChooseAndImport();
    void ChooseAndSaveAs();
    void RememberRecent(const QString& path);
    void RebuildRecentMenu();
    bool Run(const QString& statement);
    void MarkModified();

    Host& m_host;
    QWidget* m_window;
    QMenu* m_menu;
    QMenu* m_recentMenu;
    std::vector<CallbackId> m_callbacks;
    bool m_modified = false;
};

} // namespace kestrel
