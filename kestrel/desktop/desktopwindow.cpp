#include "desktop/desktopwindow.h"

#include "batch/batchoptions.h"
#include "desktop/attributeeditor.h"
#include "desktop/charactercontrols.h"
#include "desktop/outliner.h"
#include "desktop/scenefileactions.h"
#include "desktop/scriptconsole.h"
#include "desktop/usercommand.h"
#include "desktop/viewport.h"
#include "host.h"
#include "io/scenedocument.h"
#include "scene/scene.h"
#include "script/commandregistry.h"
#include "script/undoqueue.h"
#include "ui/uilayouts.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const char kToolLayout[] = "kntCharacterizationScrollControl";
const char kToolCommand[] = "characterizationToolUICmd";
// Dock widths, pixels. The tool's is room for the Name Match tree's deepest rows with their
// joint names unelided, and for the figure with a margin.
constexpr int kToolDockWidth = 400;
constexpr int kHostWidgetDockWidth = 250;

} // namespace

DesktopWindow::DesktopWindow(Host& host, QWidget* parent)
    : QMainWindow(parent)
    , m_host(host)
{
    setWindowTitle(QStringLiteral("Kestrel"));
    setDockOptions(AnimatedDocks | AllowTabbedDocks | AllowNestedDocks);
    // The right-hand panels (the characterization tool) run the window's full height; the
    // script console stops at their edge.
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    resize(1400, 900);
    m_fileActions = new SceneFileActions(host, this);
    menuBar()->addMenu(m_fileActions->Menu());
    BuildEditMenu();
    m_controls = new CharacterControls(host, this);
    connect(m_controls, &CharacterControls::OpenToolRequested, this,
            &DesktopWindow::ShowCharacterizationTool);
    menuBar()->addMenu(m_controls->Menu());
    BuildWindowsMenu();
    BuildHelpMenu();

    m_sceneLabel = new QLabel(this);
    m_selectionLabel = new QLabel(this);
    statusBar()->addWidget(m_sceneLabel, 1);
    statusBar()->addPermanentWidget(m_selectionLabel);
    // Status updates are coalesced: opening a large scene announces every node.
    auto* statusTimer = new QTimer(this);
    statusTimer->setSingleShot(true);
    connect(statusTimer, &QTimer::timeout, this, [this] {
        UpdateStatusBar();
        UpdateWindowTitle();
    });
    SceneNotifier& notifier = host.GetScene().GetNotifier();
    const auto later = [statusTimer] {
        if (!statusTimer->isActive())
            statusTimer->start(0);
    };
    m_selectionCallback = notifier.AddSelectionChangedCallback(later);
    m_addedCallback = notifier.AddNodeAddedCallback([later](Node&) { later(); });
    m_destroyedCallback =
        notifier.AddDestroyedCallback(nullptr, [later](const QString&) { later(); });
    connect(m_fileActions, &SceneFileActions::DocumentChanged, this, later);
    later();
}

DesktopWindow::~DesktopWindow()
{
    m_host.GetInterpreter().RemoveExecutedCallback(m_executedCallback);
    SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    for (quint64 id : {m_selectionCallback, m_addedCallback, m_destroyedCallback})
        notifier.RemoveCallback(id);
}

DesktopWindow* DesktopWindow::Install(Host& host)
{
    auto window = std::make_unique<DesktopWindow>(host);
    DesktopWindow* desktop = window.get();
    if (!host.GetLayouts().InstallMainWindow(
            std::move(window), [desktop](QWidget* widget) { desktop->PlaceHostWidget(widget); }))
        return nullptr;
    auto* viewport = new Viewport(host, desktop);
    desktop->SetCentralView(viewport);
    desktop->BuildViewMenu(viewport);
    QDockWidget* outliner = desktop->AddPanel(new Outliner(host, desktop),
                                              QStringLiteral("Outliner"), Qt::LeftDockWidgetArea);
    QDockWidget* attributes = desktop->AddPanel(
        new AttributeEditor(host, desktop), QStringLiteral("Attributes"), Qt::LeftDockWidgetArea);
    desktop->resizeDocks({outliner}, {300}, Qt::Horizontal);
    desktop->resizeDocks({outliner, attributes}, {420, 300}, Qt::Vertical);
    QDockWidget* console =
        desktop->AddPanel(new ScriptConsole(host, desktop), QStringLiteral("Script Console"),
                          Qt::BottomDockWidgetArea);
    desktop->resizeDocks({console}, {180}, Qt::Vertical);
    return desktop;
}

void DesktopWindow::SetCentralView(QWidget* view)
{
    setCentralWidget(view);
    UiLayouts::MarkAsPlacement(view);
}

QDockWidget* DesktopWindow::AddPanel(QWidget* panel, const QString& title, Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(panel->objectName() + QStringLiteral("Dock"));
    dock->setWidget(panel);
    UiLayouts::MarkAsPlacement(dock);
    addDockWidget(area, dock);
    m_windowsMenu->addAction(dock->toggleViewAction());
    m_docks.insert(panel, dock);
    return dock;
}

void DesktopWindow::PlaceHostWidget(QWidget* widget)
{
    const bool isTool = widget->objectName() == QLatin1String(kToolLayout);
    auto* dock = new QDockWidget(
        isTool ? QStringLiteral("Characterization Tool") : widget->objectName(), this);
    dock->setObjectName(widget->objectName() + QStringLiteral("Dock"));
    auto* content = new QWidget(dock);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (isTool) {
        layout->addWidget(m_controls->ChooserRow());
        layout->addWidget(m_controls->ToolBar());
    }
    auto* scroll = new QScrollArea(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(widget);
    layout->addWidget(scroll);
    dock->setWidget(content);
    for (QWidget* container :
         {static_cast<QWidget*>(dock), content, static_cast<QWidget*>(scroll), scroll->viewport()})
        UiLayouts::MarkAsPlacement(container);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    resizeDocks({dock}, {isTool ? kToolDockWidth : kHostWidgetDockWidth}, Qt::Horizontal);
    m_docks.insert(widget, dock);
    widget->installEventFilter(this);
    if (isTool) {
        // Shown once the panel is in it, or when asked for through the Windows menu.
        dock->hide();
        // Also emitted while the window is torn down: only the signal's own value is used.
        QPointer<QAction> action = m_toolAction;
        connect(dock, &QDockWidget::visibilityChanged, m_toolAction, [action](bool visible) {
            if (action)
                action->setChecked(visible);
        });
    } else {
        m_windowsMenu->addAction(dock->toggleViewAction());
    }
}

QDockWidget* DesktopWindow::DockOf(const QWidget* widget) const
{
    return m_docks.value(widget);
}

void DesktopWindow::ShowCharacterizationTool()
{
    if (!m_host.GetCommands().Find(QLatin1String(kToolCommand)))
        UserCommand::Run(m_host, QStringLiteral("loadPlugin \"characterizationTool\""));
    QWidget* layout = m_host.GetLayouts().FindLayout(QLatin1String(kToolLayout));
    if (layout && layout->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).isEmpty() &&
        m_host.GetCommands().Find(QLatin1String(kToolCommand)))
        UserCommand::Run(m_host, QLatin1String(kToolCommand));
    if (QDockWidget* dock = DockOf(layout)) {
        dock->show();
        dock->raise();
    }
    m_controls->Refresh();
}

bool DesktopWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ChildAdded &&
        static_cast<QChildEvent*>(event)->child()->isWidgetType()) {
        auto* holder = qobject_cast<QWidget*>(watched);
        if (QDockWidget* dock = DockOf(holder)) {
            dock->show();
            dock->raise();
        }
        // A plug-in may give the layout a child without putting it in the layout's
        // arrangement (the tool's pages are such a child): arrange it once it is built, so it
        // shows and the scroll area makes room for it.
        QPointer<QWidget> child = static_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
        QTimer::singleShot(0, holder, [holder, child] {
            if (child && !child->isWindow() && child->parentWidget() == holder &&
                holder->layout() && holder->layout()->indexOf(child) < 0)
                holder->layout()->addWidget(child);
        });
        // The tool answers queries only once its panel is complete.
        m_controls->ScheduleRefresh();
    }
    return QMainWindow::eventFilter(watched, event);
}

void DesktopWindow::closeEvent(QCloseEvent* event)
{
    // Only a person closing the window is asked; a script's quit closes it without a question.
    if (event->spontaneous() && !m_fileActions->MaySetSceneAside()) {
        event->ignore();
        return;
    }
    m_host.RequestQuit();
    event->accept();
}

void DesktopWindow::BuildEditMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Edit"));
    m_undoAction = menu->addAction(QStringLiteral("&Undo"), this,
                                   [this] { UserCommand::Run(m_host, QStringLiteral("undo")); });
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction = menu->addAction(QStringLiteral("&Redo"), this,
                                   [this] { UserCommand::Run(m_host, QStringLiteral("redo")); });
    m_redoAction->setShortcut(QKeySequence::Redo);
    // Every change of the queue comes from a script text or a closing panel step, each of
    // which ends with the interpreter's executed callbacks.
    m_executedCallback =
        m_host.GetInterpreter().AddExecutedCallback([this] { UpdateUndoActions(); });
    UpdateUndoActions();
}

void DesktopWindow::UpdateUndoActions()
{
    const UndoQueue& queue = m_host.GetUndoQueue();
    const auto name = [](const QString& verb, const QString& label) {
        return label.isEmpty() ? verb : QStringLiteral("%1 %2").arg(verb, label);
    };
    m_undoAction->setEnabled(queue.CanUndo());
    m_undoAction->setText(name(QStringLiteral("&Undo"), queue.UndoLabel()));
    m_redoAction->setEnabled(queue.CanRedo());
    m_redoAction->setText(name(QStringLiteral("&Redo"), queue.RedoLabel()));
}

void DesktopWindow::BuildViewMenu(Viewport* viewport)
{
    // Before the Windows menu, as people expect it.
    QMenu* menu = new QMenu(QStringLiteral("&View"), this);
    menuBar()->insertMenu(m_windowsMenu->menuAction(), menu);
    menu->addAction(QStringLiteral("&Perspective"), viewport, &Viewport::ShowPerspective,
                    QKeySequence(Qt::Key_1));
    menu->addAction(QStringLiteral("&Front"), viewport, &Viewport::ShowFront,
                    QKeySequence(Qt::Key_2));
    menu->addAction(QStringLiteral("&Side"), viewport, &Viewport::ShowSide,
                    QKeySequence(Qt::Key_3));
    menu->addAction(QStringLiteral("&Top"), viewport, &Viewport::ShowTop, QKeySequence(Qt::Key_4));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Frame &Selection"), viewport, &Viewport::FrameSelection,
                    QKeySequence(Qt::Key_F));
    menu->addAction(QStringLiteral("Frame &All"), viewport, &Viewport::FrameAll,
                    QKeySequence(Qt::Key_A));
    // The viewport takes these keys itself; here they only show in the menu.
    for (QAction* action : menu->actions())
        action->setShortcutContext(Qt::WidgetShortcut);
}

void DesktopWindow::BuildWindowsMenu()
{
    m_windowsMenu = menuBar()->addMenu(QStringLiteral("&Windows"));
    m_toolAction = m_windowsMenu->addAction(QStringLiteral("Characterization Tool"));
    m_toolAction->setCheckable(true);
    connect(m_toolAction, &QAction::triggered, this, [this](bool show) {
        QDockWidget* dock = DockOf(m_host.GetLayouts().FindLayout(QLatin1String(kToolLayout)));
        if (show)
            ShowCharacterizationTool();
        else if (dock)
            dock->close();
    });
}

void DesktopWindow::BuildHelpMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Help"));
    menu->addAction(QStringLiteral("&About Kestrel"), this, [this] {
        QMessageBox::about(
            this, QStringLiteral("About Kestrel"),
            QStringLiteral("<p><b>Kestrel</b>: a small 3-D host for skeletons and their "
                           "characterization.</p><p>Open or import a skeleton (File), open the "
                           "Characterization Tool (Windows), create a characterization from "
                           "its tool bar, pick a slot in the body diagram and click a joint in "
                           "the viewport to bind it.</p>"));
    });
    menu->addAction(QStringLiteral("&Command Line"), this, &DesktopWindow::ShowCommandLineHelp);
}

void DesktopWindow::ShowCommandLineHelp()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Command Line"),
                    QStringLiteral("kestrel [options] [scene]"), QMessageBox::Ok, this);
    box.setInformativeText(BatchOptions::Usage());
    box.exec();
}

void DesktopWindow::UpdateStatusBar()
{
    const QString path = m_host.GetDocument().FilePath();
    const QString file =
        path.isEmpty() ? QStringLiteral("Untitled scene") : QFileInfo(path).fileName();
    m_sceneLabel->setText(
        QStringLiteral("%1 \u2014 %2 nodes").arg(file).arg(m_host.GetScene().NodeCount()));
    const QStringList selected = m_host.GetScene().GetSelection().Names();
    if (selected.isEmpty())
        m_selectionLabel->setText(QStringLiteral("Nothing selected"));
    else if (selected.size() == 1)
        m_selectionLabel->setText(QStringLiteral("Selected: %1").arg(selected.first()));
    else
        m_selectionLabel->setText(QStringLiteral("Selected: %1 and %2 more")
                                      .arg(selected.first())
                                      .arg(selected.size() - 1));
    // Permanent status widgets keep the width they were first given unless told.
    m_selectionLabel->setMinimumWidth(m_selectionLabel->sizeHint().width());
}

void DesktopWindow::UpdateWindowTitle()
{
    const QString path = m_host.GetDocument().FilePath();
    setWindowTitle(path.isEmpty() ? QStringLiteral("Kestrel")
                                  : QStringLiteral("%1 - Kestrel").arg(QFileInfo(path).fileName()));
}

} // namespace kestrel
