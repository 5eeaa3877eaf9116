// Allocator functions for solver tests that record every block and can be told to fail.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <set>

namespace trackingallocator {

struct State
{
    std::set<void*> live;     // blocks handed out and not yet freed
    int failAfter = -1;       // allocations that still succeed; -1 = never fail
    std::size_t misalign = 0; // bytes added to each block to test the solver's alignment
    int frees = 0;
    int foreignFrees = 0; // pointers freed that were never handed out
};

inline State& Current()
{
    static State state;
    return state;
}

inline void Reset()
{
    Current() = State{};
}

// Returns a block shifted by `misalign` bytes from malloc's alignment.
inline void* Allocate(std::size_t bytes)
{
    State& state = Current();
    if (state.failAfter == 0)
        return nullptr;
    if (state.failAfter > 0)
        --state.failAfter;
    auto* raw = static_cast<unsigned char*>(std::malloc(bytes + 16));
    void* block = raw + state.misalign;
    state.live.insert(block);
    return block;
}

inline void Deallocate(void* block)
{
    State& state = Current();
    ++state.frees;
    auto found = state.live.find(block);
    if (found == state.live.end()) {
        ++state.foreignFrees;
        return;
    }
    state.live.erase(found);
    std::free(static_cast<unsigned char*>(block) - state.misalign);
}

} // namespace trackingallocator
