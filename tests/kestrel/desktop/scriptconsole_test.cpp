// The script console: running typed statements, showing what the host says, the input history.
#include "kestreltest.h"

#include "desktop/consolehistory.h"
#include "desktop/consoleinput.h"
#include "desktop/consoleoutput.h"
#include "desktop/scriptconsole.h"
#include "desktop/usersettings.h"
#include "ui/uilayouts.h"

#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>

using namespace kestrel;

namespace {

using Kind = ConsoleOutput::LineKind;

// Keeps the persisted history of every console made here out of the user's settings.
void UseScratchSettings()
{
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    DesktopSettings().remove(QLatin1String(ScriptConsole::kHistoryKey));
}

class ScriptConsoleTest : public HostTest
{
protected:
    ScriptConsoleTest()
    {
        UseScratchSettings();
        console = MakeConsole();
    }

    std::unique_ptr<ScriptConsole> MakeConsole()
    {
        auto console = std::make_unique<ScriptConsole>(host);
        console->show();
        return console;
    }
    static ConsoleInput* Input(ScriptConsole& console)
    {
        return console.findChild<ConsoleInput*>();
    }
    static ConsoleOutput* Output(ScriptConsole& console)
    {
        return console.findChild<ConsoleOutput*>();
    }
    // Types `text` into the input, Shift+Enter for each newline, and presses Enter.
    void Enter(const QString& text) { Enter(*console, text); }
    static void Enter(ScriptConsole& target, const QString& text)
    {
        ConsoleInput* input = Input(target);
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(input, Qt::Key_Return, Qt::ShiftModifier);
            QTest::keyClicks(input, lines.at(i));
        }
        QTest::keyPress(input, Qt::Key_Return); // no release: the text may delete the input
    }
    // The output pane's lines once the event loop showed the queued ones.
    QStringList Lines()
    {
        QCoreApplication::processEvents();
        return Output(*console)->toPlainText().split(QLatin1Char('\n'));
    }
    // The foreground of the newest line, checked against the colour of `kind`.
    ::testing::AssertionResult LastLineDrawnAs(Kind kind)
    {
        QCoreApplication::processEvents();
        const QTextBlock block = Output(*console)->document()->lastBlock();
        const QColor colour = block.begin().fragment().charFormat().foreground().color();
        if (colour == ConsoleOutput::FormatFor(kind).foreground().color())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << block.text().toStdString()
                                             << "\" is drawn in " << colour.name().toStdString();
    }

    std::unique_ptr<ScriptConsole> console;
};

} // namespace

TEST_F(ScriptConsoleTest, EnterRunsEveryLineUndoablyAndShowsTheResults)
{
    Enter("createNode joint -name A\ncreateNode joint -name B -parent A");
    EXPECT_EQ(Lines(),
              (QStringList{"> createNode joint -name A", "> createNode joint -name B -parent A",
                           "// Result: A", "// Result: B"}));
    EXPECT_TRUE(LastLineDrawnAs(Kind::Result));
    EXPECT_TRUE(Input(*console)->toPlainText().isEmpty());
    ASSERT_NE(Find("B"), nullptr);
    EXPECT_EQ(Find("B")->ParentName(), "A");

    Enter("undo");
    EXPECT_EQ(Find("B"), nullptr);
    EXPECT_NE(Find("A"), nullptr);
}

TEST_F(ScriptConsoleTest, ShowsWhatTheHostSaysWhoeverCausedIt)
{
    Enter("delete Ghost");
    EXPECT_TRUE(Lines().last().startsWith("// Error: "));
    EXPECT_TRUE(LastLineDrawnAs(Kind::Error));
    EXPECT_NE(ConsoleOutput::FormatFor(Kind::Error).foreground(),
              ConsoleOutput::FormatFor(Kind::Output).foreground());

    host.Print("from a plug-in");
    EXPECT_EQ(Lines().last(), "from a plug-in");
    EXPECT_TRUE(LastLineDrawnAs(Kind::Output));
    host.DisplayWarning("pose is not a T-pose");
    EXPECT_EQ(Lines().last(), "// Warning: pose is not a T-pose");
    EXPECT_TRUE(LastLineDrawnAs(Kind::Warning));
    host.GetInterpreter().Execute("noSuchCommand", {}); // as a menu would
    EXPECT_EQ(Lines().last(), "// Error: Unknown command \"noSuchCommand\".");
    EXPECT_TRUE(LastLineDrawnAs(Kind::Error));
}

TEST_F(ScriptConsoleTest, AStatementMayCloseTheConsoleItRunsIn)
{
    QPointer<ScriptConsole> docked = new ScriptConsole(host, host.GetLayouts().MainWindow());
    Enter(*docked, "deleteUI \"kestrelMainWindow|scriptConsole\"; print \"after\"");
    EXPECT_TRUE(docked.isNull());
    EXPECT_EQ(host.GetOutputLog().Last(), "after");
}

TEST_F(ScriptConsoleTest, UpAndDownWalkTheHistoryKeptBetweenSessions)
{
    Enter("print 1");
    Enter("print \"two\"\nprint 3");
    ConsoleInput* input = Input(*console);
    QTest::keyClicks(input, "draft");
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->toPlainText(), "print \"two\"\nprint 3");
    QTest::keyClick(input, Qt::Key_Up); // cursor on the last line: moves within the entry
    EXPECT_EQ(input->toPlainText(), "print \"two\"\nprint 3");
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->toPlainText(), "print 1");
    QTest::keyClick(input, Qt::Key_Up); // the oldest stays
    EXPECT_EQ(input->toPlainText(), "print 1");
    for (int i = 0; i < 3; ++i) // the last press finds nothing newer than the draft
        QTest::keyClick(input, Qt::Key_Down);
    EXPECT_EQ(input->toPlainText(), "draft");
    QTest::keyClick(input, Qt::Key_Tab);
    EXPECT_EQ(input->toPlainText(), "draft") << "Tab moves on, it types no tab";

    console.reset();
    console = MakeConsole();
    QTest::keyClick(Input(*console), Qt::Key_Up);
    EXPECT_EQ(Input(*console)->toPlainText(), "print \"two\"\nprint 3");
}

// Beyond its capacity the history drops its oldest entries.
TEST(ConsoleHistoryTest, KeepsTheNewestEntriesUpToItsCapacity)
{
    ConsoleHistory history;
    for (int i = 0; i <= ConsoleHistory::kCapacity; ++i)
        history.Add(QString::number(i));
    QStringList walked;
    for (QString text; history.Older(QString(), &text);)
        walked << text;
    EXPECT_EQ(walked.size(), ConsoleHistory::kCapacity);
    EXPECT_EQ(walked.last(), "1");
}
