// Serialization of a solver character into the characterization file image.
#pragma once

#include "character.h"

#include <cstddef>
#include <cstdint>

namespace kinetra {

// The characterization file image, all fields 32-bit words:
//
//   offset        size     field
//   0             4        magic 0x24022789
//   4             4        format version 2
//   8             848      212 usage words, node id 0..211
//   856           120 * N  one NodeRestState per used node (usage bit 0 set), ascending id
//   856 + 120 N   16       inversion flags: left knee, right knee, left elbow, right elbow
//
// Total 872 + 120 * N bytes. The usage words are written as given. The records are the
// packed ReadCharacterization output: translation, rotation and scaling for every used node,
// the remaining fields only for nodes whose usage is 7; everything else is zero (an unfilled
// quaternion is all zero, not identity). The little-endian image is the words as a
// little-endian machine holds them; the big-endian image reverses every 4-byte unit of the
// whole file. Nothing is checked about the values themselves.
constexpr std::uint32_t CharacterBlobMagic = 0x24022789u;
constexpr std::uint32_t CharacterBlobVersion = 2;
constexpr std::size_t CharacterBlobHeaderBytes = 8 + 4 * NodeCount;
constexpr std::size_t CharacterBlobFixedBytes = CharacterBlobHeaderBytes + sizeof(InversionFlags);

// Serializes `character` under `usage` into a buffer allocated with `allocate`; the caller
// releases it with `deallocate`, which also frees the temporary record array. Stores the
// byte count in `size`. Returns null (size 0) on a null argument or a failed allocation.
std::uint8_t* WriteCharacterBlob(std::size_t* size, const std::uint32_t* usage,
                                 const Character* character, bool bigEndian,
                                 AllocateFunction allocate, DeallocateFunction deallocate);

} // namespace kinetra
