// The kestrel desktop with the real tool: the panel docks under its script name, the host's
// character controls drive the tool and follow it, and the File menu's actions.
#include "pluginhosttest.h"

#include "solver/nodenames.h"

#include "desktop/charactercontrols.h"
#include "desktop/desktopwindow.h"
#include "desktop/scenefileactions.h"
#include "io/scenedocument.h"
#include "ui/uilayouts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

using namespace kestrel;

namespace {

class Desktop : public PluginHostTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settingsDir.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        window = DesktopWindow::Install(host);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(DesktopWindow::Install(host), nullptr) << "one main window per host";
        QString error;
        ASSERT_NE(host.GetLayouts().CreateLayout("kntCharacterizationScrollControl",
                                                 host.GetLayouts().MainWindow(), &error),
                  nullptr)
            << qPrintable(error);
        window->show();
    }

    QWidget* ToolLayout()
    {
        return host.GetLayouts().FindLayout("kntCharacterizationScrollControl");
    }
    QDockWidget* ToolDock() { return window->DockOf(ToolLayout()); }
    CharacterControls& controls() { return window->Controls(); }
    QAction* ToolBarAction(const QString& text)
    {
        for (QAction* action : controls().ToolBar()->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }
    void OpenTool()
    {
        RunOk(QStringLiteral("openScene \"%1\"").arg(SamplePath("biped_tpose.json")));
        window->ShowCharacterizationTool();
        QApplication::processEvents();
    }

    QTemporaryDir settingsDir;
    DesktopWindow* window = nullptr;
};

} // namespace

TEST_F(Desktop, ThePanelDocksUnderItsScriptNameAndComesBackAfterItsDockIsClosed)
{
    EXPECT_FALSE(ToolDock()->isVisible()) << "an empty tool dock stays out of the way";
    OpenTool();
    ASSERT_TRUE(ToolDock()->isVisible());
    QWidget* panel = host.GetLayouts().FindWidget(kToolPanel);
    ASSERT_NE(panel, nullptr) << "the dock and scroll area are invisible to names";
    EXPECT_EQ(host.GetLayouts().FullName(panel), kToolPanel);
    EXPECT_TRUE(panel->isVisible()) << "a panel put into a layout on screen shows";
    EXPECT_EQ(host.GetLayouts().HoldingLayout(panel), ToolLayout());
    EXPECT_TRUE(ToolDock()->isAncestorOf(controls().ToolBar())) << "controls sit above the panel";

    ToolDock()->close();
    EXPECT_FALSE(ToolDock()->isVisible());
    const QList<QAction*> entries = controls().Menu()->actions();
    const auto open = std::find_if(entries.begin(), entries.end(), [](const QAction* action) {
        return action->text() == "Open Characterization Tool";
    });
    ASSERT_NE(open, entries.end());
    (*open)->trigger();
    EXPECT_TRUE(ToolDock()->isVisible());
    EXPECT_EQ(host.GetLayouts().FindWidget(kToolPanel), panel) << "reopening makes no second panel";
    EXPECT_EQ(host.GetLayouts().FindWidget(kToolPanel + "2"), nullptr);
}

// The character controls drive the tool and follow its state; Edit > Undo and Redo say what they
// would replay and are off when there is nothing; a lock from the tool bar reaches the scene as
// one step that undo takes back on both sides.
TEST_F(Desktop, CharacterControlsAndUndoFollowTheToolAndTheLock)
{
    QMenu* edit = nullptr;
    for (QAction* action : window->menuBar()->actions()) {
        if (action->text() == "&Edit")
            edit = action->menu();
    }
    ASSERT_NE(edit, nullptr);
    QAction* undo = edit->actions().value(0);
    QAction* redo = edit->actions().value(1);
    EXPECT_FALSE(controls().Chooser()->isEnabled()) << "nothing to drive before the panel opens";
    OpenTool();
    ASSERT_TRUE(controls().Chooser()->isEnabled());
    EXPECT_FALSE(undo->isEnabled()) << "opening a scene leaves nothing to undo";
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(controls().CreateCharacterization(), "Character1");
    EXPECT_EQ(controls().CreateCharacterization(), "Character2");
    EXPECT_EQ(controls().Chooser()->currentText(), "Character2");
    EXPECT_EQ(controls().StatusLabel()->text(), QString::fromUtf8("\u25cf Error"))
        << "an empty characterization misses its required joints";
    // Made current from the chooser, as a person picks it.
    controls().Chooser()->setCurrentIndex(controls().Chooser()->findText("Character1"));
    emit controls().Chooser()->activated(controls().Chooser()->currentIndex());
    EXPECT_EQ(Cmd("-q -currentcharname"), "Character1");

    // Bindings made by a script reach the status through the tool's callback.
    for (int id = 1; id <= 15; ++id)
        RunOk(QStringLiteral("setCharacterObject(\"Char1:%1\",\"Character1\",%2,0)")
                  .arg(kinetra::NodeName(id))
                  .arg(id));
    QApplication::processEvents();
    EXPECT_NE(controls().StatusLabel()->text(), QString::fromUtf8("\u25cf Error"));
    EXPECT_EQ(undo->text(), "&Undo setCharacterObject(\"Char1:Head\", \"Character1\", 15, 0)");
    ASSERT_NE(ToolBarAction("Lock"), nullptr);
    ToolBarAction("Lock")->trigger();
    QApplication::processEvents(); // the panel's step closes when control comes back
    EXPECT_EQ(Cmd("-q -islocked"), "true");
    EXPECT_EQ(Attribute("Character1", "InputCharacterizationLock"), Value(true));
    EXPECT_NE(ToolBarAction("Unlock"), nullptr) << "the lock button shows what it will do";
    EXPECT_EQ(undo->text(), "&Undo Lock Character1");

    undo->trigger();
    EXPECT_EQ(Cmd("-q -islocked"), "false");
    EXPECT_EQ(Attribute("Character1", "InputCharacterizationLock"), Value(false));
    EXPECT_EQ(redo->text(), "&Redo Lock Character1");
    redo->trigger();
    EXPECT_EQ(Cmd("-q -islocked"), "true");
    EXPECT_EQ(Attribute("Character1", "InputCharacterizationLock"), Value(true));
    EXPECT_FALSE(redo->isEnabled());

    // A deletion from the tool bar is one step named after it, however many slots went with it.
    ToolBarAction("Unlock")->trigger();
    QTimer::singleShot(0, [] { // the tool asks first
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    ToolBarAction("Delete")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(undo->text(), "&Undo Delete Character1");
    undo->trigger();
    EXPECT_EQ(Cmd("-q -characterlist"), "Character2 Character1") << "back, at the end";

    Cmd("-e -characterlist \"Character2\"");
    QApplication::processEvents();
    EXPECT_EQ(controls().Characterizations(), QStringList{"Character2"});
    EXPECT_TRUE(Errors().isEmpty()) << qPrintable(Errors().join('\n'));
}

TEST_F(Desktop, FileActionsRunTheSceneCommandsAndRememberRecentFiles)
{
    SceneFileActions& files = window->FileActions();
    ASSERT_TRUE(files.Open(SamplePath("biped_tpose.json")));
    const int nodes = scene().NodeCount();
    EXPECT_GT(nodes, 20);
    EXPECT_FALSE(files.Open(TestData("not_a_skeleton.glb")));
    EXPECT_EQ(scene().NodeCount(), nodes) << "a file that cannot be read leaves the scene alone";

    const QString saved = settingsDir.filePath("saved.json");
    ASSERT_TRUE(files.SaveAs(saved));
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_EQ(files.RecentFiles(), QStringList({saved, SamplePath("biped_tpose.json")}));
    ASSERT_TRUE(files.NewScene());
    EXPECT_EQ(scene().NodeCount(), 0);
    ASSERT_TRUE(files.Open(files.RecentFiles().first()));
    EXPECT_EQ(scene().NodeCount(), nodes);
}

// A changed scene is not dropped without a question: File > New asks (Enter saves), Cancel
// keeps the scene, Discard replaces it.
TEST_F(Desktop, NewSceneAsksBeforeDroppingUnsavedChanges)
{
    SceneFileActions& files = window->FileActions();
    ASSERT_TRUE(files.Open(SamplePath("biped_tpose.json")));
    EXPECT_FALSE(files.IsModified());
    RunOk("setAttr Char1:LeftHand.translateY 40");
    EXPECT_TRUE(files.IsModified());
    QAction* newScene = files.Menu()->actions().value(0);
    ASSERT_EQ(newScene->text(), "&New Scene");
    QStringList asked; // the default button of every question
    const auto answerWith = [&asked](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&asked, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            asked << box->defaultButton()->text().remove('&');
            box->button(button)->click();
        });
    };
    answerWith(QMessageBox::Cancel);
    EXPECT_FALSE(files.MaySetSceneAside());
    answerWith(QMessageBox::Discard);
    newScene->trigger();
    EXPECT_EQ(scene().NodeCount(), 0);
    EXPECT_EQ(asked, QStringList({"Save", "Save"}));
    EXPECT_FALSE(files.IsModified());
}

// Help > About tells a new user where to start, in HTML whose every '<' opens a tag.
TEST_F(Desktop, AboutTellsWhereToStart)
{
    QMenu* help = nullptr;
    for (QAction* action : window->menuBar()->actions())
        help = action->text() == "&Help" ? action->menu() : help;
    ASSERT_NE(help, nullptr);
    QString text;
    QTimer::singleShot(0, [&text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
    help->actions().value(0)->trigger();
    EXPECT_TRUE(text.contains("Characterization Tool (Windows)")) << qPrintable(text);
    EXPECT_FALSE(text.contains(QRegularExpression("<(?![a-zA-Z/!])"))) << qPrintable(text);
}
