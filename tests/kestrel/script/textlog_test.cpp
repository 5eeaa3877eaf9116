// Following the host's logs. What the script console shows of printed lines, warnings and
// errors is pinned by the desktop's ScriptConsoleTest; this is the listeners' own bookkeeping.
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
}
