// Matching settings read from hand-written files, prefix guessing and template matching on
// real-world naming styles.
#include "automap/jointnames.h"
#include "files/namematcher.h"
#include "scriptedhub.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QStringList kDelimiters = {".", " ", ":", "_"};

struct NameMatcherTest : ::testing::Test
{
    QTemporaryDir dir;
    MatchingSettings settings;

    // Loads name-matching settings from a hand-written settings file.
    void LoadSettings(MatchingSettings& into, const QByteArray& xml)
    {
        QFile file(dir.filePath("settings.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(xml);
        file.close();
        into.LoadNameMatching(file.fileName());
    }

    NameMatcher matcher{settings, nullptr};

    QString Prefix(const QString& name)
    {
        QString prefix;
        matcher.GuessPrefixFromName(name, prefix);
        return prefix;
    }

    // A template with the given names at the given nodes, empty elsewhere.
    static QVector<TemplateEntry> Entries(std::initializer_list<std::pair<NodeId, QString>> named)
    {
        QVector<TemplateEntry> entries(NodeCount);
        for (const auto& [id, name] : named)
            entries[id].name = name;
        return entries;
    }

    NodeId Match(const QString& bone, const QVector<TemplateEntry>& entries,
                 const QString& root = QString())
    {
        NodeId node = 99;
        const bool matched = matcher.MatchBoneToTemplate(bone, root, entries, node);
        EXPECT_EQ(matched, node >= 0) << bone.toStdString();
        return node;
    }
};

// A host whose clean names drop a "|"-separated path.
struct PathCleaningHub : ScriptedHub
{
    QString CleanNodeName(const QString& hostName) override
    {
        return hostName.section(QLatin1Char('|'), -1);
    }
};

} // namespace

TEST_F(NameMatcherTest, BuiltInDelimitersComeFirstAndMatchTypeDefaultsToSuffix)
{
    MatchingSettings read;
    LoadSettings(read, "<config_root><name_match><delimiter_list><item value=\"_\"/><item "
                       "value=\"-\"/></delimiter_list><match_type value=\"contains\"/>"
                       "</name_match></config_root>");
    EXPECT_EQ(read.Delimiters(), (QStringList{".", " ", ":", "_", "-"}));
    EXPECT_EQ(read.GetMatchType(), MatchType::Suffix) << "the text is case-sensitive";
    LoadSettings(read, "<config_root><name_match><match_type value=\"Contains\"/></name_match>"
                       "</config_root>");
    EXPECT_EQ(read.GetMatchType(), MatchType::Contains);
    EXPECT_EQ(read.Delimiters(), (QStringList{".", " ", ":", "_"}));
}

TEST_F(NameMatcherTest, MirrorPairsGoBothWaysAndReloadForgetsRemovedOnes)
{
    const QString path = dir.filePath("settings.xml");
    LoadSettings(settings, "<config_root><mirror><mirror_list><item key=\"Left\" value=\"Right\"/>"
                           "<item key=\"L_\" value=\"R_\"/></mirror_list></mirror></config_root>");
    settings.ReloadMirrorPairs(path);
    EXPECT_EQ(settings.MirrorKeywords(), (QStringList{"Left", "Right", "L_", "R_"}));
    ASSERT_EQ(settings.MirrorPairs().size(), 4);
    EXPECT_EQ(settings.MirrorPairs()[1], qMakePair(QString("Right"), QString("Left")));
    LoadSettings(settings, "<config_root><mirror><mirror_list><item key=\"L_\" value=\"R_\"/>"
                           "</mirror_list></mirror></config_root>");
    settings.ReloadMirrorPairs(path);
    EXPECT_EQ(settings.MirrorKeywords(), (QStringList{"L_", "R_"}));
    EXPECT_EQ(settings.MirrorPairs().size(), 2);
    settings.ReloadMirrorPairs(dir.filePath("absent.xml"));
    EXPECT_TRUE(settings.MirrorPairs().isEmpty());
}

TEST(PrefixRoot, IsThePrefixBeforeItsLastDelimiter)
{
    EXPECT_EQ(PrefixRoot("Char1:", kDelimiters), "Char1");
    EXPECT_EQ(PrefixRoot("Char1", kDelimiters), "Char1");
    EXPECT_EQ(PrefixRoot(":", kDelimiters), ":");
    EXPECT_EQ(PrefixRoot("", kDelimiters), "");
    EXPECT_EQ(PrefixRoot("ns:Bip01 ", kDelimiters), "ns:Bip01");
    EXPECT_EQ(LastIndexOfAny("a:b_c", kDelimiters, -1), 3);
    EXPECT_EQ(LastIndexOfAny("a:b_c", kDelimiters, 2), 1);
    EXPECT_EQ(LastIndexOfAny("abc", {}, -1), -1);
}

TEST_F(NameMatcherTest, GuessesPrefixesOfCommonNamingStyles)
{
    EXPECT_EQ(Prefix("Char1:Hips"), "Char1:");
    EXPECT_EQ(Prefix("Bip01_Spine_01"), "Bip01_");
    EXPECT_EQ(Prefix("Bip01 L Thigh"), "Bip01 L ");
    EXPECT_EQ(Prefix("Hips"), "");
    EXPECT_EQ(Prefix("_Hips"), "_") << "a delimiter that starts the name is the prefix";
    EXPECT_EQ(Prefix("Spine_01_"), "") << "a name that is all tail has no prefix";

    QString kept = "kept";
    EXPECT_TRUE(matcher.GuessPrefixFromName("Hips", kept)) << "no delimiter: prefix unchanged";
    EXPECT_EQ(kept, "kept");

    settings.AddMirrorPair("L_", "R_");
    EXPECT_EQ(Prefix("Bip01_L_Thigh"), "Bip01_");
    settings.AddMirrorPair("Left", "Right");
    EXPECT_EQ(Prefix("Bip01_Left_Thigh"), "Bip01_Left_")
        << "a keyword directly before the delimiter is not cut";
    settings = MatchingSettings(); // the user removed the pairs: the matcher reads them live
    EXPECT_EQ(Prefix("Bip01_L_Thigh"), "Bip01_L_");

    QString prefix;
    EXPECT_TRUE(matcher.GuessPrefix({"Hips", "x", "Char2:Spine"}, prefix));
    EXPECT_EQ(prefix, "Char2:");
}

TEST_F(NameMatcherTest, EmptyDelimiterFromAHandEditedFileNeverLoops)
{
    LoadSettings(settings, "<config_root><name_match><delimiter_list><item value=\"\"/>"
                           "<item value=\"-\"/></delimiter_list></name_match></config_root>");
    EXPECT_EQ(Prefix("rig-Spine-2"), "rig-");
}

TEST_F(NameMatcherTest, CleanedNamesAreTrimmed)
{
    PathCleaningHub hub;
    NameMatcher cleaning(settings, &hub);
    QString prefix;
    EXPECT_TRUE(cleaning.GuessPrefixFromName("world|rig|Bip01 Pelvis", prefix));
    EXPECT_EQ(prefix, "Bip01");

    NodeId node = -1;
    EXPECT_TRUE(cleaning.MatchBoneToTemplate("world|Char1:LeftHand", "",
                                             Entries({{11, "LeftHand"}}), node));
    EXPECT_EQ(node, 11);
}

TEST_F(NameMatcherTest, ContainsModeTakesTheLongestEntryAndNeverTheRoot)
{
    MatchingSettings contains;
    LoadSettings(contains, "<config_root><name_match><match_type value=\"Contains\"/>"
                           "</name_match></config_root>");
    NameMatcher matcher(contains, nullptr);

    const auto entries = Entries({{9, "Arm"}, {10, "ForeArm"}, {12, "Arm"}});
    NodeId node = -1;
    EXPECT_TRUE(matcher.MatchBoneToTemplate("Char:leftFOREARM", "", entries, node));
    EXPECT_EQ(node, 10);
    EXPECT_TRUE(matcher.MatchBoneToTemplate("Char:RightArm", "", entries, node));
    EXPECT_EQ(node, 9) << "equal lengths: the lowest node id";

    QVector<TemplateEntry> rooted(NodeCount);
    rooted[0].useRoot = true;
    EXPECT_FALSE(matcher.MatchBoneToTemplate("Char2", "Char2", rooted, node));
    EXPECT_EQ(node, -1);
}

TEST_F(NameMatcherTest, SuffixModeTakesTheFirstEntryInNodeOrder)
{
    const auto entries = Entries({{11, "Hand"}, {50, "LeftHand"}});
    EXPECT_EQ(Match("Char:LeftHand", entries), 11);
    EXPECT_EQ(Match("Char:lefthand", entries), 11) << "case is ignored";
    EXPECT_EQ(Match("Char:Hand_end", entries), -1);

    QVector<TemplateEntry> rooted = Entries({{1, "Hips"}});
    rooted[0].useRoot = true;
    EXPECT_EQ(Match("char2", rooted, "Char2"), 0);
    EXPECT_EQ(Match("Char2", rooted, ""), -1) << "no root, no use-root match";
}

TEST_F(NameMatcherTest, InlineRollNodesAreLeftUnmatchedWhenSkipped)
{
    const auto entries = Entries({{9, "Arm"}, {45, "LeftArmRoll"}});
    EXPECT_EQ(Match("Char:LeftArmRoll", entries), 45);
    settings.SetSkipRollNodesInMatching(true);
    EXPECT_EQ(Match("Char:LeftArmRoll", entries), -1);
    EXPECT_EQ(Match("Char:LeftArm", entries), 9);
    // The roll entry is the first suffix match; a later, shorter match does not step in.
    EXPECT_EQ(Match("Char:LeftArmRoll_Arm", Entries({{45, "Arm"}, {46, "Roll_Arm"}})), -1);
}

// The words a joint name splits into: at separators and case changes, but a run of capitals stays
// one word, except that its last capital starts the next word before a lower-case letter.
TEST(JointNames, WordsSplitAtCaseChangesButKeepCapitalRunsTogether)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"LeftUpLeg", {"left", "up", "leg"}}, {"HEAD_end", {"head", "end"}},
        {"LThumb", {"l", "thumb"}},           {"LeftARM", {"left", "arm"}},
        {"upperLegL", {"upper", "leg", "l"}},
    };
    for (const auto& [name, words] : cases)
        EXPECT_EQ(JointNames::Words(name), words) << name;
}
