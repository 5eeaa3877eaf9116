#include "scene/transformchannels.h"

#include "scene/node.h"

#include <cmath>

namespace kestrel {

namespace {

enum class Group
{
    None,
    Translate,
    Rotate,
    Scale,
    RotateAxis,
    JointOrient,
    RotateOrder,
};

struct Channel
{
    Group group = Group::None;
    int axis = 0;
};

Channel Lookup(const QString& name)
{
    struct Entry
    {
        const char* longPrefix;
        const char* shortPrefix;
        Group group;
    };
    static const Entry kEntries[] = {{"translate", "t", Group::Translate},
                                     {"rotate", "r", Group::Rotate},
                                     {"scale", "s", Group::Scale},
                                     {"rotateAxis", "ra", Group::RotateAxis},
                                     {"jointOrient", "jo", Group::JointOrient}};
    if (name == QLatin1String("rotateOrder") || name == QLatin1String("ro"))
        return {Group::RotateOrder, 0};
    for (const Entry& entry : kEntries) {
        for (int axis = 0; axis < 3; ++axis) {
            const QString longName = QLatin1String(entry.longPrefix) + QLatin1Char("XYZ"[axis]);
            const QString shortName = QLatin1String(entry.shortPrefix) + QLatin1Char("xyz"[axis]);
            if (name == longName || name == shortName)
                return {entry.group, axis};
        }
    }
    return {};
}

Vector3* Target(TransformValues* values, Group group)
{
    switch (group) {
    case Group::Translate:
        return &values->translation;
    case Group::Rotate:
        return &values->rotation;
    case Group::Scale:
        return &values->scale;
    case Group::RotateAxis:
        return &values->rotateAxis;
    case Group::JointOrient:
        return &values->jointOrient;
    default:
        return nullptr;
    }
}

bool IsAngle(Group group)
{
    return group == Group::Rotate || group == Group::RotateAxis || group == Group::JointOrient;
}

} // namespace

bool TransformChannels::IsChannel(const Node& node, const QString& name)
{
    const Channel channel = Lookup(name);
    if (!node.IsTransform() || channel.group == Group::None)
        return false;
    return channel.group != Group::JointOrient || node.IsJoint();
}

Value TransformChannels::Read(const Node& node, const QString& name)
{
    if (!IsChannel(node, name))
        return Value();
    const Channel channel = Lookup(name);
    TransformValues values = node.Transform();
    if (channel.group == Group::RotateOrder)
        return Value(static_cast<int>(values.rotationOrder));
    const double value = (*Target(&values, channel.group))[channel.axis];
    return Value(IsAngle(channel.group) ? value * 180.0 / M_PI : value);
}

bool TransformChannels::Write(const Node& node, const QString& name, const Value& value,
                              TransformValues* values, QString* error)
{
    const Channel channel = Lookup(name);
    if (!IsChannel(node, name)) {
        *error =
            QStringLiteral("\"%1\" is not a transform channel of \"%2\".").arg(name, node.Name());
        return false;
    }
    if (channel.group == Group::RotateOrder) {
        if (value.Type() != ValueType::Int ||
            !RotationOrderFromInt(value.ToInt(), &values->rotationOrder)) {
            *error = QStringLiteral("rotateOrder takes an int from 0 to 5.");
            return false;
        }
        return true;
    }
    if (value.Type() != ValueType::Int && value.Type() != ValueType::Double) {
        *error =
            QStringLiteral("%1 takes a number, not a %2.").arg(name, ValueTypeName(value.Type()));
        return false;
    }
    const double number = value.ToDouble();
    (*Target(values, channel.group))[channel.axis] =
        IsAngle(channel.group) ? number * M_PI / 180.0 : number;
    return true;
}

} // namespace kestrel
