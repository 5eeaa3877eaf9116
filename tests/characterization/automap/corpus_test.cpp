// The auto-mapper measured on the corpus: shared and generated rigs under every trait, with
// and without names; precision per confidence band and the traits that fail.
#include "automapper.h"
#include "corpus.h"
#include "jointnames.h"
#include "rigvariants.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace {

struct Measured
{
    CorpusTally all;
    std::map<QString, CorpusTally> byTrait;
    // Rigs whose sides something other than a guess can tell: the rest pose shows the facing,
    // or (named) the thighs' names carry side words.
    CorpusTally decidable;
};

bool ThighsNamedBySide(const TruthRig& rig)
{
    const int left = rig.Joint(2), right = rig.Joint(5);
    return left >= 0 && right >= 0 &&
           JointNames::SideOf(rig.skeleton.joints[left].name) == JointNames::Side::Left &&
           JointNames::SideOf(rig.skeleton.joints[right].name) == JointNames::Side::Right;
}

Measured Measure(const std::vector<TruthRig>& corpus, bool scramble)
{
    Measured m;
    QRandomGenerator random(7);
    for (TruthRig rig : corpus) {
        QStringList names; // the joints' own names, for the dump below
        for (const SkeletonJoint& joint : rig.skeleton.joints)
            names << joint.name;
        if (scramble)
            ScrambleNames(rig, random);
        const AutoMapProposal proposal = AutoMapper::Propose(rig.skeleton);
        CorpusTally one;
        // CT_CORPUS_DUMP=TEXT prints the rows of every rig whose label contains TEXT.
        const QString label = rig.source + " + " + rig.traits.join(" + ");
        if (qEnvironmentVariableIsSet("CT_CORPUS_DUMP") &&
            label.contains(qEnvironmentVariable("CT_CORPUS_DUMP"))) {
            std::printf("== %s\n%s\n", qPrintable(label),
                        qPrintable(proposal.ReasonLines(names).join('\n')));
        }
        one.Add(rig, proposal);
        m.all.Merge(one);
        if (!rig.biped || FacingShownByGeometry(rig) || (!scramble && ThighsNamedBySide(rig)))
            m.decidable.Merge(one);
        for (const QString& trait : rig.traits.isEmpty() ? QStringList{"(none)"} : rig.traits)
            m.byTrait[trait].Merge(one);
    }
    return m;
}

void Report(const char* title, const Measured& m)
{
    std::printf("\n%s: %d rigs\n%-22s %5s %13s %13s %6s %s\n", title, m.all.rigs, "trait", "rigs",
                "required", "other", ">=0.8x", "refused");
    for (const auto& [trait, t] : m.byTrait)
        std::printf("%-22s %5d %6d/%-6d %6d/%-6d %6d %d\n", qPrintable(trait), t.rigs,
                    t.requiredRight, t.requiredTotal, t.otherRight, t.otherTotal, t.wrongConfident,
                    t.bipedsRefused);
    std::printf("%-22s %5d %6d/%-6d %6d/%-6d %6d %d\n", "all", m.all.rigs, m.all.requiredRight,
                m.all.requiredTotal, m.all.otherRight, m.all.otherTotal, m.all.wrongConfident,
                m.all.bipedsRefused);
    std::printf("%-22s %5d %6d/%-6d  (sides shown by the pose or names)\n", "decidable",
                m.decidable.rigs, m.decidable.requiredRight, m.decidable.requiredTotal);
    std::printf("confidence band   rows   right  precision\n");
    for (int b = 0; b < CorpusTally::kBands; ++b)
        std::printf("[%.1f, %.1f)      %6d %6d  %6.2f%%\n", CorpusTally::BandLow(b),
                    CorpusTally::BandLow(b) + 0.1, m.all.bandRows[b], m.all.bandRight[b],
                    m.all.bandRows[b] ? 100.0 * m.all.bandRight[b] / m.all.bandRows[b] : 100.0);
    // CT_CORPUS_FAILURES=N lists more of the failing rigs (renamed: those the pose decides).
    const int most = qEnvironmentVariableIsSet("CT_CORPUS_FAILURES")
                         ? qEnvironmentVariableIntValue("CT_CORPUS_FAILURES")
                         : 12;
    const int shown = std::min<int>(m.decidable.failures.size(), most);
    for (int k = 0; k < shown; ++k)
        std::printf("  %s\n", qPrintable(m.decidable.failures[k]));
}

} // namespace

// With names: no row that binds without asking is wrong, every rig without an edit maps every
// required slot, nearly every slot is right under the edits wherever the names or the pose tell
// the sides (a rig whose names carry no side words is held to the pose alone), and every
// non-biped is refused for what it is.
TEST(AutoMapCorpus, NamedRigsMapRightAndNeverConfidentlyWrong)
{
    const Measured m = Measure(BuildCorpus(2026, 300), false);
    Report("named", m);
    const CorpusTally& plain = m.byTrait.at("(none)");
    EXPECT_EQ(m.all.wrongConfident, 0);
    EXPECT_EQ(plain.requiredRight, plain.requiredTotal);
    EXPECT_GE(m.decidable.requiredRight * 1000, m.decidable.requiredTotal * 999);
    EXPECT_GE(m.all.requiredRight * 1000, m.all.requiredTotal * 998);
    EXPECT_GE(m.all.otherRight * 1000, m.all.otherTotal * 990);
    EXPECT_EQ(m.all.bipedsRefused, 0);
    EXPECT_EQ(m.all.nonBipedsAccepted, 0);
    EXPECT_EQ(m.all.silentlyEmpty, 0);
}

// With every joint renamed: still no confidently wrong row, and the required slots right where
// the rest pose alone shows which way the body faces.
TEST(AutoMapCorpus, RenamedRigsNeverConfidentlyWrong)
{
    const Measured m = Measure(BuildCorpus(2026, 300), true);
    Report("renamed", m);
    EXPECT_EQ(m.all.wrongConfident, 0);
    EXPECT_GE(m.decidable.requiredRight * 1000, m.decidable.requiredTotal * 999);
    EXPECT_GE(m.all.otherRight * 100, m.all.otherTotal * 97);
    EXPECT_EQ(m.all.bipedsRefused, 0);
    EXPECT_EQ(m.all.nonBipedsAccepted, 0);
    EXPECT_EQ(m.all.silentlyEmpty, 0);
}
