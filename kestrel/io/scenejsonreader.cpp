#include "io/scenejsonreader.h"

#include "io/scenedescription.h"
#include "scene/nodename.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace kestrel {

namespace {

constexpr double kRadiansPerDegree = M_PI / 180.0;

// Reads one JSON object, remembering where it is for messages.
class ObjectReader
{
public:
    ObjectReader(const QJsonObject& object, const QString& where, QString* error)
        : m_object(object)
        , m_where(where)
        , m_error(error)
    {}

    bool Fail(const QString& text) const
    {
        *m_error = m_where + QStringLiteral(": ") + text;
        return false;
    }

    bool CheckKeys(const QStringList& allowed) const
    {
        // Walks the keys in place: keys() would copy them all for every node of a file.
        for (auto it = m_object.constBegin(); it != m_object.constEnd(); ++it) {
            if (!allowed.contains(it.key()))
                return Fail(QStringLiteral("unknown key \"%1\".").arg(it.key()));
        }
        return true;
    }

    bool Has(const QString& key) const { return m_object.contains(key); }

    bool String(const QString& key, QString* value, bool required) const
    {
        const QJsonValue v = m_object.value(key);
        if (v.isUndefined() && !required)
            return true;
        if (!v.isString())
            return Fail(QStringLiteral("\"%1\" must be a string.").arg(key));
        *value = v.toString();
        return true;
    }

    bool Vector(const QString& key, Vector3* value, double factor) const
    {
        const QJsonValue v = m_object.value(key);
        if (v.isUndefined())
            return true;
        const QJsonArray array = v.toArray();
        if (!v.isArray() || array.size() != 3 || !array[0].isDouble() || !array[1].isDouble() ||
            !array[2].isDouble())
            return Fail(QStringLiteral("\"%1\" must be an array of 3 numbers.").arg(key));
        for (int axis = 0; axis < 3; ++axis)
            (*value)[axis] = array[axis].toDouble() * factor;
        return true;
    }

    bool Flags(const QString& key, bool (&flags)[3]) const
    {
        const QJsonValue v = m_object.value(key);
        if (v.isUndefined())
            return true;
        const QJsonArray array = v.toArray();
        if (!v.isArray() || array.size() != 3 || !array[0].isBool() || !array[1].isBool() ||
            !array[2].isBool())
            return Fail(QStringLiteral("\"%1\" must be an array of 3 booleans.").arg(key));
        for (int axis = 0; axis < 3; ++axis)
            flags[axis] = array[axis].toBool();
        return true;
    }

    const QJsonObject& Object() const { return m_object; }
    const QString& Where() const { return m_where; }
    QString* ErrorOut() const { return m_error; }

private:
    QJsonObject m_object;
    QString m_where;
    QString* m_error;
};

QString LineAndColumn(const QByteArray& data, int offset)
{
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < data.size(); ++i) {
        if (data.at(i) == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

bool ReadLimits(const ObjectReader& node, RotationLimits* limits)
{
    const QJsonValue v = node.Object().value(QStringLiteral("limits"));
    if (v.isUndefined())
        return true;
    if (!v.isObject())
        return node.Fail(QStringLiteral("\"limits\" must be an object."));
    const ObjectReader reader(v.toObject(), node.Where() + QStringLiteral(" limits"),
                              node.ErrorOut());
    return reader.CheckKeys({QStringLiteral("min"), QStringLiteral("max"),
                             QStringLiteral("minEnabled"), QStringLiteral("maxEnabled")}) &&
           reader.Vector(QStringLiteral("min"), &limits->minimum, kRadiansPerDegree) &&
           reader.Vector(QStringLiteral("max"), &limits->maximum, kRadiansPerDegree) &&
           reader.Flags(QStringLiteral("minEnabled"), limits->minimumEnabled) &&
           reader.Flags(QStringLiteral("maxEnabled"), limits->maximumEnabled);
}

bool ReadAttributeValue(const ObjectReader& reader, Attribute* attribute)
{
    const QJsonValue v = reader.Object().value(QStringLiteral("value"));
    if (attribute->type == AttributeType::Message) {
        if (!v.isUndefined())
            return reader.Fail(QStringLiteral("a message attribute takes no \"value\"."));
        return true;
    }
    if (v.isUndefined()) {
        attribute->value = DefaultAttributeValue(attribute->type);
        return true;
    }
    bool ok = false;
    switch (attribute->type) {
    case AttributeType::Bool:
        ok = v.isBool();
        attribute->value = Value(v.toBool());
        break;
    case AttributeType::Int: {
        const double number = v.toDouble();
        ok = v.isDouble() && number == std::floor(number) && std::abs(number) <= 2147483647.0;
        attribute->value = Value(static_cast<int>(number));
        break;
    }
    case AttributeType::Double:
        ok = v.isDouble();
        attribute->value = Value(v.toDouble());
        break;
    case AttributeType::String:
        ok = v.isString();
        attribute->value = Value(v.toString());
        break;
    case AttributeType::Message:
        break;
    }
    if (!ok)
        return reader.Fail(QStringLiteral("\"value\" does not fit the type %1.")
                               .arg(AttributeTypeName(attribute->type)));
    return true;
}

bool ReadAttributes(const ObjectReader& node, std::vector<Attribute>* attributes)
{
    const QJsonValue v = node.Object().value(QStringLiteral("attributes"));
    if (v.isUndefined())
        return true;
    if (!v.isArray())
        return node.Fail(QStringLiteral("\"attributes\" must be an array."));
    const QJsonArray array = v.toArray();
    for (int i = 0; i < array.size(); ++i) {
        const QString where = node.Where() + QStringLiteral(" attribute %1").arg(i);
        if (!array[i].isObject()) {
            *node.ErrorOut() = where + QStringLiteral(": must be an object.");
            return false;
        }
        const ObjectReader reader(array[i].toObject(), where, node.ErrorOut());
        Attribute attribute;
        QString typeName;
        if (!reader.CheckKeys(
                {QStringLiteral("name"), QStringLiteral("type"), QStringLiteral("value")}) ||
            !reader.String(QStringLiteral("name"), &attribute.name, true) ||
            !reader.String(QStringLiteral("type"), &typeName, true))
            return false;
        if (!ParseAttributeType(typeName, &attribute.type))
            return reader.Fail(QStringLiteral("unknown attribute type \"%1\".").arg(typeName));
        if (!ReadAttributeValue(reader, &attribute))
            return false;
        attributes->push_back(attribute);
    }
    return true;
}

bool ReadNode(const QJsonValue& value, int index, NodeRecord* record, QString* error)
{
    QString where = QStringLiteral("node %1").arg(index);
    if (!value.isObject()) {
        *error = where + QStringLiteral(": must be an object.");
        return false;
    }
    const QJsonObject object = value.toObject();
    if (object.value(QStringLiteral("name")).isString())
        where += QStringLiteral(" (\"%1\")").arg(object.value(QStringLiteral("name")).toString());
    const ObjectReader reader(object, where, error);
    QString rawName;
    QString typeName;
    QString rawParent;
    QString orderName;
    static const QStringList keys = {
        QStringLiteral("name"),       QStringLiteral("type"),      QStringLiteral("parent"),
        QStringLiteral("translate"),  QStringLiteral("rotate"),    QStringLiteral("rotateOrder"),
        QStringLiteral("rotateAxis"), QStringLiteral("scale"),     QStringLiteral("jointOrient"),
        QStringLiteral("limits"),     QStringLiteral("attributes")};
    if (!reader.CheckKeys(keys) || !reader.String(QStringLiteral("name"), &rawName, true) ||
        !reader.String(QStringLiteral("type"), &typeName, true) ||
        !reader.String(QStringLiteral("parent"), &rawParent, false) ||
        !reader.String(QStringLiteral("rotateOrder"), &orderName, false))
        return false;
    if (rawName.isEmpty())
        return reader.Fail(QStringLiteral("\"name\" is empty."));
    if (!ParseNodeType(typeName, &record->type))
        return reader.Fail(QStringLiteral("unknown node type \"%1\".").arg(typeName));
    TransformValues& t = record->transform;
    if (!orderName.isEmpty() && !ParseRotationOrder(orderName, &t.rotationOrder))
        return reader.Fail(QStringLiteral("unknown rotation order \"%1\".").arg(orderName));
    if (record->type == NodeType::Character) {
        for (const QString& key : keys.mid(3, 7)) {
            if (reader.Has(key))
                return reader.Fail(QStringLiteral("a character node takes no \"%1\".").arg(key));
        }
    } else if (record->type != NodeType::Joint && reader.Has(QStringLiteral("jointOrient"))) {
        return reader.Fail(QStringLiteral("only joints take \"jointOrient\"."));
    }
    record->name = EscapeNodeName(rawName);
    record->parent = rawParent == WorldName() ? QString() : EscapeNodeName(rawParent);
    return reader.Vector(QStringLiteral("translate"), &t.translation, 1.0) &&
           reader.Vector(QStringLiteral("rotate"), &t.rotation, kRadiansPerDegree) &&
           reader.Vector(QStringLiteral("rotateAxis"), &t.rotateAxis, kRadiansPerDegree) &&
           reader.Vector(QStringLiteral("scale"), &t.scale, 1.0) &&
           reader.Vector(QStringLiteral("jointOrient"), &t.jointOrient, kRadiansPerDegree) &&
           ReadLimits(reader, &t.limits) && ReadAttributes(reader, &record->attributes);
}

bool SplitPlug(const QString& plug, QString* node, QString* attribute)
{
    const int dot = plug.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == plug.size() - 1)
        return false;
    *node = EscapeNodeName(plug.left(dot));
    *attribute = plug.mid(dot + 1);
    return true;
}

bool ReadConnection(const QJsonValue& value, int index, ConnectionRecord* record, QString* error)
{
    const QString where = QStringLiteral("connection %1").arg(index);
    if (!value.isObject()) {
        *error = where + QStringLiteral(": must be an object.");
        return false;
    }
    const ObjectReader reader(value.toObject(), where, error);
    QString from;
    QString to;
    if (!reader.CheckKeys({QStringLiteral("from"), QStringLiteral("to")}) ||
        !reader.String(QStringLiteral("from"), &from, true) ||
        !reader.String(QStringLiteral("to"), &to, true))
        return false;
    if (!SplitPlug(from, &record->fromNode, &record->fromAttribute) ||
        !SplitPlug(to, &record->toNode, &record->toAttribute))
        return reader.Fail(QStringLiteral("\"from\" and \"to\" must read \"node.attribute\"."));
    return true;
}

} // namespace

bool SceneJsonReader::Read(const QByteArray& data, SceneDescription* description, QString* error)
{
    *description = SceneDescription();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("JSON syntax error at %1: %2.")
                     .arg(LineAndColumn(data, parseError.offset), parseError.errorString());
        return false;
    }
    const ObjectReader top(document.object(), QStringLiteral("scene"), error);
    if (!document.isObject() || top.Object().value(QStringLiteral("kestrelScene")) != QJsonValue(1))
        return top.Fail(QStringLiteral("not a Kestrel scene (the object must start with "
                                       "\"kestrelScene\": 1)."));
    if (!top.CheckKeys({QStringLiteral("kestrelScene"), QStringLiteral("nodes"),
                        QStringLiteral("connections"), QStringLiteral("currentCharacter")}) ||
        !top.String(QStringLiteral("currentCharacter"), &description->currentCharacter, false))
        return false;
    const QJsonValue nodes = top.Object().value(QStringLiteral("nodes"));
    const QJsonValue connections = top.Object().value(QStringLiteral("connections"));
    if (!nodes.isArray())
        return top.Fail(QStringLiteral("\"nodes\" must be an array."));
    if (!connections.isUndefined() && !connections.isArray())
        return top.Fail(QStringLiteral("\"connections\" must be an array."));
    const QJsonArray nodeArray = nodes.toArray();
    for (int i = 0; i < nodeArray.size(); ++i) {
        NodeRecord record;
        if (!ReadNode(nodeArray[i], i, &record, error))
            return false;
        description->nodes.push_back(record);
    }
    const QJsonArray connectionArray = connections.toArray();
    for (int i = 0; i < connectionArray.size(); ++i) {
        ConnectionRecord record;
        if (!ReadConnection(connectionArray[i], i, &record, error))
            return false;
        description->connections.push_back(record);
    }
    return description->Validate(error);
}

} // namespace kestrel
