// Test entry for code that builds widgets: a QApplication on the offscreen platform. The
// tool's per-user folders go to a temporary APPDATA so no test touches a real user's settings.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery only lists the tests: no application, no platform plug-in.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir appData;
    if (!appData.isValid())
        return 1;
    qputenv("APPDATA", appData.path().toUtf8());
    return RUN_ALL_TESTS();
}
