// Splits a script text into tokens.
#pragma once

#include "base/value.h"
#include "kestrelexport.h"

#include <QString>
#include <QVector>

namespace kestrel {

enum class ScriptTokenKind
{
    Word,    // a command name or bare word: letters, digits, '_', ':', '|', '.'
    Flag,    // '-' followed by a letter; text without the '-'
    Literal, // a string, int, double, true or false; see value
    LeftParen,
    RightParen,
    Comma,
    Semicolon,
    Newline,
    EndOfText,
};

struct ScriptToken
{
    ScriptTokenKind kind = ScriptTokenKind::EndOfText;
    QString text;
    Value value;
    int line = 1;   // 1-based
    int column = 1; // 1-based
};

// Tokens: "//" comments run to the end of the line; strings are double-quoted with the
// escapes \" \\ \n and \t and end on their line; numbers are decimal with an optional sign,
// fraction and exponent (a fraction or exponent makes a double); "true" and "false" are
// booleans.
class KESTREL_EXPORT ScriptLexer
{
public:
    // False with `error` ("line L, column C: ...") for an unterminated string, an unknown
    // escape, a malformed or out-of-range number or an unexpected character.
    static bool Tokenize(const QString& text, QVector<ScriptToken>* tokens, QString* error);
    // `text` as a string literal that Tokenize reads back unchanged: double quotes around it,
    // '"' and '\\' escaped, newlines and tabs written as \n and \t.
    static QString Quote(const QString& text);
    // True for a command name: an ASCII letter or '_', then ASCII letters, digits and '_'.
    static bool IsCommandName(const QString& text);
    // A number literal that Tokenize reads back as exactly `value`.
    static QString Number(double value);
};

} // namespace kestrel
