// The built-in biped hierarchy and the parent rule a character applies to it.
#include "solver/bipedhierarchy.h"
#include "solver/character.h"
#include "solver/nodenames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

using namespace kinetra;

namespace {

bool IsNaturalAncestor(NodeId ancestor, NodeId id)
{
    for (NodeId p = NaturalParentNodeId(id); p >= 0; p = NaturalParentNodeId(p)) {
        if (p == ancestor)
            return true;
    }
    return false;
}

struct CharacterOf
{
    Character* character;
    explicit CharacterOf(const std::vector<std::uint32_t>& usage)
        : character(CreateCharacter(usage.data(), std::malloc))
    {}
    ~CharacterOf() { DestroyCharacter(character, std::free); }
};

} // namespace

TEST(BipedHierarchy, IsOneTreeRootedAtReference)
{
    EXPECT_EQ(NaturalParentNodeId(0), -1);
    for (NodeId id = 1; id < NodeCount; ++id) {
        int steps = 0;
        NodeId p = id;
        while (p > 0 && steps <= NodeCount) {
            p = NaturalParentNodeId(p);
            ++steps;
        }
        EXPECT_EQ(p, 0) << NodeName(id) << " does not reach Reference";
    }
    EXPECT_EQ(NaturalParentNodeId(NodeCount), -1);
    EXPECT_EQ(NaturalParentNodeId(-1), -1);
}

// The parent of a used node is its nearest used natural ancestor, or none; any usage word with
// bit 0 set (1, or 7 with limits) counts as used.
TEST(ParentRule, ParentIsAlwaysAUsedAncestorForRandomUsage)
{
    std::mt19937 random(20261205);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint32_t> usage(NodeCount);
        for (auto& word : usage)
            word = random() % 3 == 0 ? (random() % 2 ? NodeUsed : NodeUsedWithLimits) : NodeUnused;
        CharacterOf c(usage);
        EXPECT_EQ(GetParentNodeId(c.character, NodeCount), -1);
        for (NodeId id = 0; id < NodeCount; ++id) {
            const NodeId parent = GetParentNodeId(c.character, id);
            if (parent < 0) {
                for (NodeId p = NaturalParentNodeId(id); p >= 0; p = NaturalParentNodeId(p))
                    ASSERT_EQ(usage[p], NodeUnused) << "a used ancestor of " << id << " was missed";
                continue;
            }
            ASSERT_NE(usage[parent], NodeUnused) << id;
            ASSERT_TRUE(IsNaturalAncestor(parent, id)) << id;
            for (NodeId p = NaturalParentNodeId(id); p != parent; p = NaturalParentNodeId(p))
                ASSERT_EQ(usage[p], NodeUnused) << "parent of " << id << " is not the nearest";
        }
    }
}
