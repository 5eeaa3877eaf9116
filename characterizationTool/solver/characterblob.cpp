#include "characterblob.h"

#include "floatingpointguard.h"

#include <cstring>
#include <utility>

namespace kinetra {

namespace {

bool HostIsBigEndian()
{
    const std::uint32_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 0;
}

int UsedNodeCount(const std::uint32_t* usage)
{
    int count = 0;
    for (NodeId id = 0; id < NodeCount; ++id)
        count += (usage[id] & NodeUsed) ? 1 : 0;
    return count;
}

void ReverseEveryWord(std::uint8_t* bytes, std::size_t size)
{
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        std::swap(bytes[i], bytes[i + 3]);
        std::swap(bytes[i + 1], bytes[i + 2]);
    }
}

// Appends `bytes` at `cursor` and returns the position after them.
std::uint8_t* Put(std::uint8_t* cursor, const void* bytes, std::size_t size)
{
    std::memcpy(cursor, bytes, size);
    return cursor + size;
}

} // namespace

std::uint8_t* WriteCharacterBlob(std::size_t* size, const std::uint32_t* usage,
                                 const Character* character, bool bigEndian,
                                 AllocateFunction allocate, DeallocateFunction deallocate)
{
    FloatingPointGuard guard;
    if (size)
        *size = 0;
    if (!size || !usage || !character || !allocate || !deallocate)
        return nullptr;

    const int used = UsedNodeCount(usage);
    const std::size_t recordBytes = sizeof(NodeRestState) * static_cast<std::size_t>(used);
    // The allocator may hand out any alignment; records are copied with memcpy only.
    auto* records = static_cast<NodeRestState*>(allocate(recordBytes > 0 ? recordBytes : 1));
    if (!records)
        return nullptr;
    InversionFlags inversion;
    ReadCharacterization(usage, character, records, used, &inversion);

    const std::size_t total = CharacterBlobFixedBytes + recordBytes;
    auto* buffer = static_cast<std::uint8_t*>(allocate(total));
    if (buffer) {
        std::uint8_t* cursor = Put(buffer, &CharacterBlobMagic, 4);
        cursor = Put(cursor, &CharacterBlobVersion, 4);
        cursor = Put(cursor, usage, 4 * NodeCount);
        cursor = Put(cursor, records, recordBytes);
        Put(cursor, &inversion, sizeof inversion);
        if (bigEndian != HostIsBigEndian())
            ReverseEveryWord(buffer, total);
        *size = total;
    }
    deallocate(records);
    return buffer;
}

} // namespace kinetra
