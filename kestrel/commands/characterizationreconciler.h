// Keeps the characterization tool and the scene's character nodes holding one record.
#pragma once

#include "commands/characterizationrecord.h"
#include "kestrelexport.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrel {

class Host;
class Node;
class UndoStep;

// The invariant it keeps: after every top-level statement, undo, redo and panel action, every
// characterization of the tool that binds, inverts or locks anything has a character node of
// the same name holding the same slots, inversions and lock, every character node is such a
// characterization of the tool (or an empty one), and the tool's current characterization is
// the host's current character whenever it has a node.
//
// Either side may have moved since they last agreed: the scene through undo, redo, scripts
// and deleted or renamed joints; the tool through edits that never reach the scene on their
// own (a lock, a binding made with -characternodeassign, an inversion set by script). Each
// field (a slot, a flag) is compared three ways, against the record both held when they last
// agreed: the side that changed it wins, and the scene wins when both did. The tool is told
// through its own command, as a host script would; the scene is changed through the character
// procedures, recorded in the step that caused the change.
class KESTREL_EXPORT CharacterizationReconciler
{
public:
    explicit CharacterizationReconciler(Host& host);
    ~CharacterizationReconciler();
    CharacterizationReconciler(const CharacterizationReconciler&) = delete;
    CharacterizationReconciler& operator=(const CharacterizationReconciler&) = delete;

    // Starts watching the scene for changes that can touch a characterization (character nodes,
    // bound joints), so that statements that touch none (moving a joint, say) settle at no
    // cost. Called once the host is complete.
    void WatchScene();

    // Takes what the scene holds as agreed (after the tool was told the whole scene).
    void Rebase();
    // Brings both sides in line; the interpreter's settle hook. Names a step that has no label
    // after what changed ("Clear Head", "Lock Hero"), and drops the tool's commands from a step
    // in which nothing changed, so a query never buries a change. Nothing without the tool.
    void Settle(UndoStep& step, bool recording);

private:
    struct Plan
    {
        QStringList missingInTool; // characterizations the tool must make first
        QStringList toTool;        // tool statements, run unrecorded
        QStringList lockInTool;    // characterizations whose lock the tool must toggle
        QStringList toScene;       // character procedures, recorded with the step
    };
    bool ReadTool(CharacterizationRecord* record);
    Plan MakePlan(const CharacterizationRecord& scene, const CharacterizationRecord& tool) const;
    void PlanCharacter(const CharacterRecord& scene, const CharacterRecord& tool,
                       const CharacterRecord& agreed, bool hasNode, Plan* plan) const;
    void TellTool(const Plan& plan, const CharacterizationRecord& tool);
    // Character procedures, joining the settling step when `recording`.
    void RunInScene(const QStringList& statements, bool recording);
    void FollowToolsCurrent(const CharacterizationRecord& tool);
    // A binding to a joint the scene does not have stays the tool's alone (a script bound a
    // name that is not there); the tool reports it when it is unlocked or validated.
    bool IsTransform(const QString& joint) const;

    // Whether the scene or the tool may have moved since the last settle.
    bool MayHaveMoved() const;
    void MarkIfCharacterization(const Node& node);

    Host& m_host;
    std::vector<quint64> m_watches;
    bool m_sceneMoved = true;
    quint64 m_pluginActivity = 0;
    quint64 m_replays = 0;
    CharacterizationRecord m_agreed;
    CharacterizationRecord m_lastTool;
    bool m_hasAgreed = false;
    bool m_settling = false;
};

} // namespace kestrel
