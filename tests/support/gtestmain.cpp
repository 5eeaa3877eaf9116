// Test entry for code that needs a Qt application object (timers, meta-object calls). The
// tool's per-user folders go to a temporary APPDATA: without it they would go below the
// file-system root.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir appData;
    if (!appData.isValid())
        return 1;
    qputenv("APPDATA", appData.path().toUtf8());
    return RUN_ALL_TESTS();
}
