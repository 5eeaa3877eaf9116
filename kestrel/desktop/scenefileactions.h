// The desktop's File menu: new, open, import, save, recent files and quit.
#pragma once

#include <QObject>
#include <QStringList>

class QMenu;
class QWidget;

namespace kestrel {

class Host;

// Each action runs the command a script would (newScene, openScene, importFile, saveScene,
// quit). The recent files (opened or saved, newest first, at most eight) are kept in the user's
// settings ("Kestrel/desktop": ~/.config/Kestrel/desktop.ini on Linux).
class SceneFileActions : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRecentFiles = 8;

    SceneFileActions(Host& host, QWidget* window);

    QMenu* Menu() const { return m_menu; }
    QStringList RecentFiles() const;

    // The actions without their dialogs; false when the command failed (the host shows why).
    bool NewScene();
    bool Open(const QString& path);
    bool Import(const QString& path);
    bool Save();
    bool SaveAs(const QString& path);

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

    Host& m_host;
    QWidget* m_window;
    QMenu* m_menu;
    QMenu* m_recentMenu;
};

} // namespace kestrel
