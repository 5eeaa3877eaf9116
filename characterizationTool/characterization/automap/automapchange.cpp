#include "automapchange.h"

#include "model/characterizationmodel.h"

#include <QStringList>

AutoMapChange::AutoMapChange(const QVector<Binding>& bindings)
    : m_bindings(bindings)
{}

QVector<AutoMapChange::Binding> AutoMapChange::TickedRows(const AutoMapProposal& proposal,
                                                          const QStringList& jointNames)
{
    QVector<Binding> rows;
    for (const AutoMapSlot& slot : proposal.entries)
        if (slot.confidence >= AutoMapProposal::kTickThreshold && slot.joint >= 0 &&
            slot.joint < jointNames.size())
            rows.append({slot.node, jointNames[slot.joint]});
    return rows;
}

int AutoMapChange::Apply(CharacterizationModel& model)
{
    m_before.clear();
    std::vector<NodeId> moved;
    QVector<bool> isRow(NodeCount, false);
    for (const Binding& row : m_bindings)
        isRow[row.node] = true;
    for (const Binding& row : m_bindings) {
        NodeId other = -1;
        if (model.FindNodeOfJoint(row.joint, other) && !isRow[other]) {
            m_before.append({other, row.joint});
            moved.push_back(other);
        }
    }
    for (const Binding& row : m_bindings)
        m_before.append({row.node, model.JointOfNode(row.node)});
    if (!moved.empty())
        model.ClearNodes(moved);
    for (const Binding& row : m_bindings)
        model.AssignNode(row.node, row.joint);
    model.Revalidate();
    return m_bindings.size();
}

void AutoMapChange::Revert(CharacterizationModel& model)
{
    std::vector<NodeId> empty;
    for (const Binding& before : m_before)
        if (before.joint.isEmpty())
            empty.push_back(before.node);
    if (!empty.empty())
        model.ClearNodes(empty);
    for (const Binding& before : m_before)
        if (!before.joint.isEmpty())
            model.AssignNode(before.node, before.joint);
    model.Revalidate();
}

QVector<AutoMapChange::Binding> AutoMapChange::After() const
{
    QVector<Binding> after;
    for (const Binding& before : m_before) {
        Binding now{before.node, QString()};
        for (const Binding& row : m_bindings)
            if (row.node == before.node)
                now.joint = row.joint;
        after.append(now);
    }
    return after;
}
