#include "script/scriptinterpreter.h"

#include "script/commandregistry.h"
#include "script/parsedarguments.h"
#include "script/scriptlexer.h"
#include "script/textlog.h"
#include "script/undoqueue.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

#include <algorithm>

namespace kestrel {

namespace {

// Scripts that run scripts (through plug-in commands) stop here instead of exhausting the
// stack.
constexpr int kMaxDepth = 64;
// Longest undo label; a longer statement is cut with an ellipsis.
constexpr int kMaxLabel = 60;

QString ArgumentText(const Value& value)
{
    return value.Type() == ValueType::String ? ScriptLexer::Quote(value.ToString())
                                             : value.ToText();
}

// The statement as a person would type it, for undo labels.
QString StatementText(const Statement& statement)
{
    QStringList parts;
    for (const Argument& argument : statement.arguments)
        parts.append(argument.isFlag ? QLatin1Char('-') + argument.flag
                                     : ArgumentText(argument.value));
    QString text = statement.callForm
                       ? statement.command + QLatin1Char('(') + parts.join(QStringLiteral(", ")) +
                             QLatin1Char(')')
                       : (QStringList{statement.command} + parts).join(QLatin1Char(' '));
    if (text.size() > kMaxLabel)
        text = text.left(kMaxLabel - 1) + QChar(0x2026);
    return text;
}

} // namespace

ScriptInterpreter::ScriptInterpreter(const ScriptContext& context)
    : m_context(context)
    , m_eventContext(std::make_unique<QObject>())
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
    if (m_pendingStep && m_pendingStep->IsOwnedBy(plugin))
        m_pendingStep.reset();
}

ScriptResult ScriptInterpreter::ExecuteForPlugin(const QString& text, const ExecuteOptions& options)
{
    const QScopedValueRollback<bool> pluginText(m_pluginText, m_running.empty());
    ++m_pluginActivity;
    return Execute(text, options);
}

void ScriptInterpreter::RequestSettle()
{
    m_settleRequested = true;
    // A running statement settles when it ends; otherwise the event loop closes it.
    if (m_running.empty())
        ScheduleClose();
}

void ScriptInterpreter::ScheduleClose()
{
    if (m_closeScheduled || !QCoreApplication::instance())
        return;
    m_closeScheduled = true;
    QMetaObject::invokeMethod(
        m_eventContext.get(),
        [this] {
            m_closeScheduled = false;
            ClosePendingStep();
        },
        Qt::QueuedConnection);
}

void ScriptInterpreter::Settle(UndoStep& step, bool recording)
{
    if (!m_settleHook)
        return;
    // Scripts the hook runs are nested in the step, not statements of their own.
    m_running.push_back(nullptr);
    m_settleHook(step, recording);
    m_running.pop_back();
}

void ScriptInterpreter::ClosePendingStep()
{
    // While a statement runs (a dialog's event loop inside it, say) the step waits: the
    // statement's end settles and schedules the close again.
    if (!m_running.empty() || (!m_pendingStep && !m_settleRequested))
        return;
    m_settleRequested = false;
    UndoQueue& undoQueue = m_context.undoQueue;
    m_openStep = m_pendingStep ? std::move(m_pendingStep) : std::make_unique<UndoStep>();
    Settle(*m_openStep, !undoQueue.IsReplaying());
    std::unique_ptr<UndoStep> step = std::move(m_openStep);
    if (step && !undoQueue.IsReplaying())
        undoQueue.Push(std::move(step));
    NotifyExecuted();
}

ScriptResult ScriptInterpreter::Execute(const QString& text, const ExecuteOptions& options,
                                        const StatementObserver& observer)
{
    QVector<Statement> statements;
    QString error;
    if (!ScriptParser::Parse(text, &statements, &error)) {
        m_context.errors.Append(QStringLiteral("Syntax error: ") + error);
        return {Status::InvalidParameter, Value()};
    }
    if (options.echo)
        m_context.output.Append(text);
    ScriptResult last;
    for (const Statement& statement : statements) {
        last = Run(statement, options);
        if (observer)
            observer(statement, last.result);
        // After "quit" nothing more runs.
        if (last.status != Status::Success || m_context.quitRequested())
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
        m_context.errors.Append(QStringLiteral("%1: scripts are nested more than %2 levels deep.")
                                    .arg(name)
                                    .arg(kMaxDepth));
        return {Status::InvalidState, Value()};
    }
    const CommandRegistry::Entry* entry = m_context.commands.Find(name);
    if (!entry) {
        m_context.errors.Append(QStringLiteral("Unknown command \"%1\".").arg(name));
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
            m_context.errors.Append(name + QStringLiteral(": ") + parsed.ErrorText());
            return {parsed.ParseStatus(), Value()};
        }
    }
    std::unique_ptr<Command> command = entry->creator();
    if (!command) {
        m_context.errors.Append(QStringLiteral("%1: the command could not be created.").arg(name));
        return {Status::Failure, Value()};
    }

    UndoQueue& undoQueue = m_context.undoQueue;
    const bool outermost = m_running.empty();
    const bool pending = outermost && m_pluginText;
    // What a panel did before this statement is a step of its own, settled before it runs.
    if (outermost && !pending)
        ClosePendingStep();
    const bool recording = options.undoable && !undoQueue.IsReplaying();
    const quint64 replaysBefore = undoQueue.ReplayCount();
    if (pending)
        m_openStep = m_pendingStep ? std::move(m_pendingStep) : std::make_unique<UndoStep>();
    else if (outermost)
        m_openStep = std::make_unique<UndoStep>();
    const int errorsBefore = m_context.errors.Count();
    if (owner)
        ++m_pluginActivity;
    m_running.push_back(owner);
    const Status status = command->Run(arguments);
    m_running.pop_back();
    if (status != Status::Success && m_context.errors.Count() == errorsBefore)
        m_context.errors.Append(name + QStringLiteral(": ") + StatusText(status) +
                                QLatin1Char('.'));

    ScriptResult result{status, command->Result()};
    if (status == Status::Success && recording && m_openStep && command->IsUndoable())
        m_openStep->Add(std::move(command), owner, name);
    if (pending) {
        if (m_openStep && !m_openStep->IsEmpty())
            m_pendingStep = std::move(m_openStep);
        m_openStep.reset();
        if (m_pendingStep || m_settleRequested)
            ScheduleClose();
    } else if (outermost && m_openStep) {
        // Host commands name their step after the statement; a plug-in's step and a click are
        // named by what the settling saw them change.
        if (!owner && name != QLatin1String("click"))
            m_openStep->SetLabel(StatementText(statement));
        m_settleRequested = false;
        Settle(*m_openStep, recording && undoQueue.ReplayCount() == replaysBefore);
        std::unique_ptr<UndoStep> step = std::move(m_openStep);
        if (step && !undoQueue.IsReplaying())
            undoQueue.Push(std::move(step));
        if (m_pendingStep)
            ScheduleClose();
    }
    return result;
}

} // namespace kestrel
