#include "desktop/scripttext.h"

#include "script/scriptlexer.h"

namespace kestrel {

QString ScriptText::Quoted(const QString& text)
{
    return ScriptLexer::Quote(text);
}

QString ScriptText::Number(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace kestrel
