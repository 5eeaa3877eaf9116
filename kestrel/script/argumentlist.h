// The raw arguments of one command invocation, as the script parser produced them.
#pragma once

#include "base/value.h"
#include "kestrelexport.h"

#include <QString>
#include <QVector>

namespace kestrel {

class Syntax;

// A flag ("-name", stored without the '-') or a literal value. Bare words arrive as strings.
struct Argument
{
    bool isFlag = false;
    QString flag;
    Value value;

    static Argument Flag(const QString& name) { return {true, name, Value()}; }
    static Argument Literal(const Value& value) { return {false, QString(), value}; }
};

// The arguments in script order, with the syntax of the command they were given to (nullptr
// for commands without a syntax).
class KESTREL_EXPORT ArgumentList
{
public:
    ArgumentList() = default;
    ArgumentList(const QVector<Argument>& arguments, const Syntax* syntax)
        : m_arguments(arguments)
        , m_syntax(syntax)
    {}

    int Count() const { return m_arguments.size(); }
    const Argument& At(int index) const { return m_arguments.at(index); }
    const QVector<Argument>& Items() const { return m_arguments; }
    const Syntax* CommandSyntax() const { return m_syntax; }

private:
    QVector<Argument> m_arguments;
    const Syntax* m_syntax = nullptr;
};

} // namespace kestrel
