// Speed of the idle geometry tick through the real Kestrel bridge: every slot of the biped
// bound to a host joint, the host's character node mapping them all, nothing moving.
#include "host/kestrel/characterizationtoolwrapper.h"
#include "model/characterizationmodel.h"
#include "model/stancereport.h"
#include "stancefixer.h"

#include "host.h"
#include "scene/scene.h"
#include "script/textlog.h"

#include "solver/bipedhierarchy.h"
#include "solver/nodenames.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

kestrel::HostOptions QuietHost()
{
    kestrel::HostOptions options;
    options.writeToStandardStreams = false;
    return options;
}

// A host scene with one joint per slot, and a model whose current characterization binds all
// 212 of them. The joints follow the solver's own biped hierarchy (up to 30 deep at the finger
// tips), or all hang from the scene root: world-space reads walk the chain up, so the flat
// scene shows what the bridge itself costs.
struct HostScene
{
    kestrel::Host host{QuietHost()};
    CharacterizationToolWrapper bridge{host, QString(), QString()};
    CharacterizationModel model{&bridge, nullptr};
    bool flat;
    bool oriented;

    HostScene(bool flatScene, bool orientedJoints)
        : flat(flatScene)
        , oriented(orientedJoints)
    {
        for (NodeId id = 0; id < NodeCount; ++id)
            MakeJoint(id);
        model.AddCharacterization(std::make_shared<Characterization>("Hero", &bridge));
        for (NodeId id = 0; id < NodeCount; ++id)
            model.AssignNode(id, JointName(id));
        model.Revalidate();
    }

    static QString JointName(NodeId id) { return QStringLiteral("Char1:") + kinetra::NodeName(id); }

    // Parents first; every joint a little away from its parent.
    kestrel::Node* MakeJoint(NodeId id)
    {
        kestrel::Scene& scene = host.GetScene();
        if (kestrel::Node* made = scene.Find(JointName(id)))
            return made;
        const NodeId parentId = flat ? -1 : kinetra::NaturalParentNodeId(id);
        kestrel::Node* parent = parentId >= 0 ? MakeJoint(parentId) : nullptr;
        QString error;
        kestrel::Node* joint =
            scene.CreateNode(kestrel::NodeType::Joint, JointName(id), parent, &error);
        kestrel::TransformValues values;
        values.translation = kestrel::Vector3(1 + id % 5, 2 + id % 7, 1 + id % 3);
        if (oriented) { // every angle non-zero: no shortcut for unrotated frames applies
            values.rotation = kestrel::Vector3(0.01 * (1 + id % 3), 0.02, 0.03);
            values.jointOrient = kestrel::Vector3(0.1, 0.2 * (1 + id % 2), 0.3);
            values.rotateAxis = kestrel::Vector3(0.05, 0.04, 0.03);
        }
        scene.SetTransform(joint, values);
        return joint;
    }
};

void BridgeIdleGeometryTick(benchmark::State& state)
{
    HostScene scene(state.range(0) != 0, state.range(1) != 0);
    int revalidations = 0;
    QObject::connect(&scene.model, &CharacterizationModel::ModelChanged,
                     [&revalidations] { ++revalidations; });
    const int scriptsBefore = scene.host.GetScriptLog().Count();
    int ticks = 0;
    for (auto _ : state) {
        QMetaObject::invokeMethod(&scene.model, "CheckGeometry");
        ++ticks;
    }
    // Nothing moved: no revalidation and nothing sent to the host.
    state.counters["revalidations"] = revalidations;
    state.counters["scriptsPerTick"] =
        double(scene.host.GetScriptLog().Count() - scriptsBefore) / ticks;
    state.counters["boundSlots"] =
        double(scene.host.GetScene().ConnectionsTo(scene.host.GetScene().Find("Hero"), {}).size());
    double depth = 0;
    for (NodeId id = 0; id < NodeCount; ++id) {
        for (const kestrel::Node* node = scene.host.GetScene().Find(HostScene::JointName(id)); node;
             node = node->Parent())
            ++depth;
    }
    state.counters["meanDepth"] = depth / NodeCount;
}
BENCHMARK(BridgeIdleGeometryTick)
    ->ArgNames({"flat", "oriented"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMicrosecond);

// The stance report on the model's rest pose: what the property view and the name tree read
// on every redraw.
void StanceReportOnTheRestPose(benchmark::State& state)
{
    HostScene scene(false, true);
    const Characterization& hero = *scene.model.CurrentCharacterization();
    std::size_t rules = 0;
    for (auto _ : state) {
        const std::vector<StanceAngle> angles = StanceReport::Measure(hero);
        rules = angles.size();
        benchmark::DoNotOptimize(angles.data());
    }
    state.counters["rules"] = double(rules);
}
BENCHMARK(StanceReportOnTheRestPose)->Unit(benchmark::kMicrosecond);

// The stance fix on the full biped: the hips and both upper arms turned through host
// statements, from a pose that needs all three.
void StanceFixOnTheBiped(benchmark::State& state)
{
    HostScene scene(false, true);
    kestrel::Scene& graph = scene.host.GetScene();
    const QVector<QString> joints = scene.model.CurrentCharacterization()->JointNames();
    int turned = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (NodeId id : {NodeId(1), NodeId(9), NodeId(12)}) {
            kestrel::Node* joint = graph.Find(HostScene::JointName(id));
            kestrel::TransformValues values = joint->Transform();
            values.rotation = kestrel::Vector3(0.3, 0.4 + id * 0.01, 0.5);
            graph.SetTransform(joint, values);
        }
        state.ResumeTiming();
        QString error;
        turned = StanceFixer(scene.host, joints).Apply(&error);
    }
    state.counters["turned"] = turned;
}
BENCHMARK(StanceFixOnTheBiped)->Unit(benchmark::kMicrosecond);

} // namespace
