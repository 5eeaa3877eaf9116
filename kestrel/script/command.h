// The base class of every command the host runs: built-in commands and plug-in commands.
#pragma once

#include "base/status.h"
#include "base/value.h"
#include "kestrelexport.h"
#include "script/argumentlist.h"

#include <QStringList>

namespace kestrel {

// A command object lives for one invocation, and afterwards on the undo queue for as long as
// the host keeps it there (undoable commands that succeeded). The host calls Run once; later
// Undo and Redo alternate, Undo first.
class KESTREL_EXPORT Command
{
public:
    Command() = default;
    virtual ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Performs the command. The host has already checked the arguments against the command's
    // syntax (when it has one) and reports any failure status; a command that fails for a
    // reason of its own should display an error through the host first.
    virtual Status Run(const ArgumentList& arguments) = 0;
    // Makes the change again after an Undo.
    virtual Status Redo();
    // Takes the change back.
    virtual Status Undo();
    // Asked after a successful Run: true to be kept on the undo queue.
    virtual bool IsUndoable() const;

    // The result the invocation answers (nothing by default).
    const Value& Result() const { return m_result; }
    void SetResult(const Value& result) { m_result = result; }
    // Appends an item to a string-array result (turning any other result into an array).
    void AppendToResult(const QString& item);
    void ClearResult() { m_result = Value(); }

private:
    Value m_result;
};

} // namespace kestrel
