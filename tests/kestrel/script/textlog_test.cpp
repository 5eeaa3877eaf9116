// Following the host's logs: what views such as the script console see of printed lines,
// warnings and errors.
#include "kestreltest.h"

using namespace kestrel;

using TextLogListenerTest = HostTest;

TEST_F(TextLogListenerTest, ListenersHearEachTextOnceUntilRemoved)
{
    TextLog& errors = host.GetErrorLog();
    QStringList heard;
    TextLog::ListenerId second = 0;
    const TextLog::ListenerId first = errors.AddListener([&](const QString& text) {
        heard << QStringLiteral("first: ") + text;
        errors.RemoveListener(second); // gone before its turn: must not hear this text
    });
    second = errors.AddListener(
        [&](const QString& text) { heard << QStringLiteral("second: ") + text; });
    RunFails(QStringLiteral("noSuchCommand"));
    errors.RemoveListener(first);
    host.DisplayError(QStringLiteral("nobody listens"));
    EXPECT_EQ(heard, QStringList{QStringLiteral("first: Unknown command \"noSuchCommand\".")});

    QStringList shown;
    host.GetOutputLog().AddListener([&](const QString& text) { shown << text; });
    host.GetWarningLog().AddListener([&](const QString& text) { shown << text; });
    RunOk(QStringLiteral("print \"hello\""));
    host.DisplayWarning(QStringLiteral("careful"));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("hello"), QStringLiteral("careful")}));
}
