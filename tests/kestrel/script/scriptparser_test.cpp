// The script language: statement forms, literals, the texts the tool sends, and broken texts.
#include "kestreltest.h"

#include "script/commandregistry.h"
#include "script/scriptparser.h"

using namespace kestrel;

namespace {

QVector<Statement> ParseOk(const QString& text)
{
    QVector<Statement> statements;
    QString error;
    EXPECT_TRUE(ScriptParser::Parse(text, &statements, &error)) << qPrintable(error);
    return statements;
}

QString ParseError(const QString& text)
{
    QVector<Statement> statements;
    QString error;
    EXPECT_FALSE(ScriptParser::Parse(text, &statements, &error)) << qPrintable(text);
    EXPECT_TRUE(statements.isEmpty());
    return error;
}

// "name" for flags, the literal's text otherwise, with its type.
QStringList Describe(const Statement& statement)
{
    QStringList items;
    for (const Argument& argument : statement.arguments) {
        items.append(argument.isFlag ? QLatin1Char('-') + argument.flag
                                     : ValueTypeName(argument.value.Type()) + QLatin1Char(':') +
                                           argument.value.ToText());
    }
    return items;
}

} // namespace

TEST(ScriptParser, StatementsEndAtSemicolonsNewlinesAndTheEndAndSkipEmptyOnes)
{
    const QVector<Statement> statements =
        ParseOk(";; a 1; b -x\n\n  // a comment line\nc(\n  \"x\",\n  2\n) // trailing comment\nd");
    ASSERT_EQ(statements.size(), 4);
    EXPECT_EQ(statements[0].command, "a");
    EXPECT_EQ(statements[1].command, "b");
    EXPECT_EQ(statements[2].command, "c");
    EXPECT_TRUE(statements[2].callForm);
    EXPECT_FALSE(statements[3].callForm);
    EXPECT_EQ(Describe(statements[2]), QStringList({"string:x", "int:2"}));
    EXPECT_EQ(statements[2].line, 4);
    EXPECT_EQ(statements[3].command, "d");
    EXPECT_EQ(statements[3].line, 8);
}

TEST(ScriptParser, ReadsEveryKindOfLiteral)
{
    const QVector<Statement> statements = ParseOk(
        "f \"q\\\"b\\\\s\\nt\" -12 +3 4.5 -.25 1e3 2.5E-1 true false Char1:Hips.translateX |a|b");
    ASSERT_EQ(statements.size(), 1);
    EXPECT_EQ(Describe(statements[0]),
              QStringList({"string:q\"b\\s\nt", "int:-12", "int:3", "double:4.5", "double:-0.25",
                           "double:1000", "double:0.25", "bool:true", "bool:false",
                           "string:Char1:Hips.translateX", "string:|a|b"}));
    // A minus before a letter starts a flag, before a digit a number.
    EXPECT_EQ(Describe(ParseOk("f -a1 -1")[0]), QStringList({"-a1", "int:-1"}));
}

TEST(ScriptParser, BrokenTextsGiveAnErrorWithTheirPosition)
{
    struct Case
    {
        QString text;
        QString error;
    };
    const QVector<Case> cases = {
        {"print \"abc", "line 1, column 7: unterminated string."},
        {"print \"a\nb\"", "line 1, column 7: unterminated string."},
        {"print \"a\\qb\"", "unknown escape \"\\q\""},
        {"f 12abc", "line 1, column 3: malformed number \"12a\"."},
        {"f 1.2.3", "malformed number"},
        {"f 99999999999", "integer \"99999999999\" out of range."},
        {"f #", "line 1, column 3: unexpected character '#'."},
        {"12 f", "expected a command name, found \"12\"."},
        {"\"f\" 1", "expected a command name"},
        {"a.b 1", "expected a command name"},
        {"f(1, 2", "expected ',' or ')', found the end of the text."},
        {"f(1,)", "expected an argument, found \")\"."},
        {"f(-x)", "expected an argument, found \"-x\"."},
        {"f(1) 2", "expected ';' or the end of the line after ')', found \"2\"."},
        {"f 1 (2)", "unexpected \"(\"."},
        {"f a, b", "unexpected \",\"."},
        {"ok\nf )", "line 2, column 3: unexpected \")\"."},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(ParseError(c.text).contains(c.error))
            << qPrintable(c.text) << " -> " << qPrintable(ParseError(c.text));
}

class ScriptRun : public HostTest
{};

TEST_F(ScriptRun, UnknownCommandsAndBadArgumentsAreClearErrors)
{
    // A command's errors start with its name.
    ExpectFails("noSuchCommand 1", Status::NotFound, "\"noSuchCommand\"");
    ExpectFails("ls -nope", Status::UnknownParameter, "ls: ");
    ExpectFails("rename A", Status::InvalidParameter, "rename: ");
    ExpectFails("xform -translation 1 2 A", Status::InvalidParameter, "xform: ");
    ExpectFails("print", Status::InvalidParameter, "print: ");
    ExpectFails("deleteCharacter(1)", Status::InvalidParameter, "deleteCharacter: ");
}

TEST_F(ScriptRun, ScriptsThatRunThemselvesStopAtTheNestingLimit)
{
    struct Recursive : Command
    {
        Status Run(const ArgumentList&) override
        {
            return Host::Current()->ExecuteScript("recurse").status;
        }
    };
    host.GetCommands().Register(
        "recurse", [] { return std::make_unique<Recursive>(); }, {}, nullptr);
    EXPECT_EQ(Run("recurse").status, Status::InvalidState);
    EXPECT_TRUE(Errors().first().contains("64")) << qPrintable(Errors().first());
    EXPECT_EQ(host.GetScriptLog().Count(), 64);
}

TEST(Values, PrintAsTheBatchRunnerShowsThem)
{
    EXPECT_EQ(Value(true).ToText(), "true");
    EXPECT_EQ(Value(-3).ToText(), "-3");
    EXPECT_EQ(Value(0.1 + 0.2).ToText(), "0.3");
    EXPECT_EQ(Value(-1e-12).ToText(), "0");
    EXPECT_EQ(Value(QVector<double>{1, -0.5, 1e-15}).ToText(), "1 -0.5 0");
    EXPECT_EQ(Value(QStringList{"a", "b c"}).ToText(), "a b c");
    EXPECT_EQ(Value().ToText(), "");
    EXPECT_EQ(Value("x").ToInt(), 0) << "other types answer their default";
    EXPECT_EQ(Value(2).ToDouble(), 2.0);
}
