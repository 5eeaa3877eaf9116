// Speed of `kestrel --characterize` end to end in one process: open, auto-characterize,
// validate, and with the page also the diagram thumbnail, per file.
#include "batch/batchcharacterizer.h"
#include "batch/batchrunner.h"
#include "host.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString kSkeletons = QStringLiteral(CT_SHARED_SKELETONS);
constexpr int kMinimumFiles = 200;

kestrel::Host* g_host = nullptr;

// `files` repeated until the batch holds at least kMinimumFiles, run once per iteration;
// five repetitions give the medians.
// Items are files, so the rate is files per second of CPU time; wall_ms_per_file includes
// waiting (for the disk when files are saved, for the other processes on a shared machine).
void Characterize(benchmark::State& state, QStringList files, bool page, bool save = false)
{
    if (files.isEmpty() || !QDir(kSkeletons).exists()) {
        state.SkipWithError("the shared skeleton folder is absent");
        return;
    }
    const QStringList once = files;
    while (files.size() < kMinimumFiles)
        files += once;
    kestrel::CharacterizeOptions options;
    QTemporaryDir out;
    if (page)
        options.htmlFile = out.filePath(QStringLiteral("page.html")); // turns thumbnails on
    if (save) // to the temporary folder's disk: each file is synced before it replaces another
        options.kntcFolder = out.filePath(QStringLiteral("kntc"));
    kestrel::BatchCharacterizer characterizer(*g_host);
    QString error;
    if (!kestrel::BatchCharacterizer::CheckOutputs(options, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    QElapsedTimer wall;
    wall.start();
    for (auto _ : state) {
        if (!characterizer.Run(options, files, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    const double count = static_cast<double>(state.iterations() * files.size());
    state.SetItemsProcessed(state.iterations() * files.size());
    state.counters["wall_ms_per_file"] = wall.nsecsElapsed() / 1e6 / count;
}

void CmuFile(benchmark::State& state)
{
    Characterize(state, {kSkeletons + QStringLiteral("/cmu_mocap_subject01_jumps.bvh")},
                 state.range(0) != 0, state.range(1) != 0);
}
BENCHMARK(CmuFile)
    ->ArgNames({"page", "kntc"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void SharedFolder(benchmark::State& state)
{
    Characterize(state, kestrel::BatchCharacterizer::CollectFiles({kSkeletons}),
                 state.range(0) != 0);
}
BENCHMARK(SharedFolder)
    ->ArgName("page")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    // The tool keeps its settings per user: a scratch folder keeps the real ones untouched.
    QTemporaryDir settings;
    qputenv("APPDATA", QFile::encodeName(settings.path()));
    kestrel::BatchRunner::PrepareBatchEnvironment();
    QApplication application(argc, argv);
    kestrel::HostOptions options;
    options.writeToStandardStreams = false;
    kestrel::Host host(options);
    g_host = &host;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
