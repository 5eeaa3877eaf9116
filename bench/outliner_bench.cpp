// Speed of opening a scene in the desktop: a generated 100,000-joint scene and the CMU mocap
// skeleton, in the whole desktop window (File > Open to the first painted frame) and with the
// outliner alone. Runs on the offscreen platform unless one is set.
#include "desktop/desktopwindow.h"
#include "desktop/outliner.h"
#include "desktop/scenefileactions.h"
#include "host.h"
#include "io/scenedocument.h"
#include "scene/scene.h"

#include "desktop/scenetreeview.h"
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kSkeletons = 1000;
constexpr int kChainsPerSkeleton = 9;
constexpr int kJointsPerChain = 11; // with the root: 1 + 9 * 11 = 100 joints a skeleton

kestrel::HostOptions QuietHost()
{
    kestrel::HostOptions options;
    options.writeToStandardStreams = false;
    return options;
}

// A crowd of 1,000 skeletons of 100 joints: each a root joint at the top level with nine
// chains of eleven joints (spine, limbs, tails): 1,000 top-level rows, 9,000 siblings under
// the roots, chains 12 deep.
QString WriteCrowdScene(const QTemporaryDir& folder)
{
    QByteArray json = "{\"kestrelScene\": 1, \"nodes\": [\n";
    for (int s = 0; s < kSkeletons; ++s) {
        const QByteArray root = "S" + QByteArray::number(s) + ":Root";
        json += "{\"name\": \"" + root + "\", \"type\": \"joint\", \"translate\": [" +
                QByteArray::number(s) + ", 100, 0]},\n";
        for (int c = 0; c < kChainsPerSkeleton; ++c) {
            QByteArray parent = root;
            for (int j = 0; j < kJointsPerChain; ++j) {
                const QByteArray name = "S" + QByteArray::number(s) + ":Chain" +
                                        QByteArray::number(c) + "_" + QByteArray::number(j);
                json += "{\"name\": \"" + name + "\", \"type\": \"joint\", \"parent\": \"" +
                        parent + "\", \"translate\": [0, 5, 0]},\n";
                parent = name;
            }
        }
    }
    json.chop(2);
    json += "\n]}\n";
    const QString path = folder.filePath(QStringLiteral("crowd.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        return QString();
    return path;
}

// Opens `path` with the outliner shown, until its first layout is painted. The host and the
// outliner are made fresh and not timed; with `replace` the scene being replaced is the same
// file already open, so its teardown is timed too. Without `shown` no outliner exists: the
// host's own cost, to compare with.
void Open(benchmark::State& state, const QString& path, bool replace, bool shown)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        state.SkipWithError("the scene file is absent");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<kestrel::Host>(QuietHost());
        if (replace)
            host->GetDocument().Open(path);
        std::unique_ptr<kestrel::Outliner> outliner;
        if (shown) {
            outliner = std::make_unique<kestrel::Outliner>(*host);
            outliner->resize(300, 800);
            outliner->show();
            QApplication::processEvents();
        }
        state.ResumeTiming();

        if (host->GetDocument().Open(path) != kestrel::Status::Success) {
            state.SkipWithError("the file did not open");
            return;
        }
        if (outliner) {
            QApplication::processEvents(); // ends the model reset
            benchmark::DoNotOptimize(outliner->grab());
        }

        state.PauseTiming();
        if (outliner)
            state.counters["rows"] = outliner->View()->model()->rowCount();
        state.counters["nodes"] = host->GetScene().NodeCount();
        outliner.reset();
        host.reset();
        state.ResumeTiming();
    }
}

const QString& CrowdScene()
{
    static QTemporaryDir folder;
    static const QString path = WriteCrowdScene(folder);
    return path;
}

// Opens `path` the way File > Open does, in the whole desktop window (viewport, outliner,
// attribute editor, script console, status bar), until the window's next frame is painted.
// The window is made, sized and shown untimed; with `replace` the same file is open already.
void OpenInDesktop(benchmark::State& state, const QString& path, bool replace)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        state.SkipWithError("the scene file is absent");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<kestrel::Host>(QuietHost());
        kestrel::DesktopWindow* window = kestrel::DesktopWindow::Install(*host);
        window->resize(1280, 800);
        window->show();
        if (replace)
            window->FileActions().Open(path);
        QApplication::processEvents();
        state.ResumeTiming();

        if (!window->FileActions().Open(path)) {
            state.SkipWithError("the file did not open");
            return;
        }
        // Ends the outliner's reset, updates the status bar and paints the window's next
        // frame, the viewport drawing every joint.
        QApplication::processEvents();

        state.PauseTiming();
        state.counters["nodes"] = host->GetScene().NodeCount();
        host.reset(); // the host owns the window
        state.ResumeTiming();
    }
}

void OpenCrowdInDesktop(benchmark::State& state)
{
    OpenInDesktop(state, CrowdScene(), state.range(0) != 0);
}
BENCHMARK(OpenCrowdInDesktop)
    ->ArgName("replacing")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void OpenCrowd(benchmark::State& state)
{
    Open(state, CrowdScene(), state.range(0) != 0, state.range(1) != 0);
}
BENCHMARK(OpenCrowd)
    ->ArgNames({"replacing", "outliner"})
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void OpenCmuMocap(benchmark::State& state)
{
    Open(state, QStringLiteral(CT_SHARED_SKELETONS "/cmu_mocap_subject01_jumps.bvh"), false,
         state.range(0) != 0);
}
BENCHMARK(OpenCmuMocap)
    ->ArgName("outliner")
    ->Arg(1)
    ->Arg(0)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace
