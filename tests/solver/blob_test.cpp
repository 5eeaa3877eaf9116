// The characterization file image written by the solver. Its bytes are pinned by the tool's
// checked-in .kntc files (tests/characterization/files); here: what those cannot show.
#include "solver/characterblob.h"
#include "trackingallocator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kinetra;

namespace {

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
