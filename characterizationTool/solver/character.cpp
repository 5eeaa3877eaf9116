#include "character.h"

#include "bipedhierarchy.h"
#include "floatingpointguard.h"

#include <cstring>
#include <new>

namespace kinetra {

namespace {

// A node transform as three 4-vectors.
struct Transform
{
    float Translation[4];
    float Rotation[4];
    float Scaling[4];
};

constexpr Transform kIdentityTransform = {{0, 0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1, 1}};
constexpr std::size_t kAlignment = 16;

bool IsNodeId(NodeId id)
{
    return id >= 0 && id < NodeCount;
}

bool HasLimits(std::uint32_t usage)
{
    return (usage & NodeUsedWithLimits) == NodeUsedWithLimits;
}

void CopyLimitedFields(const NodeRestState& from, NodeRestState& to)
{
    std::memcpy(to.PreRot, from.PreRot, sizeof to.PreRot);
    std::memcpy(to.PostRot, from.PostRot, sizeof to.PostRot);
    std::memcpy(to.MaxRLimit, from.MaxRLimit, sizeof to.MaxRLimit);
    std::memcpy(to.MinRLimit, from.MinRLimit, sizeof to.MinRLimit);
    to.LimitFlags = from.LimitFlags;
    std::memcpy(to.RotateParentOffset, from.RotateParentOffset, sizeof to.RotateParentOffset);
    to.RotationOrder = from.RotationOrder;
}

void CopyTransform(const Transform& from, float translation[4], float rotation[4], float scaling[4])
{
    std::memcpy(translation, from.Translation, sizeof from.Translation);
    std::memcpy(rotation, from.Rotation, sizeof from.Rotation);
    std::memcpy(scaling, from.Scaling, sizeof from.Scaling);
}

} // namespace

// The character block. `limited` holds the whole rest record of nodes used with limits;
// only its non-transform fields are meaningful.
struct Character
{
    std::uint32_t usage[NodeCount];
    NodeId parents[NodeCount];
    Transform reference[NodeCount];
    Transform offset[NodeCount];
    NodeRestState limited[NodeCount];
    InversionFlags inversion;
};

Character* CreateCharacter(const std::uint32_t* usage, AllocateFunction allocate)
{
    FloatingPointGuard guard;
    if (!usage || !allocate)
        return nullptr;
    // Room for the block, the worst-case alignment shift and the raw pointer stored in front.
    const std::size_t bytes = sizeof(Character) + kAlignment - 1 + sizeof(void*);
    void* raw = allocate(bytes);
    if (!raw)
        return nullptr;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    const std::uintptr_t aligned = (first + kAlignment - 1) & ~std::uintptr_t(kAlignment - 1);
    std::memcpy(reinterpret_cast<void*>(aligned - sizeof(void*)), &raw, sizeof raw);

    auto* character = new (reinterpret_cast<void*>(aligned)) Character;
    std::memcpy(character->usage, usage, sizeof character->usage);
    LayOutHierarchy(character->usage, character->parents);
    for (NodeId id = 0; id < NodeCount; ++id) {
        character->reference[id] = kIdentityTransform;
        character->offset[id] = kIdentityTransform;
        ResetNodeRestState(character->limited[id]);
    }
    ZeroInversionFlags(character->inversion);
    return character;
}

void DestroyCharacter(Character* character, DeallocateFunction deallocate)
{
    FloatingPointGuard guard;
    if (!character || !deallocate)
        return;
    void* raw = nullptr;
    std::memcpy(&raw, reinterpret_cast<char*>(character) - sizeof(void*), sizeof raw);
    character->~Character();
    deallocate(raw);
}

bool SetCharacterization(const std::uint32_t* usage, Character* character,
                         const NodeRestState* states, int count, const InversionFlags& inversion)
{
    FloatingPointGuard guard;
    if (!usage || !character || !states || count < 0)
        return false;
    for (NodeId id = 0; id < NodeCount && id < count; ++id) {
        if ((usage[id] & NodeUsed) == 0)
            continue;
        const NodeRestState& state = states[id];
        Transform& reference = character->reference[id];
        std::memcpy(reference.Translation, state.Translate, sizeof state.Translate);
        reference.Translation[3] = 0.0f;
        std::memcpy(reference.Rotation, state.Rotate, sizeof state.Rotate);
        std::memcpy(reference.Scaling, state.Scale, sizeof state.Scale);
        reference.Scaling[3] = 1.0f;
        if (HasLimits(usage[id]))
            CopyLimitedFields(state, character->limited[id]);
    }
    character->inversion = inversion;
    return true;
}

int ReadCharacterization(const std::uint32_t* usage, const Character* character,
                         NodeRestState* states, int count, InversionFlags* inversion)
{
    FloatingPointGuard guard;
    if (!usage || !character || !states || count < 0)
        return -1;
    std::memset(states, 0, sizeof(NodeRestState) * static_cast<std::size_t>(count));
    const bool indexed = count == NodeCount;
    int filled = 0;
    for (NodeId id = 0; id < NodeCount && filled < count; ++id) {
        if ((usage[id] & NodeUsed) == 0)
            continue;
        NodeRestState& state = states[indexed ? id : filled];
        const Transform& reference = character->reference[id];
        std::memcpy(state.Translate, reference.Translation, sizeof state.Translate);
        std::memcpy(state.Rotate, reference.Rotation, sizeof state.Rotate);
        std::memcpy(state.Scale, reference.Scaling, sizeof state.Scale);
        if (HasLimits(usage[id]))
            CopyLimitedFields(character->limited[id], state);
        ++filled;
    }
    if (inversion)
        *inversion = character->inversion;
    return filled;
}

bool GetCharacterNodeTransform(const Character* character, NodeId id, float translation[4],
                               float rotation[4], float scaling[4])
{
    FloatingPointGuard guard;
    if (!character || !IsNodeId(id) || !translation || !rotation || !scaling)
        return false;
    CopyTransform(character->reference[id], translation, rotation, scaling);
    return true;
}

NodeId GetParentNodeId(const Character* character, NodeId id)
{
    FloatingPointGuard guard;
    if (!character || !IsNodeId(id))
        return -1;
    return character->parents[id];
}

bool SetNodeOffsetTransform(Character* character, NodeId id, const float translation[4],
                            const float rotation[4], const float scaling[4])
{
    FloatingPointGuard guard;
    if (!character || !IsNodeId(id) || !translation || !rotation || !scaling)
        return false;
    Transform& offset = character->offset[id];
    std::memcpy(offset.Translation, translation, sizeof offset.Translation);
    offset.Translation[3] = 0.0f;
    std::memcpy(offset.Rotation, rotation, sizeof offset.Rotation);
    std::memcpy(offset.Scaling, scaling, sizeof offset.Scaling);
    return true;
}

bool GetNodeOffsetTransform(const Character* character, NodeId id, float translation[4],
                            float rotation[4], float scaling[4])
{
    FloatingPointGuard guard;
    if (!character || !IsNodeId(id) || !translation || !rotation || !scaling)
        return false;
    CopyTransform(character->offset[id], translation, rotation, scaling);
    return true;
}

} // namespace kinetra
