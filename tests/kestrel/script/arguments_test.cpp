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
    syntax.AddFlag("-cl", "-characterlist", ArgumentType::String);
    syntax.AddFlag("mm", "mirrormatch");
    syntax.AddFlag("-ni", "-nodeid", ArgumentType::Int);
    syntax.AddFlag("-is", "-invertstate", ArgumentType::Bool);
    syntax.AddFlag("-w", "-weight", ArgumentType::Double);
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

TEST(Arguments, FlagsAreReadByShortOrLongNameAsTheirType)
{
    // Edit and query mode with string and int flags standing alone or with their value are
    // driven through the tool's own command by tests/plugin; this pins the other types and names.
    const Syntax syntax = ToolLikeSyntax();
    const ParsedArguments parsed = Parse(syntax, "-e -cl \"a\" -mm -ni 5 -invertstate 1 -w 2");
    ASSERT_EQ(parsed.ParseStatus(), Status::Success) << qPrintable(parsed.ErrorText());
    EXPECT_TRUE(parsed.IsEdit() && !parsed.IsQuery());
    for (const char* name : {"-cl", "cl", "-characterlist", "characterlist", "-mirrormatch"})
        EXPECT_TRUE(parsed.IsFlagSet(name)) << name;
    EXPECT_FALSE(parsed.IsFlagSet("-nonexistent"));
    QString list;
    int node = 0;
    bool state = false;
    double weight = 0;
    EXPECT_EQ(parsed.GetFlagArgument("is", 0, state), Status::Success);
    EXPECT_EQ(parsed.GetFlagArgument("-w", 0, weight), Status::Success);
    EXPECT_TRUE(state);
    EXPECT_EQ(weight, 2.0); // an int literal is accepted where a double is expected
    EXPECT_EQ(parsed.GetFlagArgument("-ni", 0, list), Status::InvalidParameter);
    EXPECT_EQ(parsed.GetFlagArgument("-ni", 1, node), Status::NotFound);
    // A flag given twice keeps its last value.
    Parse(syntax, "-ni 1 -nodeid 2").GetFlagArgument("-ni", 0, node);
    EXPECT_EQ(node, 2);
}

TEST(Arguments, BadArgumentsFailWithAStatusAndTheFlagAtFault)
{
    const Syntax syntax = ToolLikeSyntax();
    Syntax positional;
    positional.AddFlag("-f", "-flag");
    positional.SetPositionalArguments(ArgumentType::String, 1, 2);
    EXPECT_EQ(Parse(positional, "a -f b").PositionalStrings(), QStringList({"a", "b"}));
    const struct
    {
        const Syntax& syntax;
        const char* arguments;
        Status status;
        const char* name; // what the error text must carry
    } cases[] = {
        {syntax, "-foo", Status::UnknownParameter, "\"-foo\""},
        {syntax, "-e -q -cl", Status::InvalidParameter, ""},
        {syntax, "-e -cl", Status::InvalidParameter, "\"-cl\""}, // no value outside query mode
        {syntax, "-ni", Status::InvalidParameter, "\"-ni\""},
        {syntax, "-ni abc", Status::InvalidParameter, "\"-ni\""},
        {syntax, "-ni 1.5", Status::InvalidParameter, "\"-ni\""},
        {syntax, "-ni -cl", Status::InvalidParameter, "\"-ni\""},
        {syntax, "-cl 5", Status::InvalidParameter, "\"-cl\""},
        {syntax, "extra", Status::InvalidParameter, ""},
        {syntax, "-is 2", Status::InvalidParameter, "\"-is\""},
        {syntax, "-is \"true\"", Status::InvalidParameter, "\"-is\""},
        {positional, "-f", Status::InvalidParameter, ""},
        {positional, "a b c", Status::InvalidParameter, ""},
        {positional, "1", Status::InvalidParameter, ""},
        {Syntax(), "-e", Status::UnknownParameter, "\"-e\""}, // modes not enabled
        {Syntax(), "-query", Status::UnknownParameter, "\"-query\""},
    };
    for (const auto& c : cases) {
        const ParsedArguments parsed = Parse(c.syntax, c.arguments);
        EXPECT_EQ(parsed.ParseStatus(), c.status) << c.arguments;
        EXPECT_TRUE(!parsed.ErrorText().isEmpty() && parsed.ErrorText().contains(c.name))
            << c.arguments << " -> " << qPrintable(parsed.ErrorText());
    }
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

using CommandResults = HostTest;

TEST_F(CommandResults, CommandNamesAreUnique)
{
    CommandRegistry& commands = host.GetCommands();
    const auto add = [&](const QString& name) {
        return commands.Register(
            name, [] { return nullptr; }, {}, nullptr);
    };
    EXPECT_EQ(add("resultCmd"), Status::Success);
    EXPECT_EQ(add("resultCmd"), Status::AlreadyExists);
    EXPECT_EQ(add("ls"), Status::AlreadyExists);
    EXPECT_EQ(add("bad name"), Status::InvalidParameter);
    EXPECT_EQ(commands.Deregister("resultCmd"), Status::Success);
    EXPECT_EQ(commands.Deregister("resultCmd"), Status::NotFound);
    EXPECT_TRUE(RunFails("resultCmd").contains("\"resultCmd\""));
}
