// Matching settings read from hand-written settings files.
#include "model/matchingsettings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct MatchingSettingsTest : ::testing::Test
{
    QTemporaryDir dir;
    QString path;

    void Write(const QByteArray& xml)
    {
        path = dir.filePath("characterization_tool.xml");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(xml);
    }
};

} // namespace

TEST_F(MatchingSettingsTest, BuiltInDelimitersComeFirstAndMatchTypeDefaultsToSuffix)
{
    Write("<config_root><name_match><delimiter_list><item value=\"_\"/><item value=\"-\"/>"
          "</delimiter_list><match_type value=\"contains\"/></name_match></config_root>");
    MatchingSettings settings;
    settings.LoadNameMatching(path);
    EXPECT_EQ(settings.Delimiters(), (QStringList{".", " ", ":", "_", "-"}));
    EXPECT_EQ(settings.GetMatchType(), MatchType::Suffix) << "the text is case-sensitive";

    Write("<config_root><name_match><match_type value=\"Contains\"/></name_match></config_root>");
    settings.LoadNameMatching(path);
    EXPECT_EQ(settings.GetMatchType(), MatchType::Contains);
    EXPECT_EQ(settings.Delimiters(), (QStringList{".", " ", ":", "_"}));
}

TEST_F(MatchingSettingsTest, MirrorPairsGoBothWaysAndReloadForgetsRemovedOnes)
{
    Write("<config_root><mirror><mirror_list><item key=\"Left\" value=\"Right\"/>"
          "<item key=\"L_\" value=\"R_\"/></mirror_list></mirror></config_root>");
    MatchingSettings settings;
    settings.ReloadMirrorPairs(path);
    EXPECT_EQ(settings.MirrorKeywords(), (QStringList{"Left", "Right", "L_", "R_"}));
    ASSERT_EQ(settings.MirrorPairs().size(), 4);
    EXPECT_EQ(settings.MirrorPairs()[1], qMakePair(QString("Right"), QString("Left")));

    Write("<config_root><mirror><mirror_list><item key=\"L_\" value=\"R_\"/></mirror_list>"
          "</mirror></config_root>");
    settings.ReloadMirrorPairs(path);
    EXPECT_EQ(settings.MirrorKeywords(), (QStringList{"L_", "R_"}));
    EXPECT_EQ(settings.MirrorPairs().size(), 2);
}

TEST_F(MatchingSettingsTest, MissingFileGivesBuiltInDefaults)
{
    MatchingSettings settings;
    settings.LoadNameMatching(dir.filePath("absent.xml"));
    settings.ReloadMirrorPairs(dir.filePath("absent.xml"));
    EXPECT_EQ(settings.Delimiters().size(), 4);
    EXPECT_EQ(settings.GetMatchType(), MatchType::Suffix);
    EXPECT_TRUE(settings.MirrorPairs().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("absent.xml"))) << "reading never creates the file";
}
