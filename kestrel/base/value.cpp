#include "base/value.h"

#include <cmath>

namespace kestrel {

QString ValueTypeName(ValueType type)
{
    switch (type) {
    case ValueType::None:
        return QStringLiteral("nothing");
    case ValueType::Bool:
        return QStringLiteral("bool");
    case ValueType::Int:
        return QStringLiteral("int");
    case ValueType::Double:
        return QStringLiteral("double");
    case ValueType::String:
        return QStringLiteral("string");
    case ValueType::StringArray:
        return QStringLiteral("string array");
    case ValueType::DoubleArray:
        return QStringLiteral("double array");
    }
    return QString();
}

QString FormatNumber(double value)
{
    if (std::abs(value) < 1e-9)
        return QStringLiteral("0");
    return QString::number(value, 'g', 10);
}

bool Value::ToBool() const
{
    const bool* value = std::get_if<bool>(&m_data);
    return value && *value;
}

int Value::ToInt() const
{
    const int* value = std::get_if<int>(&m_data);
    return value ? *value : 0;
}

double Value::ToDouble() const
{
    if (const double* value = std::get_if<double>(&m_data))
        return *value;
    if (const int* value = std::get_if<int>(&m_data))
        return *value;
    return 0.0;
}

QString Value::ToString() const
{
    const QString* value = std::get_if<QString>(&m_data);
    return value ? *value : QString();
}

QStringList Value::ToStringArray() const
{
    const QStringList* value = std::get_if<QStringList>(&m_data);
    return value ? *value : QStringList();
}

QVector<double> Value::ToDoubleArray() const
{
    const QVector<double>* value = std::get_if<QVector<double>>(&m_data);
    return value ? *value : QVector<double>();
}

QString Value::ToText() const
{
    switch (Type()) {
    case ValueType::None:
        return QString();
    case ValueType::Bool:
        return ToBool() ? QStringLiteral("true") : QStringLiteral("false");
    case ValueType::Int:
        return QString::number(ToInt());
    case ValueType::Double:
        return FormatNumber(ToDouble());
    case ValueType::String:
        return ToString();
    case ValueType::StringArray:
        return ToStringArray().join(QLatin1Char(' '));
    case ValueType::DoubleArray: {
        QStringList items;
        for (double item : std::get<QVector<double>>(m_data))
            items.append(FormatNumber(item));
        return items.join(QLatin1Char(' '));
    }
    }
    return QString();
}

} // namespace kestrel
