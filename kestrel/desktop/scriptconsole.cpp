#include "desktop/scriptconsole.h"

#include "desktop/consoleinput.h"
#include "desktop/consoleoutput.h"
#include "desktop/usersettings.h"
#include "host.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPointer>
#include <QSettings>
#include <QSplitter>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const QString kPrompt = QStringLiteral("> ");
const QString kResultPrefix = QStringLiteral("// Result: ");

// The platform's fixed-pitch font, or any monospaced one where the platform names none (the
// offscreen platform answers its proportional default).
QFont FixedPitchFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch()) {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}

// The text with a prompt before each of its lines.
QString Echo(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line.prepend(kPrompt);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

const char ScriptConsole::kHistoryKey[] = "scriptConsole/history";

ScriptConsole::ScriptConsole(Host& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("scriptConsole"));
    auto* const splitter = new QSplitter(Qt::Vertical, this);
    m_output = new ConsoleOutput(splitter);
    m_input = new ConsoleInput(splitter);
    splitter->addWidget(m_output);
    splitter->addWidget(m_input);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto* const layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    setFocusProxy(m_input);
    setFont(FixedPitchFont());

    m_input->setPalette(m_output->palette());
    m_input->History().Load(DesktopSettings(), QLatin1String(kHistoryKey));
    connect(m_input, &ConsoleInput::Submitted, this, &ScriptConsole::RunEntered);
    ListenTo(host.GetOutputLog(), &ScriptConsole::ShowOutput);
    ListenTo(host.GetWarningLog(), &ScriptConsole::ShowWarning);
    ListenTo(host.GetErrorLog(), &ScriptConsole::ShowError);
}

ScriptConsole::~ScriptConsole()
{
    for (const auto& [log, id] : m_listening)
        log->RemoveListener(id);
}

void ScriptConsole::ListenTo(TextLog& log, void (ScriptConsole::*show)(const QString&))
{
    const TextLog::ListenerId id =
        log.AddListener([this, show](const QString& text) { (this->*show)(text); });
    m_listening.emplace_back(&log, id);
}

// The batch runner prints results as output; they still read as results here.
void ScriptConsole::ShowOutput(const QString& text)
{
    const bool result = text.startsWith(kResultPrefix);
    m_output->AppendLines(
        result ? ConsoleOutput::LineKind::Result : ConsoleOutput::LineKind::Output, text);
}

void ScriptConsole::ShowWarning(const QString& text)
{
    m_output->AppendLines(ConsoleOutput::LineKind::Warning, QStringLiteral("// Warning: ") + text);
}

void ScriptConsole::ShowError(const QString& text)
{
    m_output->AppendLines(ConsoleOutput::LineKind::Error, QStringLiteral("// Error: ") + text);
}

void ScriptConsole::RunEntered(const QString& text)
{
    QSettings settings = DesktopSettings();
    m_input->History().Save(settings, QLatin1String(kHistoryKey));
    WriteSettings(settings, m_host);
    Run(text);
}

void ScriptConsole::Run(const QString& text)
{
    if (m_running) {
        ShowWarning(tr("The console is still running a script; this one did not run: %1")
                        .arg(text.simplified()));
        return;
    }
    m_running = true;
    m_output->Flush();
    m_output->ScrollToEnd(); // the person wants to see what their text does
    m_output->AppendLines(ConsoleOutput::LineKind::Input, Echo(text));
    ExecuteOptions options;
    options.undoable = true;
    // A statement may destroy this console (deleteUI); nothing of it is touched after that.
    const QPointer<ScriptConsole> alive(this);
    m_host.GetInterpreter().Execute(text, options, [alive](const Statement&, const Value& value) {
        if (alive && !value.IsNone())
            alive->m_output->AppendLines(ConsoleOutput::LineKind::Result,
                                         kResultPrefix + value.ToText());
    });
    if (alive)
        m_running = false;
}

void ScriptConsole::Clear()
{
    m_output->Clear();
}

} // namespace kestrel
