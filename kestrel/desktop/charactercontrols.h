// The host's character controls: a tool bar above the characterization panel and a Character
// menu, both driving the tool through its command.
#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QWidget;

namespace kestrel {

class Host;

// Every action runs "characterizationToolUICmd -e ..." as a host script would; the controls read
// the tool's state back with "-q" queries whenever the tool calls the host procedure
// kntUpdateCharacterControlsUICallback, and when the panel opens. Without the tool's panel
// everything but "Open Characterization Tool" is disabled.
class CharacterControls : public QObject
{
    Q_OBJECT

public:
    CharacterControls(Host& host, QWidget* window);
    ~CharacterControls() override;

    // The chooser and the status, a row above the tool bar.
    QWidget* ChooserRow() const { return m_chooserRow; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QMenu* Menu() const { return m_menu; }
    QComboBox* Chooser() const { return m_chooser; }
    QLabel* StatusLabel() const { return m_status; }

    // Reads the tool's characterizations, lock, mirror and status into the controls.
    void Refresh();
    // Refreshes once control returns to the event loop (many changes, one refresh).
    void ScheduleRefresh();
    // Creates "Character<n>" (the smallest free n) and makes it current; its name, or empty.
    QString CreateCharacterization();
    // The characterizations the tool lists, without its "no character" placeholder.
    QStringList Characterizations() const;

signals:
    // Asks the window to open the characterization panel.
    void OpenToolRequested();

private:
    QAction* AddToolAction(const QString& text, const QString& icon, const QString& statement);
    void BuildMenu();
    bool ToolIsOpen() const;
    bool Query(const QString& flag) const;
    void ChooseCurrent(int index);
    void ShowStatus(bool open);
    void SetIcons();

    Host& m_host;
    QWidget* m_chooserRow;
    QToolBar* m_toolBar;
    QMenu* m_menu;
    QComboBox* m_chooser;
    QLabel* m_status;
    QAction* m_create = nullptr;
    QAction* m_lock = nullptr;
    QAction* m_mirror = nullptr;
    QList<QAction*> m_toolActions; // enabled only with the tool's panel open
    QTimer* m_refreshTimer;
    QTimer* m_pollTimer;
    int m_refreshCallback = 0;
    int m_executedCallback = 0;
    quint64 m_selectionCallback = 0;
    bool m_refreshing = false;
};

} // namespace kestrel
