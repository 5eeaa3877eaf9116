// Helpers shared by the Kestrel tests: a quiet host fixture, a T-pose biped and comparisons.
#pragma once

#include "host.h"
#include "scene/quaternion.h"
#include "scene/scene.h"
#include "scene/vector3.h"
#include "script/textlog.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for Qt strings, lists and host statuses.
void PrintTo(const QString& text, std::ostream* out);
void PrintTo(const QStringList& list, std::ostream* out);
namespace kestrel {
void PrintTo(Status status, std::ostream* out);
void PrintTo(const Value& value, std::ostream* out);
} // namespace kestrel

// A host that keeps its output and errors in its logs instead of printing them, with the
// script helpers most tests need.
class HostTest : public ::testing::Test
{
protected:
    HostTest();

    kestrel::Scene& scene() { return host.GetScene(); }
    // Runs `text` as the batch runner does (undoable), without touching the script log.
    kestrel::ScriptResult Run(const QString& text);
    // Runs `text` and expects it to succeed; answers the last result, or that result as text.
    kestrel::Value RunOkValue(const QString& text);
    QString RunOk(const QString& text);
    // Runs `text` and expects it to fail; answers the last error displayed.
    QString RunFails(const QString& text);
    // Runs `text` and expects it to fail with `status` and one error that carries `name` (the
    // node, attribute, flag or type at fault). The wording around it is free to change.
    void ExpectFails(const QString& text, kestrel::Status status, const QString& name);
    QStringList Errors() { return host.GetErrorLog().Entries(); }
    kestrel::Node* Find(const QString& name) { return scene().Find(name); }
    // The world position of the node `name`, expected to exist.
    kestrel::Vector3 World(const QString& name);

    kestrel::Host host;
};

// Builds a joint chain in the scene through the scene API; see the sketch in kestreltest.cpp.
// Joint orients point each bone along its own +x axis, as rigs exported from other tools do.
void BuildOrientedTPose(kestrel::Scene& scene);

// Absolute path of a file in tests/kestrel/data.
QString TestData(const QString& name);
// The folder of the real skeletons, or empty when it is absent.
QString SharedSkeletonFolder();

::testing::AssertionResult NearVector(const kestrel::Vector3& actual,
                                      const kestrel::Vector3& expected, double tolerance = 1e-9);
::testing::AssertionResult SameRotation(const kestrel::Quaternion& actual,
                                        const kestrel::Quaternion& expected,
                                        double tolerance = 1e-9);
