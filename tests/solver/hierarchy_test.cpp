// The built-in biped hierarchy and the parent rule a character applies to it.
#include "solver/bipedhierarchy.h"
#include "solver/character.h"
#include "solver/nodenames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>
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

// Numbered chains run in order: "Spine3" hangs from "Spine2", "Neck1" from "Neck",
// "LeftHandThumb4" from "LeftHandThumb3", wherever the name one lower is a node. (Roll leaves
// all hang from their limb segment.)
TEST(BipedHierarchy, NumberedNodesHangFromTheOneNumberedBefore)
{
    std::map<std::string, NodeId> ids;
    for (NodeId id = 0; id < NodeCount; ++id)
        ids[NodeName(id)] = id;
    int chained = 0;
    for (const auto& [name, id] : ids) {
        const std::size_t digit = name.find_last_not_of("0123456789") + 1;
        if (digit == name.size() || name.rfind("Leaf", 0) == 0)
            continue;
        const int number = std::stoi(name.substr(digit));
        const std::string before =
            name.substr(0, digit) + (number > 1 ? std::to_string(number - 1) : std::string());
        if (ids.count(before)) {
            EXPECT_EQ(NaturalParentNodeId(id), ids[before]) << name;
            ++chained;
        }
    }
    EXPECT_GE(chained, 80) << "spine, neck, finger and toe chains";
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
