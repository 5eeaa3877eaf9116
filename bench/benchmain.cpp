// The main() of the benchmark executables. Widgets draw on the offscreen platform unless
// QT_QPA_PLATFORM names another, and whatever a benchmark builds keeps the tool's per-user
// folders and the desktop's settings (File > Open remembers recent files) in a temporary
// folder: never below the file-system root, where they go without APPDATA, nor in the user's own.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir appData;
    if (!appData.isValid())
        return 1;
    qputenv("APPDATA", appData.path().toUtf8());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, appData.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, appData.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
