// Literals for the script texts the desktop's views run on the user's behalf.
#pragma once

#include <QString>

namespace kestrel {

// Builds pieces of script text whose content comes from a person or from the scene, so that
// no value can end a statement early or start another one.
class ScriptText
{
public:
    // `text` as a double-quoted script string: backslash, quote, newline and tab escaped.
    static QString Quoted(const QString& text);
    // A double written so that reading it back gives the same value.
    static QString Number(double value);
};

} // namespace kestrel
