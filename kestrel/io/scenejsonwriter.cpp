// The Kestrel JSON scene format.
//
// A UTF-8 JSON object:
//
//   {
//     "kestrelScene": 1,                        format version, required
//     "nodes": [ NODE, ... ],                   required; parents before their children
//     "connections": [ CONNECTION, ... ],       optional
//     "currentCharacter": NAME                  optional; the character node that was
//                                               current, so the tool reopens on it
//   }
//
// NODE is an object; only "name" and "type" are required:
//   "name":        node name; characters outside letters, digits, '_' and ':' become '_'
//                  on reading (so do they in "parent" and the node part of connection
//                  ends)
//   "type":        "transform", "joint" or "character"
//   "parent":      name of a transform declared earlier; absent, "" or "world" for the root;
//                  character nodes take none
//   "translate":   [x, y, z] in scene units                      default [0, 0, 0]
//   "rotate":      [x, y, z] Euler angles in degrees            default [0, 0, 0]
//   "rotateOrder": "xyz", "yzx", "zxy", "xzy", "yxz" or "zyx"    default "xyz"
//   "rotateAxis":  [x, y, z] degrees, xyz order                  default [0, 0, 0]
//   "scale":       [x, y, z]                                     default [1, 1, 1]
//   "jointOrient": [x, y, z] degrees, xyz order, joints only     default [0, 0, 0]
//   "limits":      {"min": [x, y, z], "max": [x, y, z] (degrees),
//                   "minEnabled": [b, b, b], "maxEnabled": [b, b, b]}, every key optional
//   "attributes":  [{"name": N, "type": "bool"|"int"|"double"|"string"|"message",
//                    "value": V}, ...]; "value" defaults to the type's zero and is not
//                   allowed for "message"
//
// CONNECTION is {"from": "node.attribute", "to": "node.attribute"}; the attribute is the
// text after the last '.'.
//
// Unknown keys, wrong types and vectors that do not hold exactly three numbers are errors,
// so a misspelt key never goes unnoticed. The writer leaves out every value equal to its
// default and writes one node per line; angles are rounded to 1e-10 degrees, every other number
// is written in the shortest form that reads back exactly.
#include "io/scenejsonwriter.h"

#include "base/savefile.h"
#include "io/scenedescription.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

constexpr double kDegreesPerRadian = 180.0 / M_PI;

// A JSON string literal. Texts with a quote, a backslash or a control character go through
// Qt's JSON writer (a document is an array or an object, so the text goes in a one-item array
// whose brackets are cut off); every other text, node names among them, needs no escaping and
// is only quoted, which keeps saving a large scene as fast as writing it out.
QString JsonString(const QString& text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c != QLatin1Char('"') && c != QLatin1Char('\\');
    });
    if (plain)
        return QLatin1Char('"') + text + QLatin1Char('"');
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.constData() + 1, array.size() - 2);
}

// The shortest text that reads back as exactly the same double: a saved scene reopens with
// the values it had (a locked character's stored pose above all), not with 15-digit copies.
QString Number(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Degrees(double radians)
{
    const double degrees = radians * kDegreesPerRadian;
    // Past about 1e298 degrees the rounding product overflows to infinity, which JSON cannot
    // hold; such angles are far beyond the rounding's precision anyway.
    const double scaled = degrees * 1e10;
    return Number(std::isfinite(scaled) ? std::round(scaled) / 1e10 : degrees);
}

QString NumberArray(const Vector3& v, bool degrees)
{
    const auto item = [degrees](double value) { return degrees ? Degrees(value) : Number(value); };
    return QStringLiteral("[%1, %2, %3]").arg(item(v.x), item(v.y), item(v.z));
}

QString BoolArray(const bool (&flags)[3])
{
    const auto item = [](bool flag) {
        return flag ? QStringLiteral("true") : QStringLiteral("false");
    };
    return QStringLiteral("[%1, %2, %3]").arg(item(flags[0]), item(flags[1]), item(flags[2]));
}

QString AttributeValue(const Attribute& attribute)
{
    switch (attribute.type) {
    case AttributeType::Bool:
        return attribute.value.ToBool() ? QStringLiteral("true") : QStringLiteral("false");
    case AttributeType::Int:
        return QString::number(attribute.value.ToInt());
    case AttributeType::Double:
        return Number(attribute.value.ToDouble());
    case AttributeType::String:
        return JsonString(attribute.value.ToString());
    case AttributeType::Message:
        break;
    }
    return QString();
}

QString TransformMembers(const NodeRecord& record)
{
    const TransformValues defaults;
    const TransformValues& t = record.transform;
    QString text;
    if (t.translation != defaults.translation)
        text += QStringLiteral(", \"translate\": ") + NumberArray(t.translation, false);
    if (t.rotation != defaults.rotation)
        text += QStringLiteral(", \"rotate\": ") + NumberArray(t.rotation, true);
    if (t.rotationOrder != defaults.rotationOrder)
        text +=
            QStringLiteral(", \"rotateOrder\": ") + JsonString(RotationOrderName(t.rotationOrder));
    if (t.rotateAxis != defaults.rotateAxis)
        text += QStringLiteral(", \"rotateAxis\": ") + NumberArray(t.rotateAxis, true);
    if (t.scale != defaults.scale)
        text += QStringLiteral(", \"scale\": ") + NumberArray(t.scale, false);
    if (record.type == NodeType::Joint && t.jointOrient != defaults.jointOrient)
        text += QStringLiteral(", \"jointOrient\": ") + NumberArray(t.jointOrient, true);
    if (!t.limits.IsDefault()) {
        text += QStringLiteral(", \"limits\": {\"min\": %1, \"max\": %2, \"minEnabled\": %3, "
                               "\"maxEnabled\": %4}")
                    .arg(NumberArray(t.limits.minimum, true), NumberArray(t.limits.maximum, true),
                         BoolArray(t.limits.minimumEnabled), BoolArray(t.limits.maximumEnabled));
    }
    return text;
}

QString NodeLine(const NodeRecord& record)
{
    QString text = QStringLiteral("{\"name\": %1, \"type\": %2")
                       .arg(JsonString(record.name), JsonString(NodeTypeName(record.type)));
    if (!record.parent.isEmpty())
        text += QStringLiteral(", \"parent\": ") + JsonString(record.parent);
    if (record.type != NodeType::Character)
        text += TransformMembers(record);
    if (!record.attributes.empty()) {
        QStringList items;
        for (const Attribute& attribute : record.attributes) {
            QString item =
                QStringLiteral("{\"name\": %1, \"type\": %2")
                    .arg(JsonString(attribute.name), JsonString(AttributeTypeName(attribute.type)));
            if (attribute.type != AttributeType::Message)
                item += QStringLiteral(", \"value\": ") + AttributeValue(attribute);
            items.append(item + QLatin1Char('}'));
        }
        text += QStringLiteral(", \"attributes\": [") + items.join(QStringLiteral(", ")) +
                QLatin1Char(']');
    }
    return text + QLatin1Char('}');
}

} // namespace

QByteArray SceneJsonWriter::ToJson(const SceneDescription& description)
{
    QStringList nodeLines;
    for (const NodeRecord& record : description.nodes)
        nodeLines.append(QStringLiteral("    ") + NodeLine(record));
    QStringList connectionLines;
    for (const ConnectionRecord& c : description.connections)
        connectionLines.append(QStringLiteral("    {\"from\": %1, \"to\": %2}")
                                   .arg(JsonString(c.fromNode + QLatin1Char('.') + c.fromAttribute),
                                        JsonString(c.toNode + QLatin1Char('.') + c.toAttribute)));
    QString text = QStringLiteral("{\n\"kestrelScene\": 1,\n\"nodes\": [\n");
    text += nodeLines.join(QStringLiteral(",\n"));
    text += QStringLiteral("\n],\n\"connections\": [\n");
    text += connectionLines.join(QStringLiteral(",\n"));
    text += QStringLiteral("\n]");
    if (!description.currentCharacter.isEmpty())
        text +=
            QStringLiteral(",\n\"currentCharacter\": ") + JsonString(description.currentCharacter);
    text += QStringLiteral("\n}\n");
    return text.toUtf8();
}

bool SceneJsonWriter::Write(const SceneDescription& description, const QString& path,
                            QString* error)
{
    // JSON has no NaN or infinity, and a file holding them could not be opened again.
    QString reason;
    if (!description.ValidateNumbers(&reason)) {
        if (error)
            *error = QStringLiteral("Cannot save the scene to \"%1\": %2").arg(path, reason);
        return false;
    }
    if (!SaveFileContents(path, ToJson(description), &reason)) {
        if (error)
            *error = QStringLiteral("Cannot write the scene file \"%1\": %2").arg(path, reason);
        return false;
    }
    return true;
}

} // namespace kestrel
