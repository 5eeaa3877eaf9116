// The host's undo and redo queues of undoable command objects.
#pragma once

#include "kestrelexport.h"
#include "script/command.h"
#include "script/status.h"

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
    void Add(std::unique_ptr<Command> command, const Plugin* owner);
    bool IsEmpty() const { return m_items.empty(); }
    bool IsOwnedBy(const Plugin* owner) const;

    // Undoes the commands last first; stops at the first failure.
    Status Undo();
    // Redoes the commands first first; stops at the first failure.
    Status Redo();

private:
    struct Item
    {
        std::unique_ptr<Command> command;
        const Plugin* owner;
    };
    std::vector<Item> m_items;
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
    bool IsReplaying() const { return m_replaying; }

    // Deletes every step.
    void Clear();
    // Clears both queues when any step holds a command of `owner`; true when it did.
    bool ClearIfOwnedBy(const Plugin* owner);

private:
    std::vector<std::unique_ptr<UndoStep>> m_undo;
    std::vector<std::unique_ptr<UndoStep>> m_redo;
    bool m_replaying = false;
};

} // namespace kestrel
