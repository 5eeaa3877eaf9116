// The characterization file image written by the solver, byte for byte.
#include "solver/characterblob.h"
#include "trackingallocator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace kinetra;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Little-endian encoding, written out byte by byte so the test does not share the
// implementation's memcpy of host words.
void PutWord(Bytes& out, std::uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(word >> shift));
}

void PutFloat(Bytes& out, float value)
{
    std::uint32_t word;
    std::memcpy(&word, &value, 4);
    PutWord(out, word);
}

void PutFloats(Bytes& out, std::initializer_list<float> values)
{
    for (float v : values)
        PutFloat(out, v);
}

struct Blob
{
    std::vector<std::uint32_t> usage = std::vector<std::uint32_t>(NodeCount, NodeUnused);
    std::vector<NodeRestState> states =
        std::vector<NodeRestState>(NodeCount, MakeResetNodeRestState());
    InversionFlags inversion = {{0, 0, 0, 0}};

    Bytes Write(bool bigEndian) const
    {
        Character* character = CreateCharacter(usage.data(), trackingallocator::Allocate);
        EXPECT_NE(character, nullptr);
        SetCharacterization(usage.data(), character, states.data(), NodeCount, inversion);
        std::size_t size = 0;
        std::uint8_t* buffer =
            WriteCharacterBlob(&size, usage.data(), character, bigEndian,
                               trackingallocator::Allocate, trackingallocator::Deallocate);
        Bytes bytes(buffer, buffer + size);
        trackingallocator::Deallocate(buffer);
        DestroyCharacter(character, trackingallocator::Deallocate);
        return bytes;
    }
};

struct BlobTest : ::testing::Test
{
    void SetUp() override { trackingallocator::Reset(); }
    void TearDown() override
    {
        EXPECT_TRUE(trackingallocator::Current().live.empty()) << "a buffer leaked";
        EXPECT_EQ(trackingallocator::Current().foreignFrees, 0);
    }
};

} // namespace

// The byte order and the files a whole characterization makes are pinned by the tool's golden
// .kntc files; this pins what they cannot show: fields a plain record must leave out.
TEST_F(BlobTest, RecordsFollowUsageInIdOrderWithLimitedFieldsOnlyForSeven)
{
    // Hips with plain usage, LeftArm with limits: two records, Hips first, then the flags.
    Blob blob;
    blob.inversion = {{1, 0, 0, 1}};
    blob.usage[1] = NodeUsed;
    blob.usage[9] = NodeUsedWithLimits;
    NodeRestState& hips = blob.states[1];
    hips.Translate[1] = 95.5f;
    hips.PreRot[0] = 0.25f; // not written: usage 1
    hips.LimitFlags = MinLimitX;
    NodeRestState& arm = blob.states[9];
    arm.Translate[0] = 17.0f;
    arm.Translate[1] = 140.0f;
    arm.Rotate[2] = 0.6f;
    arm.Rotate[3] = 0.8f;
    arm.Scale[0] = arm.Scale[1] = arm.Scale[2] = 1.0f;
    arm.PreRot[1] = 0.5f;
    arm.MaxRLimit[2] = 90.0f;
    arm.MinRLimit[0] = -30.0f;
    arm.LimitFlags = MinLimitX | MaxLimitZ;
    arm.RotationOrder = 4;

    Bytes expected;
    PutWord(expected, 0x24022789);
    PutWord(expected, 2);
    for (NodeId id = 0; id < NodeCount; ++id)
        PutWord(expected, id == 1 ? 1 : id == 9 ? 7 : 0);
    // Hips: transform only, every other field zero, quaternions included.
    PutFloats(expected, {0, 95.5f, 0, 0, 0, 0, 1, 0, 0, 0});
    for (int i = 0; i < 20; ++i)
        PutWord(expected, 0);
    // LeftArm: the whole record.
    PutFloats(expected, {17, 140, 0, 0, 0, 0.6f, 0.8f, 1, 1, 1, 0, 0.5f, 0, 1, 0, 0, 0, 1});
    PutFloats(expected, {0, 0, 90, -30, 0, 0});
    PutWord(expected, MinLimitX | MaxLimitZ);
    PutFloats(expected, {0, 0, 0, 1});
    PutWord(expected, 4);
    for (std::uint32_t flag : {1, 0, 0, 1})
        PutWord(expected, flag);

    const Bytes written = blob.Write(false);
    ASSERT_EQ(written.size(), 872u + 2 * 120u);
    EXPECT_EQ(written, expected);
}

TEST_F(BlobTest, FailedAllocationGivesNoBufferAndLeaksNothing)
{
    std::vector<std::uint32_t> usage(NodeCount, NodeUsed);
    Character* character = CreateCharacter(usage.data(), trackingallocator::Allocate);
    ASSERT_NE(character, nullptr);
    for (int succeeding : {0, 1}) {
        trackingallocator::Current().failAfter = succeeding;
        std::size_t size = 99;
        EXPECT_EQ(WriteCharacterBlob(&size, usage.data(), character, false,
                                     trackingallocator::Allocate, trackingallocator::Deallocate),
                  nullptr);
        EXPECT_EQ(size, 0u);
    }
    trackingallocator::Current().failAfter = -1;
    DestroyCharacter(character, trackingallocator::Deallocate);
}
