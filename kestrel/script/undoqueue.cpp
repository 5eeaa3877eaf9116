#include "script/undoqueue.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace kestrel {

void UndoStep::Add(std::unique_ptr<Command> command, const Plugin* owner, const QString& name)
{
    m_items.push_back({std::move(command), owner, name});
}

void UndoStep::RemoveCommandsNamed(const QString& name)
{
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [&name](const Item& item) { return item.name == name; }),
                  m_items.end());
}

bool UndoStep::IsOwnedBy(const Plugin* owner) const
{
    for (const Item& item : m_items) {
        if (item.owner == owner)
            return true;
    }
    return false;
}

Status UndoStep::Undo()
{
    return Replay(false);
}

Status UndoStep::Redo()
{
    return Replay(true);
}

Status UndoStep::Replay(bool forward)
{
    const int count = static_cast<int>(m_items.size());
    for (int i = 0; i < count; ++i) {
        Command& command = *m_items[forward ? i : count - 1 - i].command;
        const Status status = forward ? command.Redo() : command.Undo();
        if (status != Status::Success)
            return status;
    }
    return Status::Success;
}

void UndoQueue::Push(std::unique_ptr<UndoStep> step)
{
    if (!step || step->IsEmpty())
        return;
    m_undo.push_back(std::move(step));
    m_redo.clear();
}

Status UndoQueue::Undo()
{
    return Replay(m_undo, m_redo, false);
}

Status UndoQueue::Redo()
{
    return Replay(m_redo, m_undo, true);
}

Status UndoQueue::Replay(std::vector<std::unique_ptr<UndoStep>>& from,
                         std::vector<std::unique_ptr<UndoStep>>& to, bool forward)
{
    if (from.empty() || m_replaying)
        return Status::InvalidState;
    std::unique_ptr<UndoStep> step = std::move(from.back());
    from.pop_back();
    Status status;
    {
        QScopedValueRollback<bool> replaying(m_replaying, true);
        ++m_replayCount;
        status = forward ? step->Redo() : step->Undo();
    }
    if (status != Status::Success) {
        m_redo.clear();
        return status;
    }
    to.push_back(std::move(step));
    return Status::Success;
}

QString UndoQueue::UndoLabel() const
{
    return m_undo.empty() ? QString() : m_undo.back()->Label();
}

QString UndoQueue::RedoLabel() const
{
    return m_redo.empty() ? QString() : m_redo.back()->Label();
}

void UndoQueue::Clear()
{
    // Move out first: command destructors may run scripts that look at the queue.
    auto undo = std::move(m_undo);
    auto redo = std::move(m_redo);
    m_undo.clear();
    m_redo.clear();
}

bool UndoQueue::ClearIfOwnedBy(const Plugin* owner)
{
    for (const auto* queue : {&m_undo, &m_redo}) {
        for (const auto& step : *queue) {
            if (step->IsOwnedBy(owner)) {
                Clear();
                return true;
            }
        }
    }
    return false;
}

} // namespace kestrel
