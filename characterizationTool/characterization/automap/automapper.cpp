#include "automapper.h"

#include "mapper.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace automap {

AutoMapProposal Mapper::Run()
{
    AutoMapProposal proposal;
    if (m_count == 0) {
        proposal.refusal = QStringLiteral("the skeleton has no joints");
        return proposal;
    }
    if (!BuildTopology(proposal.refusal))
        return proposal;

    // 1-3. Limbs, trunk and the limbs' joints.
    const std::vector<LimbPair> pairs = FindLimbPairs();
    LimbPair legs, arms;
    LimbParse legParse[2], armParse[2];
    if (!ChooseLimbs(pairs, legs, arms, legParse, armParse, proposal.refusal))
        return proposal;
    CompareTwins(legParse, kLegRatio);
    CompareTwins(armParse, kArmRatio);
    // 4. Facing and sides: each pair ordered left first.
    double sideConfidence = 0.0;
    const Vec3 left = DecideSides(legs, arms, legParse, armParse, sideConfidence);
    const int hips = HipsJoint(legs.branch, (Pos(legParse[0].path[legParse[0].upper]) +
                                             Pos(legParse[1].path[legParse[1].upper])) *
                                                0.5);

    // 5. Proposals, most certain first: a joint goes to the first slot that claims it.
    m_slots.assign(NodeCount, AutoMapSlot());
    m_used.assign(m_count, false);
    m_alternative.assign(NodeCount, -1);
    const int shoulders[2] = {armParse[0].path[armParse[0].upper],
                              armParse[1].path[armParse[1].upper]};
    ProposeTrunk(hips, legs.branch, arms, shoulders);
    // Sides barely told or guessed do not scale the rows' own confidence: they cap every
    // sided row.
    const bool guessed = sideConfidence < kWeakSides;
    const double sideWeight = guessed ? 1.0 : sideConfidence;
    for (int s = 0; s < 2; ++s) {
        const QString side = QLatin1String(kSideWord[s]);
        const QByteArray foot = (side + QStringLiteral(" foot")).toLatin1();
        const QByteArray hand = (side + QStringLiteral(" hand")).toLatin1();
        ProposeLimb(legParse[s], kLegSlots[s], sideWeight, "a leg", foot.constData());
        ProposeLimb(armParse[s], kArmSlots[s], sideWeight, "an arm", hand.constData());
    }
    for (int s = 0; s < 2; ++s) {
        const int foot = legParse[s].path[legParse[s].end];
        ProposeFoot(foot, ToeOf(foot), Side(s), left, sideWeight);
        ProposeHand(armParse[s], Side(s), sideWeight);
    }
    if (guessed)
        for (AutoMapSlot& slot : m_slots)
            if (slot.joint >= 0 && MirrorNodeOf(slot.node) > 0)
                slot.confidence = std::min(slot.confidence, sideConfidence);
    AddRunnerUps(sideConfidence);
    // Where the sides are in doubt, every sided row says what decided them.
    if (sideConfidence < 1.0)
        for (AutoMapSlot& slot : m_slots)
            if (slot.joint >= 0 && MirrorNodeOf(slot.node) > 0)
                slot.reason += QStringLiteral("; sides: ") + m_sideReason;
    for (const AutoMapSlot& slot : m_slots)
        if (slot.joint >= 0)
            proposal.entries.append(slot);
    if (armParse[0].end < 0 && m_note.isEmpty())
        m_note = QStringLiteral("the hands are not proposed: the arms end one joint past the "
                                "elbow");
    for (NodeId node = 1; node < 16 && proposal.note.isEmpty(); ++node)
        if (m_slots[node].joint < 0)
            proposal.note = m_note.isEmpty()
                                ? QStringLiteral("some required slots are not proposed: no "
                                                 "joint fits them clearly enough")
                                : m_note;
    if (proposal.note.isEmpty() && m_sidesGuessed)
        proposal.note = QStringLiteral("left and right are a guess: nothing in the pose or the "
                                       "names shows which way the body faces");
    return proposal;
}

} // namespace automap

QString AutoMapProposal::RunnerUpText(const AutoMapSlot& slot, const QStringList& names)
{
    QStringList parts;
    for (const AutoMapRunnerUp& runnerUp : slot.runnerUps)
        parts << QStringLiteral("%1 %2")
                     .arg(names.value(runnerUp.joint))
                     .arg(runnerUp.score, 0, 'f', 2);
    return parts.join(QStringLiteral(", "));
}

QStringList AutoMapProposal::ReasonLines(const QStringList& names) const
{
    QStringList lines;
    for (const AutoMapSlot& slot : entries)
        lines << QStringLiteral("%1 %2 %3 | %4 | %5")
                     .arg(slot.node)
                     .arg(names.value(slot.joint))
                     .arg(slot.confidence, 0, 'f', 2)
                     .arg(slot.reason, RunnerUpText(slot, names));
    if (!refusal.isEmpty())
        lines << QStringLiteral("refused: ") + refusal;
    else if (!note.isEmpty())
        lines << QStringLiteral("note: ") + note;
    return lines;
}

const AutoMapSlot* AutoMapProposal::SlotOf(NodeId node) const
{
    for (const AutoMapSlot& slot : entries)
        if (slot.node == node)
            return &slot;
    return nullptr;
}

AutoMapProposal AutoMapper::Propose(const Skeleton& skeleton)
{
    return automap::Mapper(skeleton).Run();
}
