#include "batch/batchrunner.h"

#include "host.h"
#include "io/scenedocument.h"
#include "script/textlog.h"
#include "ui/batchdialoganswerer.h"
#include "ui/uilayouts.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace kestrel {

const char* const BatchRunner::kCharacterToolLayout = "kntCharacterizationScrollControl";

BatchRunner::BatchRunner(Host& host)
    : m_host(host)
{
    if (host.Options().writeToStandardStreams)
        m_dialogLog.SetStream(stderr);
}

BatchRunner::~BatchRunner() = default;

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform warns each time a dialog opens that it cannot pass size hints to a
// window system it does not have, whenever a widget asks to be raised above others, and when a
// context menu (a script's `click -menu`) asks for the keyboard; that says nothing to the user
// of a batch run.
void QuietOffscreenMessages(QtMsgType type, const QMessageLogContext& context,
                            const QString& message)
{
    if (type == QtWarningMsg &&
        (message == QLatin1String("This plugin does not support propagateSizeHints()") ||
         message == QLatin1String("This plugin does not support raise()") ||
         message == QLatin1String("This plugin does not support grabbing the keyboard")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

void BatchRunner::PrepareBatchEnvironment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_previousHandler = qInstallMessageHandler(QuietOffscreenMessages);
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString folder =
        QDir::tempPath() +
        QStringLiteral("/kestrel-runtime-%1").arg(static_cast<qulonglong>(getuid()));
    QDir().mkpath(folder);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

bool BatchRunner::RunText(const QString& text)
{
    ExecuteOptions options;
    options.undoable = true;
    const ScriptResult result = m_host.GetInterpreter().Execute(
        text, options, [this](const Statement&, const Value& value) {
            if (!value.IsNone())
                m_host.Print(QStringLiteral("// Result: ") + value.ToText());
        });
    const bool dialogFailed = m_answerer && m_answerer->TakeFailure();
    return result.status == Status::Success && !dialogFailed;
}

// The layouts stay empty until a plug-in puts a panel in them; new layouts made by scripts
// still go under the main window.
void BatchRunner::ProvideStandardLayouts()
{
    UiLayouts& layouts = m_host.GetLayouts();
    QWidget* main = layouts.MainWindow();
    if (!main || layouts.FindLayout(QLatin1String(kCharacterToolLayout)))
        return;
    QString error;
    if (layouts.CreateLayout(QLatin1String(kCharacterToolLayout), main, &error))
        layouts.SetCurrentParent(main);
    else
        m_host.DisplayWarning(error);
}

int BatchRunner::Run(const BatchOptions& options)
{
    ProvideStandardLayouts();
    if (options.batch && m_host.GetLayouts().IsAvailable()) {
        m_answerer = std::make_unique<BatchDialogAnswerer>(
            options.answers, [this](const QString& line) { m_dialogLog.Append(line); },
            [this](const QString& error) { m_host.DisplayError(error); });
    }
    bool ok = RunActions(options);
    if (m_answerer && m_answerer->RemainingAnswers() > 0) {
        m_host.DisplayWarning(QStringLiteral("%1 dialog answer(s) were not used.")
                                  .arg(m_answerer->RemainingAnswers()));
    }
    m_answerer.reset();
    QString error;
    if (!options.logFile.isEmpty() && !m_host.GetScriptLog().WriteToFile(options.logFile, &error)) {
        m_host.DisplayError(error);
        ok = false;
    }
    return ok ? 0 : 1;
}

bool BatchRunner::RunActions(const BatchOptions& options)
{
    bool ok =
        options.scene.isEmpty() || m_host.GetDocument().Open(options.scene) == Status::Success;
    for (int i = 0; ok && !m_host.QuitRequested() && i < options.actions.size(); ++i) {
        const BatchOptions::Action& action = options.actions.at(i);
        if (!action.isScriptFile) {
            ok = RunText(action.text);
            continue;
        }
        QFile file(action.text);
        if (!file.open(QIODevice::ReadOnly)) {
            m_host.DisplayError(QStringLiteral("Cannot read the script \"%1\": %2.")
                                    .arg(action.text, file.errorString()));
            ok = false;
            continue;
        }
        ok = RunText(QString::fromUtf8(file.readAll()));
    }
    return ok;
}

} // namespace kestrel
