// Speed of validation and of the idle geometry tick on a characterization using every slot.
#include "model/characterizationmodel.h"
#include "scriptedhub.h"
#include "solver/nodenames.h"

#include <QMetaObject>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// A scene with one joint per slot, every joint at a distinct position, all bound.
struct FullScene
{
    ScriptedHub hub;
    CharacterizationModel model{&hub, nullptr};

    FullScene()
    {
        QString parent;
        for (NodeId id = 0; id < NodeCount; ++id) {
            const QString name = QStringLiteral("Char1:") + kinetra::NodeName(id);
            hub.AddJoint(name, parent, float(id % 13), float(id), float(id % 7));
            hub.SetLimits(name, id % 2 ? kinetra::MinLimitX : 0u);
            parent = name;
        }
        for (NodeId id = 0; id < NodeCount; ++id)
            model.AssignNode(id, QStringLiteral("Char1:") + kinetra::NodeName(id));
        model.Revalidate();
    }
};

void FullRevalidation(benchmark::State& state)
{
    FullScene scene;
    Characterization* current = scene.model.CurrentCharacterization();
    for (auto _ : state) {
        Characterization::UsageArray usage;
        kinetra::Character* character =
            current->CreateSolverCharacter(usage, true, std::malloc, &scene.hub);
        scene.model.RunValidation(usage.data(), character);
        kinetra::DestroyCharacter(character, std::free);
    }
    state.counters["overall"] = double(scene.model.OverallValidation().status);
}
BENCHMARK(FullRevalidation)->Unit(benchmark::kMicrosecond);

void IdleGeometryTick(benchmark::State& state)
{
    FullScene scene;
    scene.hub.ResetSampleCount();
    int revalidations = 0;
    QObject::connect(&scene.model, &CharacterizationModel::ModelChanged,
                     [&revalidations] { ++revalidations; });
    int ticks = 0;
    for (auto _ : state) {
        QMetaObject::invokeMethod(&scene.model, "CheckGeometry");
        ++ticks;
    }
    // Every used slot is sampled once per tick, and nothing else happens.
    state.counters["samplesPerTick"] = double(scene.hub.SampleCount()) / ticks;
    state.counters["revalidations"] = revalidations;
}
BENCHMARK(IdleGeometryTick)->Unit(benchmark::kMicrosecond);

} // namespace
