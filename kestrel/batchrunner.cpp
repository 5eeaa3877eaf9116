#include "batchrunner.h"

#include "host.h"
#include "scenedocument.h"
#include "textlog.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace kestrel {

void BatchRunner::PrepareBatchEnvironment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
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
    return result.status == Status::Success;
}

int BatchRunner::Run(const BatchOptions& options)
{
    bool ok =
        options.scene.isEmpty() || m_host.GetDocument().Open(options.scene) == Status::Success;
    for (int i = 0; ok && i < options.actions.size(); ++i) {
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
    QString error;
    if (!options.logFile.isEmpty() && !m_host.GetScriptLog().WriteToFile(options.logFile, &error)) {
        m_host.DisplayError(error);
        ok = false;
    }
    return ok ? 0 : 1;
}

} // namespace kestrel
