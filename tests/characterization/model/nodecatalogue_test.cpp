// The node catalogue checked against facts that do not come from its own tables: the
// naming rules of the slots, the left/right swap, leaf-roll column arithmetic.
#include "model/nodecatalogue.h"
#include "solver/nodenames.h"

#include <gtest/gtest.h>

#include <cctype>
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

const char* const kLimbs[8] = {"LeftUpLeg", "LeftLeg",     "RightUpLeg", "RightLeg",
                               "LeftArm",   "LeftForeArm", "RightArm",   "RightForeArm"};

} // namespace

TEST(NodeNames, AreUniqueAndFollowTheBlockRules)
{
    std::set<std::string> seen;
    for (NodeId id = 0; id < NodeCount; ++id) {
        EXPECT_FALSE(Name(id).empty()) << id;
        EXPECT_TRUE(seen.insert(Name(id)).second) << "duplicate " << Name(id);
    }
    EXPECT_EQ(Name(-1), "");
    EXPECT_EQ(Name(NodeCount), "");

    const char* digits[6] = {"Thumb", "Index", "Middle", "Ring", "Pinky", "ExtraFinger"};
    const char* blocks[4] = {"LeftHand", "RightHand", "LeftFoot", "RightFoot"};
    const char* bases[4] = {"LeftInHand", "RightInHand", "LeftInFoot", "RightInFoot"};
    for (int b = 0; b < 4; ++b) {
        for (int d = 0; d < 6; ++d) {
            for (int k = 1; k <= 4; ++k) {
                EXPECT_EQ(Name(50 + 24 * b + 4 * d + k - 1),
                          std::string(blocks[b]) + digits[d] + std::to_string(k));
            }
            EXPECT_EQ(Name(146 + 6 * b + d), std::string(bases[b]) + digits[d]);
        }
    }
    for (int k = 1; k <= 9; ++k) {
        EXPECT_EQ(Name(22 + k), "Spine" + std::to_string(k));
        EXPECT_EQ(Name(31 + k), "Neck" + std::to_string(k));
    }
    for (int limb = 0; limb < 8; ++limb) {
        EXPECT_EQ(Name(InlineRollNodes[limb]), std::string(kLimbs[limb]) + "Roll");
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(Name(LeafRollNode(limb, k)),
                      "Leaf" + std::string(kLimbs[limb]) + "Roll" + std::to_string(k));
    }
    EXPECT_EQ(Name(49), "HipsTranslation");
    EXPECT_EQ(Name(170), "LeftShoulderExtra");
    EXPECT_EQ(Name(211), "LeafRightForeArmRoll5");
}

TEST(NodeCatalogue, RequiredNodesAreHipsThroughHead)
{
    std::set<NodeId> required;
    for (NodeId id = -1; id <= NodeCount; ++id) {
        if (IsRequiredNode(id))
            required.insert(id);
    }
    EXPECT_EQ(required.size(), 15u);
    EXPECT_EQ(*required.begin(), IdOf("Hips"));
    EXPECT_EQ(*required.rbegin(), IdOf("Head"));
    EXPECT_FALSE(IsRequiredNode(IdOf("Reference")));
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

TEST(NodeCatalogue, ChainsCoverEveryNumberedSegmentInOrder)
{
    std::set<NodeId> covered;
    for (const NodeChain& chain : NodeChains) {
        ASSERT_GE(chain.Count, 4);
        // "Neck" starts its chain unnumbered; every other chain starts at segment 1.
        const int firstNumber = std::isdigit(Name(chain.Nodes[0]).back()) ? 1 : 0;
        for (int i = 1; i < chain.Count; ++i) {
            // Consecutive chain members differ only by their trailing segment number.
            const std::string previous = Name(chain.Nodes[i - 1]);
            const std::string current = Name(chain.Nodes[i]);
            EXPECT_EQ(current.back() - '0', i + firstNumber) << current;
            EXPECT_TRUE(covered.insert(chain.Nodes[i]).second) << current << " in two chains";
            EXPECT_EQ(current.substr(0, current.size() - 1), previous.substr(0, current.size() - 1))
                << chain.Description;
        }
        covered.insert(chain.Nodes[0]);
        // The description reads the first slot's name in words.
        std::string words;
        for (char c : Name(chain.Nodes[0])) {
            if (std::isupper(static_cast<unsigned char>(c)) && !words.empty())
                words += ' ';
            words += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (chain.Count == 4) {
            words.pop_back();
            // Digits other than the thumb read "... finger": "left foot index finger".
            if (words.find("thumb") == std::string::npos &&
                words.find("finger") == std::string::npos)
                words += " finger";
            EXPECT_EQ(words, chain.Description);
        }
    }
    // Spine1..9, Neck and Neck1..9 and all 96 digit segments.
    EXPECT_EQ(covered.size(), 9u + 10u + 96u);
    EXPECT_EQ(std::string(NodeChains[0].Description), "spine");
    EXPECT_EQ(std::string(NodeChains[1].Description), "neck");
    EXPECT_EQ(Name(NodeChains[1].Nodes[0]), "Neck");
}

TEST(NodeCatalogue, InversionPartsAreTheKneesAndElbowsInFlagOrder)
{
    const char* expected[4][2] = {{"LeftLeg", "leftKneeInverted"},
                                  {"RightLeg", "rightKneeInverted"},
                                  {"LeftForeArm", "leftElbowInverted"},
                                  {"RightForeArm", "rightElbowInverted"}};
    for (int i = 0; i < 4; ++i) {
        const InversionPart* part = InversionPartOfNode(IdOf(expected[i][0]));
        ASSERT_NE(part, nullptr) << expected[i][0];
        EXPECT_EQ(part->FlagIndex, i);
        EXPECT_STREQ(part->HostAttribute, expected[i][1]);
        // Partners invert partners.
        EXPECT_EQ(InversionPartOfNode(MirrorNodeOf(part->Node))->FlagIndex, i ^ 1);
    }
    EXPECT_EQ(InversionPartOfNode(IdOf("LeftArm")), nullptr);
}

TEST(NodeCatalogue, PositionCheckTablesNameTheRightSlots)
{
    for (const NodePair& pair : LimbSegmentPairs) {
        EXPECT_LT(pair.First, pair.Second);
        EXPECT_TRUE(IsRequiredNode(pair.First) && IsRequiredNode(pair.Second));
        EXPECT_FALSE(IsExcludedFromPositionCheck(pair.First));
    }
    EXPECT_TRUE(IsToleratedCoincidence(IdOf("HipsTranslation"), IdOf("Hips")));
    EXPECT_FALSE(IsToleratedCoincidence(IdOf("Hips"), IdOf("Spine")));

    int excluded = 0;
    for (NodeId id = 0; id < NodeCount; ++id) {
        const bool rollName = Name(id).find("Roll") != std::string::npos;
        EXPECT_EQ(IsExcludedFromPositionCheck(id), rollName) << Name(id);
        excluded += rollName;
    }
    EXPECT_EQ(excluded, 48);
}
