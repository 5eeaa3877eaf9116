// Plug-in loading: lookup, entry points, registration, errors and what unloading cleans up.
#include "kestreltest.h"

#include "plugins/pluginmanager.h"
#include "script/commandregistry.h"
#include "script/stringresources.h"
#include "script/undoqueue.h"
#include "ui/panelregistry.h"

#include <QDir>
#include <QFile>

using namespace kestrel;

namespace {

const QString kFolder = QStringLiteral(KESTREL_TEST_PLUGIN_DIR);

class Plugins : public HostTest
{
protected:
    void SetUp() override
    {
        m_savedPath = qgetenv("KESTREL_PLUGIN_PATH");
        qputenv("KESTREL_PLUGIN_PATH", QFile::encodeName("/nonexistent:" + kFolder));
    }
    void TearDown() override { qputenv("KESTREL_PLUGIN_PATH", m_savedPath); }
    PluginManager& plugins() { return host.GetPlugins(); }

    QByteArray m_savedPath;
};

} // namespace

// A bare name is looked up end to end (kestrel_batch.script_file_and_plugin_log); the lib prefix
// and the suffix are optional. Ui.PanelsComeFromPluginCreatorsAndGoBeforeTheirLibrary loads one
// by its absolute path.
TEST_F(Plugins, AnameIsFoundInThePluginPathAndItsRegistrationsWork)
{
    EXPECT_EQ(RunOk("loadPlugin \"libkestreltestplugin.so\""), "kestreltestplugin");
    EXPECT_EQ(plugins().LoadedNames(), QStringList({"kestreltestplugin"}));
    EXPECT_EQ(PluginManager::NameFromPath("/a/lib.so"), "lib");
    Plugin* plugin = plugins().Find("kestreltestplugin");
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->FilePath(), QDir(kFolder).absoluteFilePath("libkestreltestplugin.so"));
    EXPECT_EQ(plugin->StringInitProcedure(), "kestrelTestCmdInitStrings");
    EXPECT_EQ(host.GetCommands().Find("kestrelTestCmd")->owner, plugin);
    EXPECT_EQ(host.GetPanels().CommandName("kestrelTestPanel"), "kestrelTestCmd");
    EXPECT_EQ(host.GetStringResources().Text({"kestrelTestCmd", "rGreeting"}), "Hello ^1s.");
    // The command, its modes and its results.
    RunOk("kestrelTestCmd -e -count 3");
    EXPECT_EQ(Run("kestrelTestCmd -q -count").result, Value(3));
    EXPECT_EQ(RunOk("kestrelTestCmd -q -lf"), QDir(kFolder).absolutePath());
    EXPECT_EQ(RunFails("kestrelTestCmd -e -greet \"Ada\""), "Hello Ada.");
    ExpectFails("kestrelTestCmd -e -count", Status::InvalidParameter, "\"-count\"");
    ExpectFails("loadPlugin \"kestreltestplugin\"", Status::AlreadyExists, "\"kestreltestplugin\"");

    RunOk("unloadPlugin \"kestreltestplugin\"");
    EXPECT_EQ(plugins().Find("kestreltestplugin"), nullptr);
    EXPECT_EQ(host.GetCommands().Find("kestrelTestCmd"), nullptr);
    EXPECT_FALSE(host.GetPanels().Contains("kestrelTestPanel"));
    // Its command object was still on the undo queue; nothing else was left behind.
    ASSERT_EQ(host.GetWarningLog().Count(), 1);
    EXPECT_TRUE(host.GetWarningLog().Last().contains("\"kestreltestplugin\""));
    EXPECT_FALSE(host.GetUndoQueue().CanUndo());
    ExpectFails("unloadPlugin \"kestreltestplugin\"", Status::NotFound, "\"kestreltestplugin\"");
}

TEST_F(Plugins, FailuresToFindLoadOrInitializeAreReportedAndLeaveNothingBehind)
{
    const struct
    {
        const char* name;
        Status status;
        const char* carries;
    } cases[] = {
        {"nosuchplugin", Status::NotFound, "\"nosuchplugin\""},
        {"/nonexistent/libx.so", Status::NotFound, "/nonexistent/libx.so"},
        {"kestrelnotaplugin", Status::Failure, "initializePlugin"},
        {"kestrelfutureplugin", Status::Failure, "\"20990000\""},
        {"kestrelfailingplugin", Status::InvalidState, "\"kestrelfailingplugin\""},
    };
    for (const auto& c : cases)
        ExpectFails(QString("loadPlugin \"%1\"").arg(c.name), c.status, c.carries);
    EXPECT_EQ(host.GetCommands().Find("kestrelTestCmd"), nullptr) << "its registration was undone";
    EXPECT_TRUE(plugins().LoadedNames().isEmpty());
    // A file that is no library at all.
    ExpectFails("loadPlugin \"" + TestData("libnotelf.so") + "\"", Status::Failure,
                TestData("libnotelf.so"));
}

TEST_F(Plugins, UnloadingRemovesWhatThePluginLeftAndWarns)
{
    RunOk("loadPlugin \"kestrelleakyplugin\"; unloadPlugin \"kestrelleakyplugin\"");
    EXPECT_EQ(host.GetCommands().Find("kestrelTestCmd"), nullptr);
    EXPECT_FALSE(host.GetPanels().Contains("kestrelTestPanel"));
    // One warning for each thing left behind, naming the plug-in and the thing.
    const QStringList warnings = host.GetWarningLog().Entries();
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].contains("\"kestrelleakyplugin\"") &&
                warnings[0].contains("\"kestrelTestCmd\""));
    EXPECT_TRUE(warnings[1].contains("\"kestrelleakyplugin\"") &&
                warnings[1].contains("\"kestrelTestPanel\""));
}

// The texts a plug-in sends reach the script log verbatim (read by tests/plugin through Sent())
// and join the statement's undo step (Undo.OneTopLevelStatementIsOneStepNestedCommandsIncluded).
TEST_F(Plugins, APluginCannotUnloadItselfFromInsideItsOwnCommand)
{
    RunOk("loadPlugin \"kestreltestplugin\"");
    EXPECT_TRUE(RunFails("kestrelTestCmd -e -execute \"unloadPlugin \\\"kestreltestplugin\\\"\"")
                    .contains("\"kestreltestplugin\""));
    EXPECT_NE(plugins().Find("kestreltestplugin"), nullptr);
}

TEST(PluginHost, DestroyingTheHostUnloadsItsPlugins)
{
    HostOptions options;
    options.writeToStandardStreams = false;
    options.pluginFolder = kFolder;
    {
        Host host(options);
        ASSERT_EQ(host.GetPlugins().Load("kestreltestplugin"), Status::Success);
        ASSERT_EQ(host.GetInterpreter()
                      .Execute("kestrelTestCmd -e -count 4", ExecuteOptions{false, true})
                      .status,
                  Status::Success);
        EXPECT_EQ(Host::Current(), &host);
    }
    EXPECT_EQ(Host::Current(), nullptr);
}

TEST(StringResourceFormatting, PlaceholdersTakeTheirArgumentsAndOthersStay)
{
    EXPECT_EQ(StringResources::Format("Failed to register command ^1s.", {"name already in use"}),
              "Failed to register command name already in use.");
    EXPECT_EQ(StringResources::Format("^2s before ^1s, ^3s missing, ^x and ^", {"a", "b"}),
              "b before a, ^3s missing, ^x and ^");
    StringResources strings;
    EXPECT_EQ(strings.Register({"", "k"}, "x"), Status::InvalidParameter);
    Status status = Status::Success;
    EXPECT_EQ(strings.Text({"p", "k"}, &status), "");
    EXPECT_EQ(status, Status::NotFound);
}
