// Speed of the body diagram: opening the first panel, and an assignment reaching every item.
#include "charactertool.h"
#include "diagram/diagramwidget.h"
#include "files/toolpaths.h"
#include "model/characterizationmodel.h"
#include "scriptedhub.h"
#include "tposebiped.h"

#include <QApplication>
#include <QPixmapCache>
#include <QSignalBlocker>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Opening a panel: the tool, its model, the diagram's scene with every page and the images it
// shows, then the first paint. The image cache is emptied before each iteration so every image
// is decoded again, as in the first panel of a session; the layout itself is built once per
// process, by the first iteration.
void FirstPanelOpen(benchmark::State& state)
{
    QTemporaryDir appData;
    qputenv("APPDATA", appData.path().toUtf8());
    ScriptedHub hub;
    AddTPoseBiped(hub, QStringLiteral("Char:"));
    for (auto _ : state) {
        state.PauseTiming();
        QPixmapCache::clear();
        state.ResumeTiming();
        QWidget host;
        new CharacterTool("", "", &host, &hub);
        host.show();
        QApplication::processEvents();
    }
}
BENCHMARK(FirstPanelOpen)->Unit(benchmark::kMillisecond);

// The diagram's share of it: the scene with every page and its images, and the first paint.
void FirstDiagramOpen(benchmark::State& state)
{
    QTemporaryDir appData;
    qputenv("APPDATA", appData.path().toUtf8());
    ScriptedHub hub;
    ToolPaths paths{QString(), QString()};
    CharacterizationModel model(&hub, &paths);
    for (auto _ : state) {
        state.PauseTiming();
        QPixmapCache::clear();
        state.ResumeTiming();
        QWidget page;
        auto* diagram = new DiagramWidget(&page, &paths, &hub, &model);
        diagram->SyncViewOnModel();
        page.show();
        QApplication::processEvents();
    }
}
BENCHMARK(FirstDiagramOpen)->Unit(benchmark::kMillisecond);

// A diagram alone over the biped with everything bound but LeftArm. Untimed, LeftArm is bound
// or cleared and revalidated with the model's signals blocked; timed, the model's
// ModelChanged() reaches the diagram, which updates every item (LeftArm, its arrows, the
// status light) and repaints.
void AssignmentToEveryDiagramItem(benchmark::State& state)
{
    QTemporaryDir appData;
    qputenv("APPDATA", appData.path().toUtf8());
    ScriptedHub hub;
    const QVector<BipedJoint> biped = AddTPoseBiped(hub, QStringLiteral("Char:"));
    ToolPaths paths{QString(), QString()};
    CharacterizationModel model(&hub, &paths);
    QWidget page;
    DiagramWidget diagram(&page, &paths, &hub, &model);
    page.show();
    for (const BipedJoint& joint : biped) {
        if (joint.node != 9)
            model.AssignNode(joint.node, joint.name);
    }
    model.Revalidate();
    bool bound = false;
    for (auto _ : state) {
        state.PauseTiming();
        {
            const QSignalBlocker quiet(&model);
            if (bound)
                model.ClearNode(9);
            else
                model.AssignNode(9, QStringLiteral("Char:LeftArm"));
            model.Revalidate();
        }
        bound = !bound;
        state.ResumeTiming();
        emit model.ModelChanged();
        diagram.viewport()->repaint();
    }
}
BENCHMARK(AssignmentToEveryDiagramItem)->Unit(benchmark::kMicrosecond);

} // namespace
