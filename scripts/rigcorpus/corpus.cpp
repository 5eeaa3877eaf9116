#include "corpus.h"

#include "generatedrigs.h"
#include "rigvariants.h"
#include "sharedrigs.h"

#include "solver/nodenames.h"

#include <QRandomGenerator>
#include <QSet>

#include <algorithm>

std::vector<TruthRig> BuildCorpus(quint32 seed, int generated, QStringList* problems)
{
    QRandomGenerator random(seed);
    std::vector<TruthRig> corpus;
    const auto withTraits = [&](const TruthRig& base, const std::vector<const RigTrait*>& traits) {
        TruthRig rig = base;
        for (const RigTrait* trait : traits) {
            if (!trait->apply(rig, random))
                return;
            rig.traits << QLatin1String(trait->name);
        }
        corpus.push_back(rig);
    };
    for (const TruthRig& rig : SharedRigs(problems)) {
        corpus.push_back(rig);
        if (!rig.biped)
            continue;
        for (const RigTrait& trait : RigTraits())
            withTraits(rig, {&trait});
    }
    const std::vector<RigTrait>& traits = RigTraits();
    for (int k = 0; k < generated; ++k) {
        const BipedShape shape = RandomBipedShape(random);
        TruthRig base = GenerateBiped(shape);
        base.source =
            QStringLiteral("generated %1 (%2)").arg(k).arg(NamingConventionName(shape.convention));
        corpus.push_back(base);
        withTraits(base, {&traits[random.bounded(int(traits.size()))]});
        const RigTrait* first = &traits[random.bounded(int(traits.size()))];
        const RigTrait* second = &traits[random.bounded(int(traits.size()))];
        if (first != second)
            withTraits(base, {first, second});
    }
    for (const TruthRig& rig : GenerateNonBipeds())
        corpus.push_back(rig);
    return corpus;
}

void CorpusTally::Add(const TruthRig& rig, const AutoMapProposal& proposal)
{
    ++rigs;
    const QString label =
        rig.source + (rig.traits.isEmpty() ? QString() : " + " + rig.traits.join(" + "));
    if (!rig.biped) {
        if (proposal.IsBiped() || !proposal.refusal.contains(rig.refusedFor)) {
            ++nonBipedsAccepted;
            failures << label + QStringLiteral(": not a biped (%1), but: %2")
                                    .arg(rig.refusedFor, proposal.IsBiped()
                                                             ? QStringLiteral("taken for one")
                                                             : proposal.refusal);
        }
        return;
    }
    if (!proposal.IsBiped()) {
        ++bipedsRefused;
        failures << label + QStringLiteral(": refused: ") + proposal.refusal;
    }
    QStringList misses;
    for (const auto& [node, joint] : rig.truth) {
        const AutoMapSlot* slot = proposal.SlotOf(node);
        const bool right = slot && slot->joint == joint;
        (IsRequiredNode(node) ? requiredTotal : otherTotal) += 1;
        (IsRequiredNode(node) ? requiredRight : otherRight) += right;
        if (!right && IsRequiredNode(node)) {
            misses << QStringLiteral("%1=%2 (got %3)")
                          .arg(QLatin1String(kinetra::NodeName(node)),
                               rig.skeleton.joints[joint].name,
                               slot ? rig.skeleton.joints[slot->joint].name : QString("-"));
            silentlyEmpty += !slot && proposal.IsBiped() && proposal.note.isEmpty();
        }
    }
    QSet<int> bound;
    for (const AutoMapSlot& slot : proposal.entries) {
        if (bound.contains(slot.joint)) {
            ++jointsTwice;
            misses << QStringLiteral("%1 bound twice").arg(rig.skeleton.joints[slot.joint].name);
        }
        bound.insert(slot.joint);
        const bool right = rig.Joint(slot.node) == slot.joint;
        const int band = std::clamp(int((slot.confidence - 0.5) * 10.0 + 1e-9), 0, kBands - 1);
        ++bandRows[band];
        bandRight[band] += right;
        if (!right && slot.confidence >= AutoMapProposal::kTickThreshold) {
            ++wrongConfident;
            misses << QStringLiteral("%1=%2 at %3 (truth %4)")
                          .arg(QLatin1String(kinetra::NodeName(slot.node)),
                               rig.skeleton.joints[slot.joint].name)
                          .arg(slot.confidence, 0, 'f', 2)
                          .arg(rig.Joint(slot.node) < 0
                                   ? QString("-")
                                   : rig.skeleton.joints[rig.Joint(slot.node)].name);
        }
    }
    if (!misses.isEmpty())
        failures << label + ": " + misses.join(' ');
}

void CorpusTally::Merge(const CorpusTally& o)
{
    rigs += o.rigs;
    requiredRight += o.requiredRight;
    requiredTotal += o.requiredTotal;
    otherRight += o.otherRight;
    otherTotal += o.otherTotal;
    for (int b = 0; b < kBands; ++b) {
        bandRows[b] += o.bandRows[b];
        bandRight[b] += o.bandRight[b];
    }
    wrongConfident += o.wrongConfident;
    bipedsRefused += o.bipedsRefused;
    nonBipedsAccepted += o.nonBipedsAccepted;
    silentlyEmpty += o.silentlyEmpty;
    jointsTwice += o.jointsTwice;
    failures += o.failures;
}
