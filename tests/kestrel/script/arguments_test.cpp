// Command syntax: flags by short and long name, argument types, edit and query modes.
#include "kestreltest.h"

#include "script/commandregistry.h"
#include "script/parsedarguments.h"
#include "script/scriptparser.h"

using namespace kestrel;

namespace {

// A syntax shaped like the tool command's: both modes, flags of every argument type.
Syntax ToolLikeSyntax()
{
    Syntax syntax;
    syntax.EnableEdit();
    syntax.EnableQuery();
    EXPECT_EQ(syntax.AddFlag("-cl", "-characterlist", ArgumentType::String), Status::Success);
    EXPECT_EQ(syntax.AddFlag("mm", "mirrormatch"), Status::Success);
    EXPECT_EQ(syntax.AddFlag("-ni", "-nodeid", ArgumentType::Int), Status::Success);
    EXPECT_EQ(syntax.AddFlag("-is", "-invertstate", ArgumentType::Bool), Status::Success);
    EXPECT_EQ(syntax.AddFlag("-w", "-weight", ArgumentType::Double), Status::Success);
    return syntax;
}

ParsedArguments Parse(const Syntax& syntax, const QString& arguments)
{
    QVector<Statement> statements;
    QString error;
    EXPECT_TRUE(ScriptParser::Parse("cmd " + arguments, &statements, &error)) << qPrintable(error);
    return ParsedArguments(syntax, ArgumentList(statements.value(0).arguments, &syntax));
}

} // namespace

TEST(Arguments, EditModeReadsEveryArgumentTypeByShortOrLongName)
{
    const Syntax syntax = ToolLikeSyntax();
    const ParsedArguments parsed =
        Parse(syntax, "-e -characterlist \"a;b\" -mm -ni 5 -invertstate true -w 2");
    ASSERT_EQ(parsed.ParseStatus(), Status::Success) << qPrintable(parsed.ErrorText());
    EXPECT_TRUE(parsed.IsEdit());
    EXPECT_FALSE(parsed.IsQuery());
    for (const char* name : {"-cl", "cl", "-characterlist", "characterlist"})
        EXPECT_TRUE(parsed.IsFlagSet(name)) << name;
    QString list;
    int node = 0;
    bool state = false;
    double weight = 0;
    EXPECT_EQ(parsed.GetFlagArgument("-cl", 0, list), Status::Success);
    EXPECT_EQ(parsed.GetFlagArgument("-nodeid", 0, node), Status::Success);
    EXPECT_EQ(parsed.GetFlagArgument("is", 0, state), Status::Success);
    EXPECT_EQ(parsed.GetFlagArgument("-w", 0, weight), Status::Success);
    EXPECT_EQ(list, "a;b");
    EXPECT_EQ(node, 5);
    EXPECT_TRUE(state);
    EXPECT_EQ(weight, 2.0); // an int literal is accepted where a double is expected
    EXPECT_TRUE(parsed.IsFlagSet("-mirrormatch"));
    EXPECT_FALSE(parsed.IsFlagSet("-nonexistent"));
    // Asking for the wrong type, a missing index or an unset flag.
    EXPECT_EQ(parsed.GetFlagArgument("-ni", 0, list), Status::InvalidParameter);
    EXPECT_EQ(parsed.GetFlagArgument("-ni", 1, node), Status::NotFound);
    // Bools are true, false, 1 or 0; a flag given twice keeps its last value.
    EXPECT_EQ(Parse(syntax, "-is 0").GetFlagArgument("-is", 0, state), Status::Success);
    EXPECT_FALSE(state);
    Parse(syntax, "-ni 1 -nodeid 2").GetFlagArgument("-ni", 0, node);
    EXPECT_EQ(node, 2);
}

TEST(Arguments, QueryModeFlagsMayStandAloneOrTakeTheirArgument)
{
    // Query flags standing alone are what the tool's own queries use ("-q -characterlist"),
    // pinned through its command by tests/plugin.
    const Syntax syntax = ToolLikeSyntax();
    QString text;
    const ParsedArguments withValue = Parse(syntax, "-query -characterlist \"abc\"");
    ASSERT_EQ(withValue.ParseStatus(), Status::Success);
    EXPECT_EQ(withValue.GetFlagArgument("-cl", 0, text), Status::Success);
    EXPECT_EQ(text, "abc");
    // The same flag without a value is an error outside query mode.
    EXPECT_EQ(Parse(syntax, "-e -cl").ParseStatus(), Status::InvalidParameter);
}

TEST(Arguments, BadArgumentsFailWithAStatusAndAText)
{
    const Syntax syntax = ToolLikeSyntax();
    struct Case
    {
        QString arguments;
        Status status;
        QString error;
    };
    const QVector<Case> cases = {
        {"-foo", Status::UnknownParameter, "Unknown flag \"-foo\"."},
        {"-e -q -cl", Status::InvalidParameter, "Edit and query mode cannot be combined."},
        {"-ni", Status::InvalidParameter, "Flag \"-ni\" expects an int argument."},
        {"-ni abc", Status::InvalidParameter,
         "Flag \"-ni\" expects an int argument, found the string \"abc\"."},
        {"-ni 1.5", Status::InvalidParameter, "found the double 1.5"},
        {"-ni -cl", Status::InvalidParameter, "Flag \"-ni\" expects an int argument."},
        {"-cl 5", Status::InvalidParameter, "expects a string argument, found the int 5"},
        {"extra", Status::InvalidParameter, "Expected no positional argument, found 1."},
        {"-is 2", Status::InvalidParameter, "expects a bool argument, found the int 2"},
        {"-is \"true\"", Status::InvalidParameter, "expects a bool argument, found the string"},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = Parse(syntax, c.arguments);
        EXPECT_EQ(parsed.ParseStatus(), c.status) << qPrintable(c.arguments);
        EXPECT_TRUE(parsed.ErrorText().contains(c.error))
            << qPrintable(c.arguments) << " -> " << qPrintable(parsed.ErrorText());
    }
    // Without the modes enabled, -e and -q are unknown flags like any other.
    EXPECT_EQ(Parse(Syntax(), "-e").ParseStatus(), Status::UnknownParameter);
    EXPECT_EQ(Parse(Syntax(), "-query").ParseStatus(), Status::UnknownParameter);
}

TEST(Arguments, PositionalArgumentsStandAnywhereAndAreCounted)
{
    Syntax syntax;
    syntax.AddFlag("-f", "-flag");
    syntax.SetPositionalArguments(ArgumentType::String, 1, 2);
    const ParsedArguments parsed = Parse(syntax, "a -f b");
    ASSERT_EQ(parsed.ParseStatus(), Status::Success);
    EXPECT_EQ(parsed.PositionalStrings(), QStringList({"a", "b"}));
    EXPECT_EQ(Parse(syntax, "-f").ErrorText(), "Expected 1 to 2 positional arguments, found 0.");
    EXPECT_EQ(Parse(syntax, "a b c").ParseStatus(), Status::InvalidParameter);
    EXPECT_EQ(Parse(syntax, "1").ErrorText(), "Expected a string argument, found the int 1.");
}

TEST(Arguments, FlagNamesMustBeUniqueAndWellFormed)
{
    Syntax syntax;
    syntax.EnableEdit();
    EXPECT_EQ(syntax.AddFlag("-a", "-alpha"), Status::Success);
    EXPECT_EQ(syntax.AddFlag("-alpha", "-other"), Status::AlreadyExists);
    EXPECT_EQ(syntax.AddFlag("-b", "-a"), Status::AlreadyExists);
    EXPECT_EQ(syntax.AddFlag("-e", "-edit2"), Status::AlreadyExists);
    EXPECT_EQ(syntax.AddFlag("-q", "-query"), Status::AlreadyExists);
    EXPECT_EQ(syntax.AddFlag("", "-empty"), Status::InvalidParameter);
    EXPECT_EQ(syntax.AddFlag("-1x", "-digit"), Status::InvalidParameter);
    EXPECT_EQ(syntax.AddFlag("-a b", "-blank"), Status::InvalidParameter);
}

namespace {

// Counts its runs; answers nothing.
class CountingCommand : public Command
{
public:
    explicit CountingCommand(int* runs)
        : m_runs(runs)
    {}
    Status Run(const ArgumentList&) override
    {
        ++*m_runs;
        return Status::Success;
    }

private:
    int* m_runs;
};

class CommandResults : public HostTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(host.GetCommands().Register(
                      "resultCmd", [this] { return std::make_unique<CountingCommand>(&m_runs); },
                      [] {
                          Syntax syntax;
                          syntax.AddFlag("-k", "-kind", ArgumentType::String);
                          return syntax;
                      },
                      nullptr),
                  Status::Success);
    }
    int m_runs = 0;
};

} // namespace

TEST_F(CommandResults, ArgumentsThatDoNotFitTheSyntaxNeverReachTheCommand)
{
    EXPECT_EQ(RunFails("resultCmd -k 3"),
              "resultCmd: Flag \"-k\" expects a string argument, found the int 3.");
    EXPECT_EQ(m_runs, 0);
    EXPECT_TRUE(Run("resultCmd -k \"x\"").result.IsNone());
    EXPECT_EQ(m_runs, 1);
}

TEST_F(CommandResults, CommandNamesAreUnique)
{
    EXPECT_EQ(host.GetCommands().Register(
                  "resultCmd", [] { return nullptr; }, {}, nullptr),
              Status::AlreadyExists);
    EXPECT_EQ(host.GetCommands().Register(
                  "ls", [] { return nullptr; }, {}, nullptr),
              Status::AlreadyExists);
    EXPECT_EQ(host.GetCommands().Register(
                  "bad name", [] { return nullptr; }, {}, nullptr),
              Status::InvalidParameter);
    EXPECT_EQ(host.GetCommands().Deregister("resultCmd"), Status::Success);
    EXPECT_EQ(host.GetCommands().Deregister("resultCmd"), Status::NotFound);
    EXPECT_EQ(RunFails("resultCmd"), "Unknown command \"resultCmd\".");
}
