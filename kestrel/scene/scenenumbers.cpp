#include "scene/scenenumbers.h"

#include "base/value.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "scene/transformquery.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace kestrel {

namespace {

// The channel's name becomes text only for a refusal: every node of a file read is checked.
RefusedNumber FirstRefused(const char* channel, const Vector3& vector)
{
    for (double value : {vector.x, vector.y, vector.z}) {
        if (!IsSceneNumber(value))
            return {QLatin1String(channel), value};
    }
    return {};
}

} // namespace

bool IsSceneNumber(double value)
{
    // NaN fails the comparison too.
    return std::abs(value) <= kLargestSceneNumber;
}

QString RefusedNumber::Text() const
{
    // The value is left out: angles are stored in radians, so it would not be the file's.
    const QString kind =
        std::isnan(value) ? QStringLiteral("NaN")
        : std::isinf(value)
            ? QStringLiteral("an infinite number")
            : QStringLiteral("a number beyond +-%1").arg(QString::number(kLargestSceneNumber));
    return QStringLiteral("\"%1\" holds %2").arg(channel, kind);
}

RefusedNumber FindRefusedNumber(const TransformValues& values)
{
    // Every node of a file read is checked: the numbers alone first, channels only to name
    // one that is refused. NaN fails the comparison too.
    bool accepted = true;
    for (const Vector3* vector :
         {&values.translation, &values.rotation, &values.rotateAxis, &values.scale,
          &values.jointOrient, &values.limits.minimum, &values.limits.maximum}) {
        accepted = accepted && std::abs(vector->x) <= kLargestSceneNumber &&
                   std::abs(vector->y) <= kLargestSceneNumber &&
                   std::abs(vector->z) <= kLargestSceneNumber;
    }
    if (accepted)
        return {};
    const std::pair<const char*, const Vector3*> channels[] = {
        {"translate", &values.translation},   {"rotate", &values.rotation},
        {"rotateAxis", &values.rotateAxis},   {"scale", &values.scale},
        {"jointOrient", &values.jointOrient}, {"limits", &values.limits.minimum},
        {"limits", &values.limits.maximum},
    };
    for (const auto& [name, vector] : channels) {
        const RefusedNumber refused = FirstRefused(name, *vector);
        if (refused.IsRefused())
            return refused;
    }
    return {};
}

RefusedNumber FindRefusedNumber(const QString& attribute, const Value& value)
{
    if (value.Type() == ValueType::Double && !IsSceneNumber(value.ToDouble()))
        return {attribute, value.ToDouble()};
    if (value.Type() == ValueType::DoubleArray) {
        for (double number : value.ToDoubleArray()) {
            if (!IsSceneNumber(number))
                return {attribute, number};
        }
    }
    return {};
}

bool IsUsableWorldMatrix(const Matrix4& matrix)
{
    for (const auto& row : matrix.m) {
        for (double entry : row) {
            if (!(std::abs(entry) <= double(std::numeric_limits<float>::max())))
                return false;
        }
    }
    return true;
}

const Node* FindUnusableWorld(const Node& node)
{
    // Depth first without recursion: a hostile file may nest thousands of levels.
    const Node* parent = node.Parent();
    std::vector<std::pair<const Node*, Matrix4>> pending{
        {&node, parent ? WorldMatrix(*parent) : Matrix4::Identity()}};
    while (!pending.empty()) {
        const auto [current, parentWorld] = pending.back();
        pending.pop_back();
        const Matrix4 world = parentWorld * LocalMatrix(*current);
        if (!IsUsableWorldMatrix(world))
            return current;
        const std::vector<Node*>& children = current->Children();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.emplace_back(*child, world);
    }
    return nullptr;
}

bool SetCheckedTransform(Scene& scene, Node* node, const TransformValues& values, QString* error)
{
    const RefusedNumber refused = FindRefusedNumber(values);
    if (refused.IsRefused()) {
        *error = QStringLiteral("Node \"%1\": %2.").arg(node->Name(), refused.Text());
        return false;
    }
    const TransformValues before = node->Transform();
    scene.SetTransform(node, values);
    if (const Node* unusable = FindUnusableWorld(*node)) {
        *error = QStringLiteral("Node \"%1\": its world transform would be out of range (the "
                                "numbers above it multiply beyond +-3.4e+38).")
                     .arg(unusable->Name());
        scene.SetTransform(node, before);
        return false;
    }
    return true;
}

} // namespace kestrel
