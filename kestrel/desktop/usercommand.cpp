#include "desktop/usercommand.h"

#include "host.h"

namespace kestrel {

ScriptResult UserCommand::Run(Host& host, const QString& statement)
{
    ExecuteOptions options;
    options.undoable = true;
    return host.GetInterpreter().Execute(statement, options);
}

QString UserCommand::Quoted(const QString& text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            quoted += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            quoted += QStringLiteral("\\t");
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace kestrel
