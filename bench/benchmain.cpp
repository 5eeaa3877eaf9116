// The main() of the benchmark executables. Widgets draw on the offscreen platform unless
// QT_QPA_PLATFORM names another, and whatever a benchmark builds keeps the tool's per-user
// folders in a temporary folder, never below the file-system root, where they go without
// APPDATA.
#include <QApplication>
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
