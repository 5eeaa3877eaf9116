// The syntax of a command: its flags with argument types, its modes and positional arguments.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"

#include <QString>
#include <QVector>

namespace kestrel {

// Types a flag argument or a positional argument can take. Int literals are accepted where a
// Double is expected; Bool accepts true, false, 1 and 0; String accepts quoted strings and
// bare words.
enum class ArgumentType
{
    String,
    Int,
    Bool,
    Double,
};

// "string", "int", "bool" or "double".
KESTREL_EXPORT QString ArgumentTypeName(ArgumentType type);

// One declared flag. Names are stored without the leading '-'.
struct FlagDeclaration
{
    QString shortName;
    QString longName;
    QVector<ArgumentType> arguments; // empty: the flag takes no argument
};

// Built by a command's syntax builder. Flags are matched by their short or long name, written
// with a leading '-' in scripts ("-cl" or "-characterlist").
//
// Modes: when edit mode is enabled, "-e"/"-edit" put the command in edit mode; when query mode
// is enabled, "-q"/"-query" put it in query mode. In query mode a flag's arguments are
// optional: they are read when the values that follow the flag have the declared types, and
// otherwise the flag stands alone.
class KESTREL_EXPORT Syntax
{
public:
    // Declares a flag taking `arguments` ({} for none). Names may be given with or without
    // the leading '-'. InvalidParameter for an empty or malformed name, AlreadyExists when a
    // name is taken (the mode flags included, once their mode is enabled).
    Status AddFlag(const QString& shortName, const QString& longName,
                   const QVector<ArgumentType>& arguments = {});
    // Shorthand for a flag with exactly one argument.
    Status AddFlag(const QString& shortName, const QString& longName, ArgumentType argument)
    {
        return AddFlag(shortName, longName, QVector<ArgumentType>{argument});
    }
    void EnableEdit(bool enable = true) { m_editEnabled = enable; }
    void EnableQuery(bool enable = true) { m_queryEnabled = enable; }
    // Positional arguments ("objects"): between `minimum` and `maximum` (-1: no limit) values
    // of `type`. By default a command takes none.
    void SetPositionalArguments(ArgumentType type, int minimum, int maximum);

    bool IsEditEnabled() const { return m_editEnabled; }
    bool IsQueryEnabled() const { return m_queryEnabled; }
    ArgumentType PositionalType() const { return m_positionalType; }
    int PositionalMinimum() const { return m_positionalMinimum; }
    int PositionalMaximum() const { return m_positionalMaximum; }
    const QVector<FlagDeclaration>& Flags() const { return m_flags; }
    // The flag with that short or long name (with or without '-'); nullptr when none.
    const FlagDeclaration* FindFlag(const QString& name) const;

private:
    QVector<FlagDeclaration> m_flags;
    bool m_editEnabled = false;
    bool m_queryEnabled = false;
    ArgumentType m_positionalType = ArgumentType::String;
    int m_positionalMinimum = 0;
    int m_positionalMaximum = 0;
};

} // namespace kestrel
