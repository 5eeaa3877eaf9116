// xform and printTransforms.
#include "commands/builtincommand.h"
#include "commands/builtincommands.h"
#include "scene/scene.h"
#include "scene/scenenumbers.h"
#include "scene/transformquery.h"
#include "script/parsedarguments.h"

#include <cmath>

namespace kestrel {

namespace {

constexpr double kDegreesPerRadian = 180.0 / M_PI;

QVector<double> ToArray(const Vector3& v, double factor = 1.0)
{
    return {v.x * factor, v.y * factor, v.z * factor};
}

// xform [-worldSpace | -objectSpace] [-translation X Y Z] [-rotation X Y Z] [-scale X Y Z] NODE
// sets the given channels (rotations in degrees, in the node's rotation order). With -query and
// one of -translation, -rotation or -scale it answers those three values.
class XformCommand : public JournaledCommand
{
public:
    using JournaledCommand::JournaledCommand;

protected:
    Status Execute(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        Node* node = RequireNode(parsed.PositionalStrings().first());
        if (!node)
            return Status::NotFound;
        if (!node->IsTransform())
            return Fail(QStringLiteral("\"%1\" is not a transform.").arg(node->Name()));
        const Space space =
            parsed.IsFlagSet(QStringLiteral("worldSpace")) ? Space::World : Space::Object;
        if (parsed.IsFlagSet(QStringLiteral("worldSpace")) &&
            parsed.IsFlagSet(QStringLiteral("objectSpace")))
            return Fail(QStringLiteral("-worldSpace and -objectSpace exclude each other."));
        return parsed.IsQuery() ? Query(parsed, *node, space) : Edit(parsed, node, space);
    }

private:
    static bool ReadVector(const ParsedArguments& parsed, const QString& flag, Vector3* v)
    {
        if (!parsed.IsFlagSet(flag))
            return false;
        for (int axis = 0; axis < 3; ++axis)
            parsed.GetFlagArgument(flag, axis, (*v)[axis]);
        return true;
    }

    Status Query(const ParsedArguments& parsed, const Node& node, Space space)
    {
        const QStringList flags = {QStringLiteral("translation"), QStringLiteral("rotation"),
                                   QStringLiteral("scale")};
        QStringList given;
        for (const QString& flag : flags) {
            if (parsed.IsFlagSet(flag))
                given.append(flag);
        }
        if (given.size() != 1)
            return Fail(QStringLiteral("query one of -translation, -rotation and -scale."));
        if (given.first() == flags.at(0)) {
            SetResult(ToArray(Translation(node, space)));
        } else if (given.first() == flags.at(1)) {
            const Vector3 angles =
                QuaternionToEuler(Rotation(node, space), node.Transform().rotationOrder);
            // Object space answers the stored angles, not a re-decomposition of them.
            SetResult(ToArray(space == Space::Object ? node.Transform().rotation : angles,
                              kDegreesPerRadian));
        } else {
            SetResult(ToArray(Scale(node, space)));
        }
        return Status::Success;
    }

    Status Edit(const ParsedArguments& parsed, Node* node, Space space)
    {
        TransformValues values = node->Transform();
        Vector3 v;
        if (ReadVector(parsed, QStringLiteral("translation"), &v))
            values.translation = space == Space::World ? ObjectTranslationFor(*node, v) : v;
        if (ReadVector(parsed, QStringLiteral("rotation"), &v)) {
            const Vector3 radians = v * (1.0 / kDegreesPerRadian);
            values.rotation =
                space == Space::World
                    ? ObjectRotationFor(*node, EulerToQuaternion(radians, values.rotationOrder))
                    : radians;
        }
        if (ReadVector(parsed, QStringLiteral("scale"), &v))
            values.scale = space == Space::World ? ObjectScaleFor(*node, v) : v;
        QString error;
        if (!SetCheckedTransform(GetScene(), node, values, &error))
            return Fail(error);
        return Status::Success;
    }
};

// printTransforms: one line per transform in scene order with its parent, local channels
// (rotations in degrees) and world position.
class PrintTransformsCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList&) override
    {
        const auto format = [](const Vector3& v) {
            const auto number = [](double value) {
                return FormatNumber(std::round(value * 1e4) / 1e4);
            };
            return QStringLiteral("%1 %2 %3").arg(number(v.x), number(v.y), number(v.z));
        };
        for (const Node* node : GetScene().Nodes()) {
            if (!node->IsTransform())
                continue;
            const TransformValues& t = node->Transform();
            GetHost().Print(QStringLiteral("%1 (%2) parent %3 | translate %4 | rotate %5 %6 | "
                                           "world %7")
                                .arg(node->Name(), NodeTypeName(node->Type()), node->ParentName(),
                                     format(t.translation), format(t.rotation * kDegreesPerRadian),
                                     RotationOrderName(t.rotationOrder),
                                     format(Translation(*node, Space::World))));
        }
        return Status::Success;
    }
};

} // namespace

void RegisterTransformCommands(Host& host)
{
    RegisterBuiltin<XformCommand>(host, QStringLiteral("xform"), [] {
        const QVector<ArgumentType> three(3, ArgumentType::Double);
        Syntax syntax;
        syntax.EnableQuery();
        syntax.AddFlag(QStringLiteral("-t"), QStringLiteral("-translation"), three);
        syntax.AddFlag(QStringLiteral("-ro"), QStringLiteral("-rotation"), three);
        syntax.AddFlag(QStringLiteral("-s"), QStringLiteral("-scale"), three);
        syntax.AddFlag(QStringLiteral("-ws"), QStringLiteral("-worldSpace"));
        syntax.AddFlag(QStringLiteral("-os"), QStringLiteral("-objectSpace"));
        syntax.SetPositionalArguments(ArgumentType::String, 1, 1);
        return syntax;
    });
    RegisterBuiltin<PrintTransformsCommand>(host, QStringLiteral("printTransforms"),
                                            [] { return Syntax(); });
}

} // namespace kestrel
