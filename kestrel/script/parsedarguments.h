// Arguments of a command invocation checked against its syntax, with typed access.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "script/argumentlist.h"
#include "script/syntax.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kestrel {

// Parsing fails with InvalidParameter for a missing or mistyped flag argument, a wrong number
// of positional arguments or edit and query together, and with UnknownParameter for a flag the
// syntax does not declare (or a mode flag whose mode is not enabled). A flag given twice keeps
// its last arguments. Positional arguments may stand anywhere between the flags.
class KESTREL_EXPORT ParsedArguments
{
public:
    // Parses `arguments` against `syntax`.
    ParsedArguments(const Syntax& syntax, const ArgumentList& arguments);
    // Parses against the syntax the arguments carry; a failure when they carry none.
    explicit ParsedArguments(const ArgumentList& arguments);

    Status ParseStatus() const { return m_status; }
    // Why parsing failed (e.g. "Unknown flag \"-foo\"."); empty on success.
    const QString& ErrorText() const { return m_error; }

    bool IsEdit() const { return m_edit; }
    bool IsQuery() const { return m_query; }
    // Whether the flag was given (by short or long name, with or without '-').
    bool IsFlagSet(const QString& flag) const;
    // Number of values given with the flag (0 for a flag standing alone in query mode).
    int FlagArgumentCount(const QString& flag) const;
    // The flag's `index`-th argument. NotFound when the flag or the value was not given,
    // InvalidParameter when it has another type.
    Status GetFlagArgument(const QString& flag, int index, QString& value) const;
    Status GetFlagArgument(const QString& flag, int index, int& value) const;
    Status GetFlagArgument(const QString& flag, int index, bool& value) const;
    Status GetFlagArgument(const QString& flag, int index, double& value) const;
    // Positional arguments, converted to the declared type.
    const QVector<Value>& Positional() const { return m_positional; }
    // Positional arguments as texts (for string positionals).
    QStringList PositionalStrings() const;

private:
    void Parse(const Syntax& syntax, const ArgumentList& arguments);
    bool Fail(Status status, const QString& text);
    const QVector<Value>* FlagValues(const QString& flag) const;
    Status FlagValue(const QString& flag, int index, Value* value) const;

    Syntax m_syntax; // a copy: parsed arguments may outlive the syntax they were read with
    Status m_status = Status::Success;
    QString m_error;
    bool m_edit = false;
    bool m_query = false;
    QHash<QString, QVector<Value>> m_flags; // by long name, without '-'
    QVector<Value> m_positional;
};

// Converts `value` to `type` as flag and positional arguments are converted: ints widen to
// double, 0 and 1 read as bool. False when it cannot.
KESTREL_EXPORT bool ConvertArgument(ArgumentType type, const Value& value, Value* converted);

} // namespace kestrel
