#include "script/scriptinterpreter.h"

#include "host.h"
#include "scene/undoqueue.h"
#include "script/commandregistry.h"
#include "script/parsedarguments.h"
#include "script/textlog.h"

#include <algorithm>

namespace kestrel {

namespace {

// Scripts that run scripts (through plug-in commands) stop here instead of exhausting the
// stack.
constexpr int kMaxDepth = 64;

} // namespace

ScriptInterpreter::ScriptInterpreter(Host& host)
    : m_host(host)
{}

ScriptInterpreter::~ScriptInterpreter() = default;

bool ScriptInterpreter::IsRunningCommandOf(const Plugin* plugin) const
{
    return std::find(m_running.begin(), m_running.end(), plugin) != m_running.end();
}

void ScriptInterpreter::DiscardOpenStepCommandsOf(const Plugin* plugin)
{
    if (m_openStep && m_openStep->IsOwnedBy(plugin))
        m_openStep = std::make_unique<UndoStep>();
}

ScriptResult ScriptInterpreter::Execute(const QString& text, const ExecuteOptions& options,
                                        const StatementObserver& observer)
{
    QVector<Statement> statements;
    QString error;
    if (!ScriptParser::Parse(text, &statements, &error)) {
        m_host.DisplayError(QStringLiteral("Syntax error: ") + error);
        return {Status::InvalidParameter, Value()};
    }
    if (options.echo)
        m_host.Print(text);
    ScriptResult last;
    for (const Statement& statement : statements) {
        last = Run(statement, options);
        if (observer)
            observer(statement, last.result);
        // After "quit" nothing more runs.
        if (last.status != Status::Success || m_host.QuitRequested())
            break;
    }
    if (m_running.empty())
        NotifyExecuted();
    return last;
}

int ScriptInterpreter::AddExecutedCallback(ExecutedCallback callback)
{
    const int id = m_nextCallbackId++;
    m_executedCallbacks.emplace(id, std::move(callback));
    return id;
}

void ScriptInterpreter::RemoveExecutedCallback(int id)
{
    m_executedCallbacks.erase(id);
}

void ScriptInterpreter::NotifyExecuted()
{
    // A copy: a callback may run scripts or remove callbacks.
    const auto callbacks = m_executedCallbacks;
    for (const auto& entry : callbacks)
        entry.second();
}

ScriptResult ScriptInterpreter::Run(const Statement& statement, const ExecuteOptions& options)
{
    const QString& name = statement.command;
    if (Depth() >= kMaxDepth) {
        m_host.DisplayError(QStringLiteral("%1: scripts are nested more than %2 levels deep.")
                                .arg(name)
                                .arg(kMaxDepth));
        return {Status::InvalidState, Value()};
    }
    const CommandRegistry::Entry* entry = m_host.GetCommands().Find(name);
    if (!entry) {
        m_host.DisplayError(QStringLiteral("Unknown command \"%1\".").arg(name));
        return {Status::NotFound, Value()};
    }
    // Copies: the command may deregister itself while it runs.
    const Plugin* const owner = entry->owner;
    const bool hasSyntax = entry->hasSyntax;
    const Syntax syntax = entry->syntax;
    const ArgumentList arguments(statement.arguments, hasSyntax ? &syntax : nullptr);
    if (hasSyntax) {
        const ParsedArguments parsed(syntax, arguments);
        if (parsed.ParseStatus() != Status::Success) {
            m_host.DisplayError(name + QStringLiteral(": ") + parsed.ErrorText());
            return {parsed.ParseStatus(), Value()};
        }
    }
    std::unique_ptr<Command> command = entry->creator();
    if (!command) {
        m_host.DisplayError(QStringLiteral("%1: the command could not be created.").arg(name));
        return {Status::Failure, Value()};
    }

    UndoQueue& undoQueue = m_host.GetUndoQueue();
    const bool outermost = m_running.empty();
    const bool recording = options.undoable && !undoQueue.IsReplaying();
    if (outermost)
        m_openStep = std::make_unique<UndoStep>();
    const int errorsBefore = m_host.GetErrorLog().Count();
    m_running.push_back(owner);
    const Status status = command->Run(arguments);
    m_running.pop_back();
    if (status != Status::Success && m_host.GetErrorLog().Count() == errorsBefore)
        m_host.DisplayError(name + QStringLiteral(": ") + StatusText(status) + QLatin1Char('.'));

    ScriptResult result{status, command->Result()};
    if (status == Status::Success && recording && m_openStep && command->IsUndoable())
        m_openStep->Add(std::move(command), owner);
    if (outermost && m_openStep) {
        std::unique_ptr<UndoStep> step = std::move(m_openStep);
        if (!undoQueue.IsReplaying())
            undoQueue.Push(std::move(step));
    }
    return result;
}

} // namespace kestrel
