// Naming templates: extracted from one skeleton, written, read back and applied to another.
#include "files/namingtemplate.h"
#include "golden.h"
#include "modelfixture.h"
#include "standardoutput.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Char1 (root object) ── Char1:Hips ── ...   and the same skeleton under Char2, plus a bone
// of another character whose name holds the Char2: prefix in the middle.
struct NamingTemplateTest : ModelFixture
{
    QTemporaryDir dir;
    QString path;

    void SetUp() override
    {
        hub.AddJoint("Char1", QString(), 0, 0, 0);
        ModelFixture::SetUp();
        hub.AddJoint("Char2", QString(), 0, 0, 0);
        AddTPoseBiped(hub, "Char2:");
        hub.AddJoint("Other_Char2:Hips", QString(), 0, 101, 0);
        hub.AddJoint("Bip01_Hips", QString(), 0, 101, 0);
        path = dir.filePath("template.xml");
    }
};

} // namespace

TEST_F(NamingTemplateTest, ExtractedTemplateStripsThePrefixAndMarksTheRootObject)
{
    BindBiped();
    model->AssignNode(0, "Char1");
    model->AssignNode(49, "Bip01_Hips"); // another character's bone, mapped by hand
    NamingTemplate::SaveTemplate(*model, path, "Char1:");
    EXPECT_EQ(model->LastOperationMessage(), "Template successfully saved.");

    // One item per slot keyed by its name, in id order; the root object flagged, bones of
    // another character left out.
    ExpectGolden(ReadAll(path), "tpose_template.xml");
    const auto entries = NamingTemplate::ReadTemplate(path);
    ASSERT_EQ(entries.size(), NodeCount);
    EXPECT_EQ(entries[49].name, "") << "a bone outside the prefix is left out";
    EXPECT_EQ(entries[11].name, "LeftHand");
    EXPECT_TRUE(entries[0].useRoot);
}

TEST_F(NamingTemplateTest, EmptyPrefixStoresFullBoneNames)
{
    BindBiped();
    const auto entries = NamingTemplate::BuildTemplateEntries(*model, QString());
    EXPECT_EQ(entries[1].name, "Char1:Hips");
    EXPECT_FALSE(entries[0].useRoot);
}

TEST_F(NamingTemplateTest, AppliedToPrefixedBonesMapsTheOtherSkeleton)
{
    BindBiped();
    model->AssignNode(0, "Char1");
    NamingTemplate::SaveTemplate(*model, path, "Char1:");
    model->CreateNewCharacterization();

    NamingTemplate::ApplyTemplate(*model, path, MatchScope::PrefixedBones, "Char2:");
    EXPECT_EQ(model->LastOperationMessage(), "Template successfully applied.");
    EXPECT_EQ(model->JointOfNode(0), "Char2");
    EXPECT_EQ(model->JointOfNode(1), "Other_Char2:Hips")
        << "bones holding the prefix anywhere count; the later one wins the node";
    EXPECT_EQ(model->JointOfNode(11), "Char2:LeftHand");
    EXPECT_EQ(model->JointOfNode(49), "");
    EXPECT_NE(Overall(), ValidationStatus::NotSet) << "the result was validated";
}

TEST_F(NamingTemplateTest, AppliedToTheSelectionOnlyTouchesSelectedBones)
{
    BindBiped();
    NamingTemplate::SaveTemplate(*model, path, "Char1:");
    model->CreateNewCharacterization();
    hub.Select({"Char2:LeftArm", "Char2:Head"});
    NamingTemplate::ApplyTemplate(*model, path, MatchScope::SelectedBones, "Char2:");
    EXPECT_EQ(model->JointOfNode(9), "Char2:LeftArm");
    EXPECT_EQ(model->JointOfNode(15), "Char2:Head");
    EXPECT_EQ(model->JointOfNode(1), "");
}

TEST_F(NamingTemplateTest, HandEditedAndBrokenTemplatesMatchWhatTheyHold)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Three items, keys wrong on purpose: reading goes by position.
    file.write("<config_root><match_list><item key=\"x\" value=\"\" use_root=\"TRUE\"/>"
               "<entry key=\"y\" value=\"Pelvis\"/><item value=\"L_Thigh\"/></match_list>"
               "</config_root>");
    file.close();
    const auto entries = NamingTemplate::ReadTemplate(path);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_FALSE(entries[0].useRoot) << "only the exact text true flags the root";
    EXPECT_EQ(entries[1].name, "Pelvis");

    hub.AddJoint("Char2:Pelvis", QString(), 0, 0, 0);
    hub.AddJoint("Char2:L_Thigh", QString(), 0, 0, 0);
    NamingTemplate::ApplyTemplate(*model, path, MatchScope::PrefixedBones, "Char2:");
    EXPECT_EQ(model->JointOfNode(1), "Char2:Pelvis");
    EXPECT_EQ(model->JointOfNode(2), "Char2:L_Thigh");

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<config_root><match_list><item value=\"Hips\"");
    file.close();
    const std::string out =
        StandardOutputOf([&] { EXPECT_TRUE(NamingTemplate::ReadTemplate(path).isEmpty()); });
    EXPECT_NE(out.find(path.toStdString()), std::string::npos) << out;
}
