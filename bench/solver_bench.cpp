// Speed of the solver entries the tool calls on every save and validation.
#include "solver/kinetra.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace kinetra;

struct FullCharacter
{
    std::vector<std::uint32_t> usage = std::vector<std::uint32_t>(NodeCount, NodeUsedWithLimits);
    std::vector<NodeRestState> states = std::vector<NodeRestState>(NodeCount);
    Character* character = nullptr;

    FullCharacter()
    {
        for (NodeId id = 0; id < NodeCount; ++id) {
            ResetNodeRestState(states[id]);
            states[id].Translate[1] = float(id);
            states[id].LimitFlags = MinLimitX | MaxLimitZ;
        }
        character = CreateCharacter(usage.data(), std::malloc);
        SetCharacterization(usage.data(), character, states.data(), NodeCount, InversionFlags{});
    }
    ~FullCharacter() { DestroyCharacter(character, std::free); }
};

void WriteCharacterBlob(benchmark::State& state)
{
    FullCharacter full;
    const bool bigEndian = state.range(0) != 0;
    for (auto _ : state) {
        std::size_t size = 0;
        std::uint8_t* blob = kinetra::WriteCharacterBlob(&size, full.usage.data(), full.character,
                                                         bigEndian, std::malloc, std::free);
        benchmark::DoNotOptimize(blob);
        std::free(blob);
    }
}
BENCHMARK(WriteCharacterBlob)->Arg(0)->Arg(1)->ArgName("bigEndian");

void CreateAndFillCharacter(benchmark::State& state)
{
    FullCharacter full;
    for (auto _ : state) {
        Character* character = CreateCharacter(full.usage.data(), std::malloc);
        SetCharacterization(full.usage.data(), character, full.states.data(), NodeCount,
                            InversionFlags{});
        benchmark::DoNotOptimize(character);
        DestroyCharacter(character, std::free);
    }
}
BENCHMARK(CreateAndFillCharacter);

} // namespace
