#include "desktop/scripttext.h"

namespace kestrel {

QString ScriptText::Quoted(const QString& text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            quoted += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            quoted += QLatin1String("\\t");
        else
            quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString ScriptText::Number(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace kestrel
