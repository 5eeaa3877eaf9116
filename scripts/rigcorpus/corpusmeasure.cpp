#include "corpusmeasure.h"

#include "automapper.h"
#include "jointnames.h"
#include "rigvariants.h"

#include <QRandomGenerator>

#include <algorithm>

namespace {

bool ThighsNamedBySide(const TruthRig& rig)
{
    const int left = rig.Joint(2), right = rig.Joint(5);
    return left >= 0 && right >= 0 &&
           JointNames::SideOf(rig.skeleton.joints[left].name) == JointNames::Side::Left &&
           JointNames::SideOf(rig.skeleton.joints[right].name) == JointNames::Side::Right;
}

void PrintRow(std::FILE* out, const QString& label, const CorpusTally& t)
{
    std::fprintf(out, "%-22s %5d %6d/%-6d %6d/%-6d %6d %d\n", qPrintable(label), t.rigs,
                 t.requiredRight, t.requiredTotal, t.otherRight, t.otherTotal, t.wrongConfident,
                 t.bipedsRefused);
}

} // namespace

CorpusMeasure CorpusMeasure::Of(const std::vector<TruthRig>& corpus, bool scramble,
                                const QString& dump)
{
    CorpusMeasure m;
    QRandomGenerator random(7);
    for (TruthRig rig : corpus) {
        QStringList names; // the joints' own names, for the dump
        for (const SkeletonJoint& joint : rig.skeleton.joints)
            names << joint.name;
        if (scramble)
            ScrambleNames(rig, random);
        const AutoMapProposal proposal = AutoMapper::Propose(rig.skeleton);
        const QString label = rig.source + " + " + rig.traits.join(" + ");
        if (!dump.isEmpty() && label.contains(dump))
            std::printf("== %s\n%s\n", qPrintable(label),
                        qPrintable(proposal.ReasonLines(names).join('\n')));
        CorpusTally one;
        one.Add(rig, proposal);
        m.all.Merge(one);
        if (!rig.biped || FacingShownByGeometry(rig) || (!scramble && ThighsNamedBySide(rig)))
            m.decidable.Merge(one);
        for (const QString& trait : rig.traits.isEmpty() ? QStringList{"(none)"} : rig.traits)
            m.byTrait[trait].Merge(one);
    }
    return m;
}

void CorpusMeasure::Print(std::FILE* out, const char* title, int failures) const
{
    std::fprintf(out, "\n%s: %d rigs\n%-22s %5s %13s %13s %6s %s\n", title, all.rigs, "trait",
                 "rigs", "required", "other", ">=0.8x", "refused");
    for (const auto& [trait, t] : byTrait)
        PrintRow(out, trait, t);
    PrintRow(out, QStringLiteral("all"), all);
    std::fprintf(out, "%-22s %5d %6d/%-6d  (sides shown by the pose or names)\n", "decidable",
                 decidable.rigs, decidable.requiredRight, decidable.requiredTotal);
    std::fprintf(out, "confidence band   rows   right  precision\n");
    for (int b = 0; b < CorpusTally::kBands; ++b)
        std::fprintf(out, "[%.1f, %.1f)      %6d %6d  %6.2f%%\n", CorpusTally::BandLow(b),
                     CorpusTally::BandLow(b) + 0.1, all.bandRows[b], all.bandRight[b],
                     all.bandRows[b] ? 100.0 * all.bandRight[b] / all.bandRows[b] : 100.0);
    const int shown = std::min<int>(decidable.failures.size(), failures);
    for (int k = 0; k < shown; ++k)
        std::fprintf(out, "  %s\n", qPrintable(decidable.failures[k]));
}
