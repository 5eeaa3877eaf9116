// Typed node attributes and the connections between them.
#pragma once

#include "base/value.h"
#include "kestrelexport.h"

#include <QString>

namespace kestrel {

class Node;

// Bool, Int, Double and String attributes hold a value; Message attributes hold none and
// exist to be connected (a joint's "Character" attribute, a character node's slots).
enum class AttributeType
{
    Bool,
    Int,
    Double,
    String,
    Message,
};

// "bool", "int", "double", "string" or "message".
KESTREL_EXPORT QString AttributeTypeName(AttributeType type);
// Reads a name written by AttributeTypeName; false for anything else.
KESTREL_EXPORT bool ParseAttributeType(const QString& name, AttributeType* type);
// false, 0, 0.0, "" or nothing.
KESTREL_EXPORT Value DefaultAttributeValue(AttributeType type);
// Converts `value` for an attribute of `type`: exact types pass, ints widen to double, the
// ints 0 and 1 read as bool. False (with `converted` untouched) for anything else, and always
// for Message.
KESTREL_EXPORT bool ConvertAttributeValue(AttributeType type, const Value& value, Value* converted);

// A dynamic attribute of a node.
struct Attribute
{
    QString name;
    AttributeType type = AttributeType::Double;
    Value value;
};

// A directed link from one node's attribute to another's. Connections carry no data; they
// record relationships that scripts and plug-ins query. A destination attribute has at most
// one incoming connection.
struct Connection
{
    Node* fromNode = nullptr;
    QString fromAttribute;
    Node* toNode = nullptr;
    QString toAttribute;
};

} // namespace kestrel
