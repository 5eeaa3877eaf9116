#include "scene/attribute.h"

namespace kestrel {

namespace {

const char* const kTypeNames[] = {"bool", "int", "double", "string", "message"};

} // namespace

QString AttributeTypeName(AttributeType type)
{
    return QString::fromLatin1(kTypeNames[static_cast<int>(type)]);
}

bool ParseAttributeType(const QString& name, AttributeType* type)
{
    for (int i = 0; i < 5; ++i) {
        if (name == QLatin1String(kTypeNames[i])) {
            *type = static_cast<AttributeType>(i);
            return true;
        }
    }
    return false;
}

Value DefaultAttributeValue(AttributeType type)
{
    switch (type) {
    case AttributeType::Bool:
        return Value(false);
    case AttributeType::Int:
        return Value(0);
    case AttributeType::Double:
        return Value(0.0);
    case AttributeType::String:
        return Value(QString());
    case AttributeType::Message:
        break;
    }
    return Value();
}

bool ConvertAttributeValue(AttributeType type, const Value& value, Value* converted)
{
    switch (type) {
    case AttributeType::Bool:
        if (value.Type() == ValueType::Bool) {
            *converted = value;
            return true;
        }
        if (value.Type() == ValueType::Int && (value.ToInt() == 0 || value.ToInt() == 1)) {
            *converted = Value(value.ToInt() == 1);
            return true;
        }
        return false;
    case AttributeType::Int:
        if (value.Type() != ValueType::Int)
            return false;
        *converted = value;
        return true;
    case AttributeType::Double:
        if (value.Type() != ValueType::Int && value.Type() != ValueType::Double)
            return false;
        *converted = Value(value.ToDouble());
        return true;
    case AttributeType::String:
        if (value.Type() != ValueType::String)
            return false;
        *converted = value;
        return true;
    case AttributeType::Message:
        break;
    }
    return false;
}

} // namespace kestrel
