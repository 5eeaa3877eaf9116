// Parses a script text into statements.
#pragma once

#include "kestrelexport.h"
#include "script/argumentlist.h"

#include <QString>
#include <QVector>

namespace kestrel {

// One command invocation: the command name and its raw arguments.
struct Statement
{
    QString command;
    QVector<Argument> arguments;
    bool callForm = false; // written name(arg, ...)
    int line = 1;
};

// The script language. Statements end at ';', a newline or the end of the text; empty
// statements are skipped. A statement is either
//     name -flag value ... positional ...      (command form; bare words are strings)
//     name(argument, argument, ...)            (call form; no flags; may span lines)
// where the call form is chosen when the name is followed by '('. Literals are double-quoted
// strings, integers, doubles, true and false (see ScriptLexer).
class KESTREL_EXPORT ScriptParser
{
public:
    // Parses the whole text. False with `error` ("line L, column C: ...") at the first
    // problem; then no statement is returned, so nothing of a broken text ever runs.
    static bool Parse(const QString& text, QVector<Statement>* statements, QString* error);
};

} // namespace kestrel
