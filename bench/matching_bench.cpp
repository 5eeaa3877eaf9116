// Speed of template application and mirrored assignment in a large scene.
#include "files/namingtemplate.h"
#include "model/characterizationmodel.h"
#include "scriptedhub.h"
#include "solver/nodenames.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// 10,000 transforms: 300 named Char2:<slot or extra>, the rest scenery.
struct LargeScene
{
    ScriptedHub hub;
    CharacterizationModel model{&hub, nullptr};
    QTemporaryDir dir;
    QString templatePath = dir.filePath("template.xml");

    LargeScene()
    {
        for (int i = 0; i < 10000 - 300; ++i)
            hub.AddJoint(QStringLiteral("prop_%1_geo").arg(i), QString(), float(i), 0, 0);
        for (int i = 0; i < 300; ++i) {
            const QString slot = i < NodeCount ? QLatin1String(kinetra::NodeName(i))
                                               : QStringLiteral("Extra%1").arg(i);
            hub.AddJoint(QStringLiteral("Char2:") + slot, QString(), float(i), 1, 0);
        }
        QVector<TemplateEntry> entries(NodeCount);
        for (NodeId id = 0; id < NodeCount; ++id)
            entries[id].name = QLatin1String(kinetra::NodeName(id));
        NamingTemplate::WriteTemplate(templatePath, entries);
    }
};

void ApplyTemplateToPrefixedBones(benchmark::State& state)
{
    LargeScene scene;
    for (auto _ : state)
        NamingTemplate::ApplyTemplate(scene.model, scene.templatePath, MatchScope::PrefixedBones,
                                      QStringLiteral("Char2:"));
    state.counters["bound"] = scene.model.JointOfNode(11) == QLatin1String("Char2:LeftHand");
}
BENCHMARK(ApplyTemplateToPrefixedBones)->Unit(benchmark::kMillisecond);

void AssignNodeMirroredInLargeScene(benchmark::State& state)
{
    LargeScene scene;
    scene.model.AddMirrorPair(QStringLiteral("Left"), QStringLiteral("Right"));
    scene.model.SetMirrorMode(true);
    NodeId mirrorNode = -1;
    QString mirrorJoint;
    for (auto _ : state)
        scene.model.AssignNodeMirrored(9, QStringLiteral("Char2:LeftArm"), mirrorNode, mirrorJoint);
    state.counters["found"] = mirrorNode == 12;
}
BENCHMARK(AssignNodeMirroredInLargeScene)->Unit(benchmark::kMillisecond);

} // namespace
