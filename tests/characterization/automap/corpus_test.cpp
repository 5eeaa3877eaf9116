// The auto-mapper measured on the corpus: shared and generated rigs under every trait, with
// and without names; precision per confidence band and the traits that fail.
#include "corpusmeasure.h"
#include "generatedrigs.h"
#include "rigscenewriter.h"
#include "sceneskeleton.h"

#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// CT_CORPUS_SEED=N draws another corpus; CT_CORPUS_DUMP=TEXT prints the rows of every rig whose
// label holds TEXT; CT_CORPUS_FAILURES=N lists more of the failing rigs (those whose sides the
// pose or, named, the side words tell).
CorpusMeasure MeasureCorpus(bool scramble)
{
    QStringList problems;
    const quint32 seed = qEnvironmentVariableIsSet("CT_CORPUS_SEED")
                             ? qEnvironmentVariable("CT_CORPUS_SEED").toUInt()
                             : 2026;
    const std::vector<TruthRig> corpus = BuildCorpus(seed, 300, &problems);
    EXPECT_TRUE(problems.isEmpty()) << qPrintable(problems.join('\n'));
    const CorpusMeasure m =
        CorpusMeasure::Of(corpus, scramble, qEnvironmentVariable("CT_CORPUS_DUMP"));
    m.Print(stdout, scramble ? "renamed" : "named",
            qEnvironmentVariableIsSet("CT_CORPUS_FAILURES")
                ? qEnvironmentVariableIntValue("CT_CORPUS_FAILURES")
                : 12);
    return m;
}

} // namespace

// With names: no row that binds without asking is wrong, every rig without an edit maps every
// required slot, and so does every edited rig whose names or pose tell the sides (a rig whose
// side words are missing or read from the viewer is held to the pose alone); nearly every other
// slot is right and every non-biped is refused for what it is.
TEST(AutoMapCorpus, NamedRigsMapRightAndNeverConfidentlyWrong)
{
    const CorpusMeasure m = MeasureCorpus(false);
    const CorpusTally& plain = m.byTrait.at("(none)");
    EXPECT_EQ(m.all.wrongConfident, 0);
    EXPECT_EQ(plain.requiredRight, plain.requiredTotal);
    EXPECT_EQ(m.decidable.requiredRight, m.decidable.requiredTotal);
    EXPECT_GE(m.all.otherRight * 1000, m.all.otherTotal * 990);
    EXPECT_EQ(m.all.bipedsRefused, 0);
    EXPECT_EQ(m.all.nonBipedsAccepted, 0);
    EXPECT_EQ(m.all.silentlyEmpty, 0);
    EXPECT_EQ(m.all.jointsTwice, 0);
}

// With every joint renamed: still no confidently wrong row, and the required slots right where
// the rest pose alone shows which way the body faces.
TEST(AutoMapCorpus, RenamedRigsNeverConfidentlyWrong)
{
    const CorpusMeasure m = MeasureCorpus(true);
    EXPECT_EQ(m.all.wrongConfident, 0);
    EXPECT_GE(m.decidable.requiredRight * 1000, m.decidable.requiredTotal * 999);
    EXPECT_GE(m.all.otherRight * 100, m.all.otherTotal * 97);
    EXPECT_EQ(m.all.bipedsRefused, 0);
    EXPECT_EQ(m.all.nonBipedsAccepted, 0);
    EXPECT_EQ(m.all.silentlyEmpty, 0);
    EXPECT_EQ(m.all.jointsTwice, 0);
}

// A rig written as a scene reads back through the host with the same joints, parents and world
// positions, so what the desktop shows of a corpus rig is what the auto-mapper was given.
TEST(AutoMapCorpus, RigsWrittenAsScenesReadBackAsTheyWere)
{
    BipedShape shape;
    shape.convention = 1;
    const TruthRig rig = GenerateBiped(shape);
    QTemporaryDir dir;
    const QString path = dir.filePath(RigSceneWriter::FileName(rig, 3));
    QString error;
    ASSERT_TRUE(RigSceneWriter::Write(rig, path, &error)) << qPrintable(error);
    Skeleton back;
    ASSERT_TRUE(LoadSkeleton(path, back));
    ASSERT_EQ(back.joints.size(), rig.skeleton.joints.size());
    QHash<QString, int> written; // the host keeps parents before children, not the rig's order
    for (int j = 0; j < back.joints.size(); ++j)
        written.insert(back.joints[j].name, j);
    const auto nameOf = [](const Skeleton& s, int j) {
        return j < 0 ? QString() : s.joints[j].name;
    };
    for (const SkeletonJoint& joint : rig.skeleton.joints) {
        const int j = written.value(joint.name, -1);
        ASSERT_GE(j, 0) << qPrintable(joint.name);
        EXPECT_EQ(nameOf(back, back.joints[j].parent), nameOf(rig.skeleton, joint.parent));
        EXPECT_LT((back.joints[j].position - joint.position).Length(), 1e-9);
    }
    EXPECT_FALSE(RigSceneWriter::Write(rig, dir.filePath("no/such/folder/rig.json"), &error));
}
