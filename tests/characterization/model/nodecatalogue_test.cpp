// The node catalogue checked against facts that do not come from its own tables: the
// left/right swap and the leaf-roll column arithmetic.
#include "model/nodecatalogue.h"
#include "solver/nodenames.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::string Name(NodeId id)
{
    return kinetra::NodeName(id);
}

NodeId IdOf(const std::string& name)
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (Name(id) == name)
            return id;
    }
    return -1;
}

std::string SwapSides(std::string name)
{
    if (auto at = name.find("Left"); at != std::string::npos)
        return name.replace(at, 4, "Right");
    if (auto at = name.find("Right"); at != std::string::npos)
        return name.replace(at, 5, "Left");
    return name;
}

} // namespace

// Every slot's name is pinned byte for byte by tests/data/tpose_template.xml.
TEST(NodeCatalogue, RequiredNodesAreHipsThroughHeadAndIdsOutOfRangeHaveNoName)
{
    for (NodeId id = -1; id <= NodeCount; ++id)
        EXPECT_EQ(IsRequiredNode(id), id >= IdOf("Hips") && id <= IdOf("Head")) << id;
    EXPECT_EQ(Name(-1), "");
    EXPECT_EQ(Name(NodeCount), "");
}

TEST(NodeCatalogue, StoredMirrorTableAgreesWithTheLeftRightSwap)
{
    int centreNodes = 0;
    for (NodeId id = 0; id < NodeCount; ++id) {
        const std::string swapped = SwapSides(Name(id));
        if (swapped == Name(id)) {
            EXPECT_EQ(MirrorNodeOf(id), 0) << Name(id);
            ++centreNodes;
        } else {
            EXPECT_EQ(MirrorNodeOf(id), IdOf(swapped)) << Name(id);
            EXPECT_EQ(MirrorNodeOf(MirrorNodeOf(id)), id) << "partners pair up: " << Name(id);
        }
    }
    EXPECT_EQ(centreNodes, 24);
    EXPECT_EQ(MirrorNodeOf(-1), 0);
    EXPECT_EQ(MirrorNodeOf(NodeCount), 0);
}

TEST(NodeCatalogue, LeafRollColumnsMapToTheirLimbsInlineRoll)
{
    EXPECT_EQ(InlineRollNodeOf(171), -1);
    EXPECT_EQ(InlineRollNodeOf(212), -1);
    EXPECT_EQ(InlineRollNodeOf(41), -1) << "in-line roll nodes are not leaf rolls";
    std::map<NodeId, int> leavesPerInline;
    for (NodeId id = 0; id < NodeCount; ++id) {
        const NodeId inlineRoll = InlineRollNodeOf(id);
        if (inlineRoll < 0)
            continue;
        // LeafLeftArmRoll3 belongs to LeftArmRoll: strip "Leaf" and the index.
        const std::string leaf = Name(id);
        EXPECT_EQ(Name(inlineRoll), leaf.substr(4, leaf.size() - 5)) << leaf;
        EXPECT_EQ(leaf.back() - '0', LeafRollIndex(id));
        EXPECT_EQ(LeafRollNode(LeafRollLimb(id), LeafRollIndex(id)), id);
        ++leavesPerInline[inlineRoll];
    }
    EXPECT_EQ(leavesPerInline.size(), 8u);
    for (const auto& entry : leavesPerInline)
        EXPECT_EQ(entry.second, 5) << Name(entry.first);
    EXPECT_EQ(LeafRollNode(8, 1), -1);
    EXPECT_EQ(LeafRollNode(0, 6), -1);
}

TEST(NodeCatalogue, PositionCheckTablesNameTheRightSlots)
{
    for (const NodePair& pair : LimbSegmentPairs) {
        EXPECT_LT(pair.First, pair.Second);
        EXPECT_TRUE(IsRequiredNode(pair.First) && IsRequiredNode(pair.Second));
        EXPECT_FALSE(IsExcludedFromPositionCheck(pair.First));
    }
    // Only HipsTranslation and Hips may coincide, in either order.
    const NodeId hips = IdOf("Hips"), translation = IdOf("HipsTranslation"), spine = IdOf("Spine");
    EXPECT_TRUE(IsToleratedCoincidence(translation, hips) &&
                IsToleratedCoincidence(hips, translation));
    const std::pair<NodeId, NodeId> refused[] = {{hips, spine},        {spine, hips},
                                                 {translation, spine}, {spine, translation},
                                                 {hips, hips},         {translation, translation}};
    for (const auto& [a, b] : refused)
        EXPECT_FALSE(IsToleratedCoincidence(a, b)) << a << " " << b;

    int excluded = 0;
    for (NodeId id = 0; id < NodeCount; ++id) {
        const bool rollName = Name(id).find("Roll") != std::string::npos;
        EXPECT_EQ(IsExcludedFromPositionCheck(id), rollName) << Name(id);
        excluded += rollName;
    }
    EXPECT_EQ(excluded, 48);
}
