// The script console: running typed statements, showing what the host says, the input history.
#include "kestreltest.h"

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

TEST_F(ScriptConsoleTest, EnterRunsTheStatementUndoablyAndShowsItsResult)
{
    Enter(QStringLiteral("createNode joint -name Hips"));
    EXPECT_EQ(Lines(), (QStringList{QStringLiteral("> createNode joint -name Hips"),
                                    QStringLiteral("// Result: Hips")}));
    EXPECT_TRUE(LastLineDrawnAs(Kind::Result));
    EXPECT_TRUE(Input(*console)->toPlainText().isEmpty());
    ASSERT_NE(Find(QStringLiteral("Hips")), nullptr);

    Enter(QStringLiteral("undo"));
    EXPECT_EQ(Find(QStringLiteral("Hips")), nullptr);
}

TEST_F(ScriptConsoleTest, MultiLineEntryRunsEveryLine)
{
    Enter(QStringLiteral("createNode joint -name A\ncreateNode joint -name B -parent A"));
    EXPECT_EQ(Lines(),
              (QStringList{QStringLiteral("> createNode joint -name A"),
                           QStringLiteral("> createNode joint -name B -parent A"),
                           QStringLiteral("// Result: A"), QStringLiteral("// Result: B")}));
    ASSERT_NE(Find(QStringLiteral("B")), nullptr);
    EXPECT_EQ(Find(QStringLiteral("B"))->ParentName(), QStringLiteral("A"));
}

TEST_F(ScriptConsoleTest, ShowsWhatTheHostSaysWhoeverCausedIt)
{
    Enter(QStringLiteral("delete Ghost"));
    EXPECT_TRUE(Lines().last().startsWith(QStringLiteral("// Error: ")));
    EXPECT_TRUE(LastLineDrawnAs(Kind::Error));
    EXPECT_NE(ConsoleOutput::FormatFor(Kind::Error).foreground(),
              ConsoleOutput::FormatFor(Kind::Output).foreground());

    host.Print(QStringLiteral("from a plug-in"));
    EXPECT_EQ(Lines().last(), QStringLiteral("from a plug-in"));
    EXPECT_TRUE(LastLineDrawnAs(Kind::Output));
    host.DisplayWarning(QStringLiteral("pose is not a T-pose"));
    EXPECT_EQ(Lines().last(), QStringLiteral("// Warning: pose is not a T-pose"));
    EXPECT_TRUE(LastLineDrawnAs(Kind::Warning));
    host.GetInterpreter().Execute(QStringLiteral("noSuchCommand"), {}); // as a menu would
    EXPECT_EQ(Lines().last(), QStringLiteral("// Error: Unknown command \"noSuchCommand\"."));
    EXPECT_TRUE(LastLineDrawnAs(Kind::Error));
}

TEST_F(ScriptConsoleTest, AStatementMayCloseTheConsoleItRunsIn)
{
    QPointer<ScriptConsole> docked = new ScriptConsole(host, host.GetLayouts().MainWindow());
    Enter(*docked, QStringLiteral("deleteUI \"kestrelMainWindow|scriptConsole\"; print \"after\""));
    EXPECT_TRUE(docked.isNull());
    EXPECT_EQ(host.GetOutputLog().Last(), QStringLiteral("after"));
}

TEST_F(ScriptConsoleTest, UpAndDownWalkTheHistoryKeptBetweenSessions)
{
    Enter(QStringLiteral("print 1"));
    Enter(QStringLiteral("print \"two\"\nprint 3"));
    ConsoleInput* input = Input(*console);
    QTest::keyClicks(input, QStringLiteral("draft"));
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->toPlainText(), QStringLiteral("print \"two\"\nprint 3"));
    QTest::keyClick(input, Qt::Key_Up); // cursor on the last line: moves within the entry
    EXPECT_EQ(input->toPlainText(), QStringLiteral("print \"two\"\nprint 3"));
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->toPlainText(), QStringLiteral("print 1"));
    QTest::keyClick(input, Qt::Key_Up); // the oldest stays
    EXPECT_EQ(input->toPlainText(), QStringLiteral("print 1"));
    QTest::keyClick(input, Qt::Key_Down);
    QTest::keyClick(input, Qt::Key_Down);
    EXPECT_EQ(input->toPlainText(), QStringLiteral("draft"));

    console.reset();
    console = MakeConsole();
    QTest::keyClick(Input(*console), Qt::Key_Up);
    EXPECT_EQ(Input(*console)->toPlainText(), QStringLiteral("print \"two\"\nprint 3"));
}
