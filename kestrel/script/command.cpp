#include "script/command.h"

namespace kestrel {

Command::~Command() = default;

Status Command::Redo()
{
    return Status::Success;
}

Status Command::Undo()
{
    return Status::Success;
}

bool Command::IsUndoable() const
{
    return false;
}

void Command::AppendToResult(const QString& item)
{
    QStringList items = m_result.ToStringArray();
    items.append(item);
    m_result = Value(items);
}

} // namespace kestrel
