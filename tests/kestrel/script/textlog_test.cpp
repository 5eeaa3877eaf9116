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
        heard << QString("first: ") + text;
        errors.RemoveListener(second); // gone before its turn: must not hear this text
    });
    second = errors.AddListener([&](const QString& text) { heard << QString("second: ") + text; });
    RunFails(QString("noSuchCommand"));
    errors.RemoveListener(first);
    host.DisplayError(QString("nobody listens"));
    EXPECT_EQ(heard, QStringList{QString("first: Unknown command \"noSuchCommand\".")});
}
