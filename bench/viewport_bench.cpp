// Speed of the desktop viewport: one frame of a 10,000-joint crowd at 1600 x 1000 pixels,
// with the camera at rest and while it orbits. Runs on the offscreen platform unless one is set.
#include "desktop/viewport.h"
#include "host.h"
#include "scene/characternodes.h"
#include "scene/scene.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kFigures = 100;         // on a 10 x 10 grid, 2 m apart
constexpr int kJointsPerFigure = 100; // a spine of 20, four limbs of 20
constexpr int kChainLength = 20;

// One figure of bent chains: a spine up from the root and two arms and two legs fanning out
// from its top and bottom, so that bones run in every direction on screen.
void AddFigure(kestrel::Scene& scene, int figure, std::vector<kestrel::Node*>* joints)
{
    QString error;
    const QString prefix = QStringLiteral("Fig%1_").arg(figure);
    int made = 0;
    auto add = [&](kestrel::Node* parent, const kestrel::Vector3& offset) {
        kestrel::Node* joint = scene.CreateNode(kestrel::NodeType::Joint,
                                                prefix + QString::number(made++), parent, &error);
        kestrel::TransformValues values;
        values.translation = offset;
        values.rotation = kestrel::Vector3(0.02, 0.03, 0.01 * (made % 7));
        scene.SetTransform(joint, values);
        joints->push_back(joint);
        return joint;
    };
    kestrel::Node* root = add(nullptr, {200.0 * (figure % 10), 90.0, 200.0 * (figure / 10)});
    kestrel::Node* top = root;
    for (int i = 1; i < kChainLength; ++i)
        top = add(top, {0.0, 3.0, 0.0});
    const kestrel::Vector3 limbSteps[] = {
        {4.0, 0.0, 0.0}, {-4.0, 0.0, 0.0}, {1.0, -4.5, 0.0}, {-1.0, -4.5, 0.0}};
    for (int limb = 0; limb < 4; ++limb) {
        kestrel::Node* joint = limb < 2 ? top : root;
        for (int i = 0; i < kChainLength; ++i)
            joint = add(joint, limbSteps[limb]);
    }
}

// The crowd, one figure in ten with bound joints, and a hundred joints selected.
struct Crowd
{
    std::unique_ptr<kestrel::Host> host;
    std::unique_ptr<kestrel::Viewport> viewport;
    QImage frame{1600, 1000, QImage::Format_ARGB32_Premultiplied};

    Crowd()
    {
        kestrel::HostOptions options;
        options.writeToStandardStreams = false;
        host = std::make_unique<kestrel::Host>(options);
        kestrel::Scene& scene = host->GetScene();
        std::vector<kestrel::Node*> joints;
        for (int figure = 0; figure < kFigures; ++figure)
            AddFigure(scene, figure, &joints);
        QString error;
        for (int figure = 0; figure < kFigures; figure += 10) {
            for (int slot = 1; slot < 20; ++slot)
                host->GetCharacterNodes().SetCharacterObject(
                    joints[figure * kJointsPerFigure + slot]->Name(),
                    QStringLiteral("Character%1").arg(figure), slot, &error);
        }
        std::vector<kestrel::Node*> selected;
        for (std::size_t i = 0; i < joints.size(); i += 100)
            selected.push_back(joints[i]);
        scene.GetSelection().Replace(selected);
        viewport = std::make_unique<kestrel::Viewport>(*host);
        viewport->resize(frame.size());
        viewport->FrameAll();
        viewport->render(&frame); // the skeleton cache is built before timing
    }
};

void ViewportFrame(benchmark::State& state)
{
    Crowd crowd;
    const bool orbiting = state.range(0) != 0;
    const QPoint centre(800, 500);
    if (orbiting) {
        QMouseEvent press(QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton,
                          Qt::AltModifier);
        QApplication::sendEvent(crowd.viewport.get(), &press);
    }
    int step = 0;
    for (auto _ : state) {
        if (orbiting) {
            // Alt+left-drag by a few pixels: every joint is projected anew for this frame.
            const QPoint to = centre + QPoint((++step % 2) ? 3 : 0, 0);
            QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::AltModifier);
            QApplication::sendEvent(crowd.viewport.get(), &move);
        }
        crowd.viewport->render(&crowd.frame);
    }
    state.counters["joints"] = kFigures * kJointsPerFigure;
}
BENCHMARK(ViewportFrame)
    ->ArgName("orbiting")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
