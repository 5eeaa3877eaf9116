// Runs script texts: parses them and executes each statement through the command registry.
#pragma once

#include "base/status.h"
#include "base/value.h"
#include "kestrelexport.h"
#include "script/scriptparser.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace kestrel {

class CommandRegistry;
class Plugin;
class TextLog;
class UndoQueue;
class UndoStep;

// What the interpreter runs against. Errors ("Syntax error: ...", "Unknown command ...") go to
// `errors`, echoed texts to `output`; a text stops after the statement that made
// `quitRequested` answer true.
struct ScriptContext
{
    CommandRegistry& commands;
    UndoQueue& undoQueue;
    TextLog& output;
    TextLog& errors;
    std::function<bool()> quitRequested;
};

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

// Statements run in order and the text stops at the first failing one. Every failure goes to
// the context's error log: a syntax error (then nothing runs), an unknown command, arguments
// that do not fit the command's syntax (then the command does not run), or a failure status
// (with the command's own message if it displayed one, else "name: status text").
//
// Undo steps: each outermost statement (one not run from inside another command) opens a
// step; every undoable command that succeeds while it runs, nested ones included, joins the
// step if its text was executed undoable. Nothing is recorded while the undo queue replays.
//
// Plug-in texts run outside any statement (a panel acting on a person's click) gather in one
// pending step instead: it closes, and goes on the queue, when control returns to the event
// loop or just before the next outermost statement runs, so one click is one step.
//
// Settling: after each outermost statement, and when a pending step closes, the settle hook
// runs before the step goes on the queue. Scripts it runs join that step (when it records), so
// whatever the host does to bring its parts in line is undone together with its cause.
class KESTREL_EXPORT ScriptInterpreter
{
public:
    // Called after each top-level statement of Execute with its result.
    using StatementObserver = std::function<void(const Statement& statement, const Value& result)>;

    explicit ScriptInterpreter(const ScriptContext& context);
    ~ScriptInterpreter();
    ScriptInterpreter(const ScriptInterpreter&) = delete;
    ScriptInterpreter& operator=(const ScriptInterpreter&) = delete;

    ScriptResult Execute(const QString& text, const ExecuteOptions& options,
                         const StatementObserver& observer = StatementObserver());
    // Execute for a plug-in's own text: outside any statement its undoable commands join the
    // pending step (see above) and no settling runs for it.
    ScriptResult ExecuteForPlugin(const QString& text, const ExecuteOptions& options);
    ScriptResult Run(const Statement& statement, const ExecuteOptions& options);

    // Depth of statements running inside each other (0 when none runs).
    int Depth() const { return static_cast<int>(m_running.size()); }
    // Moves on with every plug-in command run and every text a plug-in runs: a caller can tell
    // whether a plug-in may have changed its own state since it last looked.
    quint64 PluginActivity() const { return m_pluginActivity; }
    // True while a command registered by `plugin` is running.
    bool IsRunningCommandOf(const Plugin* plugin) const;
    // Deletes the commands of `plugin` collected for the undo step of the statement running
    // now (the plug-in is being unloaded by a nested statement) and the pending step holding
    // any.
    void DiscardOpenStepCommandsOf(const Plugin* plugin);

    // Views that show state only commands can ask for (the tool's characterizations, say)
    // refresh after each script text run from outside any command.
    using ExecutedCallback = std::function<void()>;
    int AddExecutedCallback(ExecutedCallback callback);
    void RemoveExecutedCallback(int id);

    // The host's settling (one hook). `recording` tells whether the scripts it runs may join
    // `step`; it is false for statements that ran without recording or that replayed a step.
    using SettleHook = std::function<void(UndoStep& step, bool recording)>;
    void SetSettleHook(SettleHook hook) { m_settleHook = std::move(hook); }
    // Asks for a settle outside any statement: at once when none runs and nothing is pending,
    // else when the pending step closes.
    void RequestSettle();
    // Closes the pending step now (settles, then puts it on the undo queue); nothing while a
    // statement runs. Called from the event loop; tests call it to stand for returning there.
    void ClosePendingStep();

private:
    void NotifyExecuted();
    void Settle(UndoStep& step, bool recording);
    void ScheduleClose();

    ScriptContext m_context;
    std::vector<const Plugin*> m_running; // owners of the running commands, outermost first
    std::unique_ptr<UndoStep> m_openStep;
    std::unique_ptr<UndoStep> m_pendingStep; // a plug-in's texts outside statements
    bool m_pluginText = false;               // ExecuteForPlugin runs outside statements
    quint64 m_pluginActivity = 0;
    bool m_settleRequested = false;
    bool m_closeScheduled = false;
    SettleHook m_settleHook;
    std::unique_ptr<QObject> m_eventContext; // queued closes die with the interpreter
    std::map<int, ExecutedCallback> m_executedCallbacks;
    int m_nextCallbackId = 1;
};

} // namespace kestrel
