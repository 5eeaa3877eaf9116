#include "kestreltest.h"

#include "scene/transformquery.h"
#include "script/textlog.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

using namespace kestrel;

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << (list.isEmpty() ? "{}" : "{\"" + list.join("\", \"").toStdString() + "\"}");
}

void kestrel::PrintTo(Status status, std::ostream* out)
{
    *out << StatusText(status).toStdString();
}

void kestrel::PrintTo(const Value& value, std::ostream* out)
{
    *out << ValueTypeName(value.Type()).toStdString() << " " << value.ToText().toStdString();
}

HostTest::HostTest()
    : host([] {
        HostOptions options;
        options.writeToStandardStreams = false;
        return options;
    }())
{}

ScriptResult HostTest::Run(const QString& text)
{
    ExecuteOptions options;
    options.undoable = true;
    return host.GetInterpreter().Execute(text, options);
}

Value HostTest::RunOkValue(const QString& text)
{
    const int errors = host.GetErrorLog().Count();
    const ScriptResult result = Run(text);
    EXPECT_EQ(result.status, Status::Success)
        << qPrintable(text) << "\n"
        << qPrintable(host.GetErrorLog().Entries().mid(errors).join('\n'));
    return result.result;
}

QString HostTest::RunOk(const QString& text)
{
    return RunOkValue(text).ToText();
}

Vector3 HostTest::World(const QString& name)
{
    const Node* node = Find(name);
    EXPECT_NE(node, nullptr) << qPrintable(name);
    return node ? Translation(*node, Space::World) : Vector3();
}

QString HostTest::RunFails(const QString& text)
{
    const int errors = host.GetErrorLog().Count();
    const ScriptResult result = Run(text);
    EXPECT_NE(result.status, Status::Success) << qPrintable(text);
    EXPECT_GT(host.GetErrorLog().Count(), errors) << "no error displayed for " << qPrintable(text);
    return host.GetErrorLog().Last();
}

void HostTest::ExpectFails(const QString& text, Status status, const QString& name)
{
    const int errors = host.GetErrorLog().Count();
    EXPECT_EQ(Run(text).status, status) << qPrintable(text);
    EXPECT_EQ(host.GetErrorLog().Count(), errors + 1) << qPrintable(text);
    const QString error = host.GetErrorLog().Last();
    EXPECT_TRUE(error.contains(name)) << qPrintable(text) << " -> " << qPrintable(error);
}

// Joints in cm, Y up, character facing +z, its left on +x. Every joint orient turns the
// joint's +x axis along its bone, so children sit on their parent's +x axis:
//
//   Hips (0,100,0)          jo z +90  (x up)
//   ├── Spine   t(20,0,0)   → (0,120,0)
//   │   ├── Head t(30,0,0)  → (0,150,0)
//   │   ├── LeftArm  t(25,0,0) jo z -90 → (0,145,0), x left  (+x world)
//   │   │   └── LeftHand t(50,0,0)      → (50,145,0)
//   │   └── RightArm t(25,0,0) jo z +90 → (0,145,0), x right (-x world)
//   │       └── RightHand t(50,0,0)     → (-50,145,0)
//   └── LeftLeg t(-10,-10,0) jo z +180 → (10,90,0), x down
//       └── LeftFoot t(80,0,0)         → (10,10,0)
void BuildOrientedTPose(Scene& scene)
{
    const double quarter = M_PI / 2.0;
    const auto joint = [&scene](const QString& name, const QString& parent, const Vector3& t,
                                const Vector3& jointOrient) {
        QString error;
        Node* node = scene.CreateNode(NodeType::Joint, name,
                                      parent.isEmpty() ? nullptr : scene.Find(parent), &error);
        EXPECT_NE(node, nullptr) << qPrintable(error);
        TransformValues values;
        values.translation = t;
        values.jointOrient = jointOrient;
        scene.SetTransform(node, values);
    };
    joint("Hips", "", {0, 100, 0}, {0, 0, quarter});
    joint("Spine", "Hips", {20, 0, 0}, {});
    joint("Head", "Spine", {30, 0, 0}, {});
    joint("LeftArm", "Spine", {25, 0, 0}, {0, 0, -quarter});
    joint("LeftHand", "LeftArm", {50, 0, 0}, {});
    joint("RightArm", "Spine", {25, 0, 0}, {0, 0, quarter});
    joint("RightHand", "RightArm", {50, 0, 0}, {});
    joint("LeftLeg", "Hips", {-10, -10, 0}, {0, 0, M_PI});
    joint("LeftFoot", "LeftLeg", {80, 0, 0}, {});
}

QString TestData(const QString& name)
{
    return QStringLiteral(KESTREL_TEST_DATA_DIR "/") + name;
}

QString SharedSkeletonFolder()
{
    const QString shared = qEnvironmentVariable("CT_SHARED_DIR");
    if (shared.isEmpty())
        return QString();
    const QString folder = shared + QStringLiteral("/skeletons");
    return QFileInfo(folder).isDir() ? folder : QString();
}

::testing::AssertionResult NearVector(const Vector3& actual, const Vector3& expected,
                                      double tolerance)
{
    for (int axis = 0; axis < 3; ++axis) {
        if (!(std::abs(actual[axis] - expected[axis]) <= tolerance))
            return ::testing::AssertionFailure()
                   << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not ("
                   << expected.x << ", " << expected.y << ", " << expected.z << ")";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameRotation(const Quaternion& actual, const Quaternion& expected,
                                        double tolerance)
{
    if (actual.IsSameRotation(expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ", " << actual.w
           << ") is not (" << expected.x << ", " << expected.y << ", " << expected.z << ", "
           << expected.w << ")";
}
