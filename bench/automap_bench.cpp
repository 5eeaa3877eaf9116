// Time to propose a characterization: a 173-joint rig read from its file, and a synthetic
// biped of 10,000 joints (a face-like forest of short chains under the head).
#include "automapper.h"
#include "sceneskeleton.h"

#include <benchmark/benchmark.h>

namespace {

Skeleton LoadRig()
{
    Skeleton skeleton;
    LoadSkeleton(QStringLiteral(CT_SHARED_SKELETONS "/makehuman_default_rig_apose_rest.bvh"),
                 skeleton);
    return skeleton;
}

// A T-pose biped (Y up, facing +Z, cm) with `extra` joints in chains of ten under the head.
Skeleton SyntheticBiped(int extra)
{
    Skeleton s;
    const auto add = [&s](int parent, double x, double y, double z) {
        s.joints.append({QStringLiteral("j%1").arg(s.joints.size()), parent, {x, y, z}});
        return s.joints.size() - 1;
    };
    const int hips = add(-1, 0, 100, 0);
    const int chest = add(add(hips, 0, 110, 0), 0, 130, 0);
    const int head = add(add(chest, 0, 150, 0), 0, 160, 0);
    for (double side : {1.0, -1.0}) {
        const int hand =
            add(add(add(add(chest, 5 * side, 145, 0), 15 * side, 145, 0), 43 * side, 145, 0),
                68 * side, 145, 0);
        for (int f = 0; f < 5; ++f)
            add(add(hand, (72 + f % 2) * side, 145, 4 - 2 * f), (76 + f % 2) * side, 145,
                4 - 2 * f);
        add(add(add(add(hips, 9 * side, 95, 0), 9 * side, 52, 1), 9 * side, 8, 0), 9 * side, 2, 12);
    }
    for (int chain = 0; s.joints.size() < extra; ++chain) {
        int parent = head;
        for (int k = 0; k < 10 && s.joints.size() < extra; ++k)
            parent = add(parent, 0.01 * (chain % 50), 160 + 0.1 * k, 0.01 * (chain / 50));
    }
    return s;
}

void BM_ProposeRig173(benchmark::State& state)
{
    const Skeleton skeleton = LoadRig();
    if (skeleton.joints.size() != 173) {
        state.SkipWithError("the 173-joint rig is absent");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(AutoMapper::Propose(skeleton));
}
BENCHMARK(BM_ProposeRig173)->Unit(benchmark::kMillisecond);

void BM_ProposeSynthetic10000(benchmark::State& state)
{
    const Skeleton skeleton = SyntheticBiped(10000);
    if (!AutoMapper::Propose(skeleton).IsBiped()) {
        state.SkipWithError("the synthetic skeleton was not taken for a biped");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(AutoMapper::Propose(skeleton));
}
BENCHMARK(BM_ProposeSynthetic10000)->Unit(benchmark::kMillisecond);

} // namespace
