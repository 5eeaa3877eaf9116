// A typed value: script literals, command results and attribute values.
#pragma once

#include "kestrelexport.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <variant>

namespace kestrel {

enum class ValueType
{
    None,
    Bool,
    Int,
    Double,
    String,
    StringArray,
    DoubleArray,
};

// Lower-case name of a value type for messages ("int", "string array", ...).
KESTREL_EXPORT QString ValueTypeName(ValueType type);

// Holds nothing or one value of a ValueType. Accessors of another type than Type() answer the
// type's default (false, 0, empty); callers check Type() first.
class KESTREL_EXPORT Value
{
public:
    Value() = default;
    Value(bool value)
        : m_data(value)
    {}
    Value(int value)
        : m_data(value)
    {}
    Value(double value)
        : m_data(value)
    {}
    Value(const QString& value)
        : m_data(value)
    {}
    Value(const char* value)
        : m_data(QString::fromUtf8(value))
    {}
    Value(const QStringList& value)
        : m_data(value)
    {}
    Value(const QVector<double>& value)
        : m_data(value)
    {}

    ValueType Type() const { return static_cast<ValueType>(m_data.index()); }
    bool IsNone() const { return Type() == ValueType::None; }

    bool ToBool() const;
    int ToInt() const;
    // Ints widen to double; other types answer 0.
    double ToDouble() const;
    QString ToString() const;
    QStringList ToStringArray() const;
    QVector<double> ToDoubleArray() const;

    // The value as the batch runner prints it: booleans as true/false, doubles in the
    // shortest form (values within 1e-9 of zero print as 0), arrays as items separated by
    // single blanks, nothing as an empty text.
    QString ToText() const;

    bool operator==(const Value& other) const { return m_data == other.m_data; }
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    std::variant<std::monostate, bool, int, double, QString, QStringList, QVector<double>> m_data;
};

// Formats a double as ToText() does.
KESTREL_EXPORT QString FormatNumber(double value);

} // namespace kestrel
