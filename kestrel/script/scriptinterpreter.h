// Runs script texts: parses them and executes each statement through the command registry.
#pragma once

#include "kestrelexport.h"
#include "script/scriptparser.h"
#include "script/status.h"
#include "script/value.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace kestrel {

class Host;
class Plugin;
class UndoStep;

// How a text is executed. With `echo` the text is first written to the host's output. With
// `undoable` the undoable commands it runs are recorded on the undo queue.
struct ExecuteOptions
{
    bool echo = false;
    bool undoable = false;
};

// Status of the last statement that ran, and its result (nothing when it set none).
struct ScriptResult
{
    Status status = Status::Success;
    Value result;
};

// Statements run in order and the text stops at the first failing one. Every failure is
// displayed through the host's error display: a syntax error (then nothing runs), an unknown
// command, arguments that do not fit the command's syntax (then the command does not run), or
// a failure status (with the command's own message if it displayed one, else "name: status
// text").
//
// Undo steps: each outermost statement (one not run from inside another command) opens a
// step; every undoable command that succeeds while it runs, nested ones included, joins the
// step if its text was executed undoable. Nothing is recorded while the undo queue replays.
class KESTREL_EXPORT ScriptInterpreter
{
public:
    // Called after each top-level statement of Execute with its result.
    using StatementObserver = std::function<void(const Statement& statement, const Value& result)>;

    explicit ScriptInterpreter(Host& host);
    ~ScriptInterpreter();
    ScriptInterpreter(const ScriptInterpreter&) = delete;
    ScriptInterpreter& operator=(const ScriptInterpreter&) = delete;

    ScriptResult Execute(const QString& text, const ExecuteOptions& options,
                         const StatementObserver& observer = StatementObserver());
    ScriptResult Run(const Statement& statement, const ExecuteOptions& options);

    // Depth of statements running inside each other (0 when none runs).
    int Depth() const { return static_cast<int>(m_running.size()); }
    // True while a command registered by `plugin` is running.
    bool IsRunningCommandOf(const Plugin* plugin) const;
    // Deletes the commands of `plugin` collected for the undo step of the statement running
    // now (the plug-in is being unloaded by a nested statement).
    void DiscardOpenStepCommandsOf(const Plugin* plugin);

    // Views that show state only commands can ask for (the tool's characterizations, say)
    // refresh after each script text run from outside any command.
    using ExecutedCallback = std::function<void()>;
    int AddExecutedCallback(ExecutedCallback callback);
    void RemoveExecutedCallback(int id);

private:
    void NotifyExecuted();

    Host& m_host;
    std::vector<const Plugin*> m_running; // owners of the running commands, outermost first
    std::unique_ptr<UndoStep> m_openStep;
    std::map<int, ExecutedCallback> m_executedCallbacks;
    int m_nextCallbackId = 1;
};

} // namespace kestrel
