// One character's mapping of host joints to solver node slots.
#pragma once

#include "nodecatalogue.h"
#include "solver/character.h"

#include <QPointer>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <memory>

class IDCCHub;

// The joint bound to each of the 212 slots with its usage word and rest state, plus the
// character's name, locked flag and knee/elbow inversion flags. Shared between the model's
// list and whoever holds it (std::shared_ptr).
//
// Invariants: the per-node arrays always have NodeCount entries; usage bit 0 is set by
// SetJointName and cleared (with the other bits) by ClearNode; bits 1-2 are only ever added,
// by a rest state with limits.
class Characterization
{
public:
    using UsageArray = std::array<std::uint32_t, NodeCount>;

    // A hub, when given, is told to watch the character's host node for as long as this
    // record lives, unless the name is the hub's placeholder name. The hub is not owned.
    explicit Characterization(const QString& name, IDCCHub* hub = nullptr);
    ~Characterization();

    Characterization(const Characterization&) = delete;
    Characterization& operator=(const Characterization&) = delete;

    bool IsNodeAssigned(NodeId id) const { return (m_usage[id] & kinetra::NodeUsed) != 0; }
    // Used with rotation limits: usage word 7.
    bool HasNodeLimits(NodeId id) const;
    const QString& JointName(NodeId id) const { return m_jointNames[id]; }
    // Binds `joint` to the slot and marks it used.
    void SetJointName(NodeId id, const QString& joint);
    // Unbinds the slot: empty name, usage 0. The rest state is kept.
    void ClearNode(NodeId id);
    const QVector<QString>& JointNames() const { return m_jointNames; }

    const UsageArray& NodeUsage() const { return m_usage; }
    int RestStateCount() const { return NodeCount; }
    const kinetra::NodeRestState& RestState(NodeId id) const { return m_restStates[id]; }
    const kinetra::NodeRestState* RestStates() const { return m_restStates.data(); }
    // Stores the record; a non-zero limit flag word raises the slot's usage to 7.
    void SetRestState(NodeId id, const kinetra::NodeRestState& state);
    void ResetRestState(NodeId id);

    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    bool IsLocked() const { return m_locked; }
    void SetLocked(bool locked) { m_locked = locked; }
    kinetra::InversionFlags& InversionFlags() { return m_inversion; }
    const kinetra::InversionFlags& InversionFlags() const { return m_inversion; }

    // Builds a solver character: `usageOut` receives the usage words handed to the solver
    // (all bits with `allBits`, else 1 per used node). With a hub, parent offsets are applied.
    // The caller destroys the character with the deallocator matching `allocate`; null when
    // the allocator fails.
    kinetra::Character* CreateSolverCharacter(UsageArray& usageOut, bool allBits,
                                              kinetra::AllocateFunction allocate, IDCCHub* hub);

    // For every node used with limits whose host parent joint is not the joint bound to its
    // solver parent, stores the rotation between the two (conj(Rp) * Rh, world space) as the
    // node's parent offset, in the rest state and in the character.
    void ApplyParentOffsets(kinetra::Character* character, IDCCHub* hub);

private:
    UsageArray m_usage{};
    std::array<kinetra::NodeRestState, NodeCount> m_restStates;
    kinetra::InversionFlags m_inversion{};
    QVector<QString> m_jointNames;
    QString m_name;
    bool m_locked = false;
    QPointer<IDCCHub> m_hub;
};

using CharacterizationPtr = std::shared_ptr<Characterization>;
