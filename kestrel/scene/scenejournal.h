// The record of scene changes one command made, replayed backwards to undo it.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "scene/attribute.h"
#include "scene/node.h"
#include "scene/transformvalues.h"

#include <QString>

#include <vector>

namespace kestrel {

class Scene;

// Scene records each change into the active journal (Scene::SetJournal). Entries name nodes
// by the name they had at that moment, so replaying them in order (Apply) or in reverse order
// (Revert) finds each node again as long as nothing else changed the scene in between; when
// something did, replay stops at the first entry that no longer fits and reports it.
//
// The host's undo queue stays its own rather than a QUndoStack: undo and redo here can fail
// (the scene changed under the journal) and the host must report it and drop the step, while
// QUndoCommand::undo()/redo() return nothing; QUndoStack::push() runs redo() on a command that
// has already run; and a plug-in's commands must leave the queue when it unloads. A journal
// is the record inside one command, below any such stack either way.
class KESTREL_EXPORT SceneJournal
{
public:
    bool IsEmpty() const { return m_edits.empty(); }
    int EditCount() const { return static_cast<int>(m_edits.size()); }

    // Recording, called by Scene.
    void RecordCreated(const Node& node, int childIndex);
    void RecordRemoved(const Node& node, int childIndex);
    void RecordRenamed(const QString& oldName, const QString& newName);
    void RecordReparented(const Node& node, const QString& oldParent, int oldIndex, int newIndex);
    void RecordTransform(const Node& node, const TransformValues& before);
    void RecordAttributeAdded(const Node& node, const Attribute& attribute);
    void RecordAttributeRemoved(const Node& node, const Attribute& attribute);
    void RecordAttributeSet(const Node& node, const QString& name, const Value& before,
                            const Value& after);
    void RecordConnected(const Connection& connection);
    void RecordDisconnected(const Connection& connection);

    // Undoes every recorded change, last first. Nothing is recorded while it runs.
    Status Revert(Scene& scene, QString* error) const;
    // Makes every recorded change again, first first.
    Status Apply(Scene& scene, QString* error) const;

private:
    enum class Kind
    {
        Created,
        Removed,
        Renamed,
        Reparented,
        Transform,
        AttributeAdded,
        AttributeRemoved,
        AttributeSet,
        Connected,
        Disconnected,
    };
    struct Edit
    {
        Kind kind = Kind::Created;
        QString name;        // the node, or the connection's source node
        QString otherName;   // new name, new parent, or the connection's destination node
        QString parentName;  // parent before (removal, reparenting); empty: root or none
        int index = -1;      // index among siblings before
        int otherIndex = -1; // index among siblings after
        NodeType type = NodeType::Transform;
        TransformValues before;
        TransformValues after;
        std::vector<Attribute> attributes; // removed node's attributes; or the one attribute
        Value valueBefore;
        Value valueAfter;
        QString attribute;      // attribute name, or the connection's source attribute
        QString otherAttribute; // the connection's destination attribute
    };

    static Edit MakeEdit(Kind kind, const QString& name);
    static Edit ConnectionEdit(Kind kind, const Connection& connection);
    // Every edit in order (`forward`) or in reverse order undone.
    Status Replay(Scene& scene, bool forward, QString* error) const;
    Status Replay(Scene& scene, const Edit& edit, bool forward, QString* error) const;

    std::vector<Edit> m_edits;
};

} // namespace kestrel
