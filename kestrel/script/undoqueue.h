// The host's undo and redo queues of undoable command objects.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "script/command.h"

#include <QString>

#include <memory>
#include <vector>

namespace kestrel {

class Plugin;

// One undo step: the undoable commands one top-level statement ran, nested ones included,
// in the order they ran.
class KESTREL_EXPORT UndoStep
{
public:
    // `name` is the command's name as the script gave it.
    void Add(std::unique_ptr<Command> command, const Plugin* owner, const QString& name);
    bool IsEmpty() const { return m_items.empty(); }
    bool IsOwnedBy(const Plugin* owner) const;
    // Drops every command of that name (commands that changed nothing a user could undo).
    void RemoveCommandsNamed(const QString& name);

    // What the step did, for "Undo LABEL" in a menu; empty until someone names it.
    const QString& Label() const { return m_label; }
    void SetLabel(const QString& label) { m_label = label; }

    // Undoes the commands last first; stops at the first failure.
    Status Undo();
    // Redoes the commands first first; stops at the first failure.
    Status Redo();

private:
    Status Replay(bool forward);

    struct Item
    {
        std::unique_ptr<Command> command;
        const Plugin* owner;
        QString name;
    };
    std::vector<Item> m_items;
    QString m_label;
};

// Steps are undone last first and move to the redo queue; a new step clears the redo queue.
// While a step is being undone or redone IsReplaying() is true and nothing may be recorded.
class KESTREL_EXPORT UndoQueue
{
public:
    UndoQueue() = default;
    UndoQueue(const UndoQueue&) = delete;
    UndoQueue& operator=(const UndoQueue&) = delete;

    // Appends a non-empty step and clears the redo queue.
    void Push(std::unique_ptr<UndoStep> step);
    // InvalidState when there is nothing to undo (or redo). A step whose Undo or Redo fails is
    // dropped together with the redo queue, and the failure returned.
    Status Undo();
    Status Redo();
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    int UndoCount() const { return static_cast<int>(m_undo.size()); }
    int RedoCount() const { return static_cast<int>(m_redo.size()); }
    // The labels of the steps Undo and Redo would replay next; empty when there is none.
    QString UndoLabel() const;
    QString RedoLabel() const;
    bool IsReplaying() const { return m_replaying; }
    // Moves on with every step undone or redone, so a caller can tell whether a statement
    // replayed one.
    quint64 ReplayCount() const { return m_replayCount; }

    // Deletes every step.
    void Clear();
    // Clears both queues when any step holds a command of `owner`; true when it did.
    bool ClearIfOwnedBy(const Plugin* owner);

private:
    // Moves the last step of `from` to `to`, undone or redone (`forward`).
    Status Replay(std::vector<std::unique_ptr<UndoStep>>& from,
                  std::vector<std::unique_ptr<UndoStep>>& to, bool forward);

    std::vector<std::unique_ptr<UndoStep>> m_undo;
    std::vector<std::unique_ptr<UndoStep>> m_redo;
    bool m_replaying = false;
    quint64 m_replayCount = 0;
};

} // namespace kestrel
