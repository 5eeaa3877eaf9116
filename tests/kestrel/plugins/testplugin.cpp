// A small plug-in the Kestrel tests load: one command, a string resource and a panel type.
//
// Built in variants (compile definitions): TEST_PLUGIN_NORMAL; TEST_PLUGIN_FAILS_TO_INITIALIZE
// registers its command, then fails; TEST_PLUGIN_FUTURE_VERSION claims a newer interface;
// TEST_PLUGIN_LEAVES_LEFTOVERS forgets to deregister anything when uninitialized.
#include "host.h"
#include "plugins/plugin.h"
#include "script/parsedarguments.h"
#include "script/stringresources.h"

#include <QLabel>

namespace {

const QString kCommand = QStringLiteral("kestrelTestCmd");
const QString kPanel = QStringLiteral("kestrelTestPanel");

// Process-wide state of the plug-in, gone with its library.
int g_count = 0;
const kestrel::Plugin* g_plugin = nullptr;

kestrel::Syntax MakeSyntax()
{
    using kestrel::ArgumentType;
    kestrel::Syntax syntax;
    syntax.EnableEdit();
    syntax.EnableQuery();
    syntax.AddFlag(QStringLiteral("-c"), QStringLiteral("-count"), ArgumentType::Int);
    syntax.AddFlag(QStringLiteral("-x"), QStringLiteral("-execute"), ArgumentType::String);
    syntax.AddFlag(QStringLiteral("-g"), QStringLiteral("-greet"), ArgumentType::String);
    syntax.AddFlag(QStringLiteral("-lf"), QStringLiteral("-loadFolder"));
    return syntax;
}

// kestrelTestCmd -e -count N (undoable), -q -count, -e -execute TEXT
// (runs TEXT through the host, undoable), -e -greet NAME (fails with the formatted rGreeting
// resource), -q -loadFolder.
class TestCommand : public kestrel::Command
{
public:
    kestrel::Status Run(const kestrel::ArgumentList& arguments) override
    {
        const kestrel::ParsedArguments parsed(arguments);
        if (parsed.ParseStatus() != kestrel::Status::Success)
            return parsed.ParseStatus();
        kestrel::Host& host = *kestrel::Host::Current();
        if (parsed.IsQuery()) {
            if (parsed.IsFlagSet(QStringLiteral("count")))
                SetResult(g_count);
            if (parsed.IsFlagSet(QStringLiteral("loadFolder")))
                SetResult(g_plugin->LoadFolder());
            return kestrel::Status::Success;
        }
        if (!parsed.IsEdit())
            return kestrel::Status::Success;
        if (parsed.IsFlagSet(QStringLiteral("count"))) {
            m_previous = g_count;
            parsed.GetFlagArgument(QStringLiteral("count"), 0, m_next);
            g_count = m_next;
            m_undoable = true;
        }
        QString text;
        if (parsed.GetFlagArgument(QStringLiteral("execute"), 0, text) ==
            kestrel::Status::Success) {
            kestrel::ExecuteOptions options;
            options.undoable = true;
            const kestrel::ScriptResult result = host.ExecuteScript(text, options);
            SetResult(result.result);
            return result.status;
        }
        QString name;
        if (parsed.GetFlagArgument(QStringLiteral("greet"), 0, name) == kestrel::Status::Success) {
            const QString greeting =
                host.GetStringResources().Text({kCommand, QStringLiteral("rGreeting")});
            host.DisplayError(kestrel::StringResources::Format(greeting, {name}));
            return kestrel::Status::Failure;
        }
        return kestrel::Status::Success;
    }
    kestrel::Status Undo() override
    {
        g_count = m_previous;
        return kestrel::Status::Success;
    }
    kestrel::Status Redo() override
    {
        g_count = m_next;
        return kestrel::Status::Success;
    }
    bool IsUndoable() const override { return m_undoable; }

private:
    int m_previous = 0;
    int m_next = 0;
    bool m_undoable = false;
};

kestrel::Status RegisterStrings()
{
    kestrel::StringResources& strings = kestrel::Host::Current()->GetStringResources();
    return strings.Register({kCommand, QStringLiteral("rGreeting")}, QStringLiteral("Hello ^1s."));
}

} // namespace

#if defined(TEST_PLUGIN_FUTURE_VERSION)
KESTREL_PLUGIN_EXPORT const char kestrelInterfaceVersion[] = "20990000";
#else
KESTREL_PLUGIN_EXPORT const char kestrelInterfaceVersion[] = "20190000";
#endif

KESTREL_PLUGIN_EXPORT kestrel::Status initializePlugin(kestrel::Plugin& plugin)
{
    g_plugin = &plugin;
    plugin.SetIdentity(QStringLiteral("Kestrel tests"), QStringLiteral("1"), QStringLiteral("Any"));
    kestrel::Status status = plugin.RegisterStringResources(
        RegisterStrings, QStringLiteral("kestrelTestCmdInitStrings"));
    if (status != kestrel::Status::Success)
        return status;
    status = plugin.RegisterCommand(
        kCommand, [] { return std::make_unique<TestCommand>(); }, MakeSyntax);
    if (status != kestrel::Status::Success)
        return status;
#if defined(TEST_PLUGIN_FAILS_TO_INITIALIZE)
    return kestrel::Status::InvalidState;
#endif
    return plugin.RegisterPanelType(
        kPanel,
        [](QWidget* parent, const QString& objectName) -> QWidget* {
            auto* label = new QLabel(QStringLiteral("test panel"), parent);
            label->setObjectName(objectName);
            return label;
        },
        kCommand);
}

KESTREL_PLUGIN_EXPORT kestrel::Status uninitializePlugin(kestrel::Plugin& plugin)
{
    plugin.SetIdentity(QStringLiteral("Unknown"), QStringLiteral("Unknown"), QStringLiteral("Any"));
#if defined(TEST_PLUGIN_LEAVES_LEFTOVERS)
    return kestrel::Status::Success;
#else
    plugin.DeregisterPanelType(kPanel);
    return plugin.DeregisterCommand(kCommand);
#endif
}
