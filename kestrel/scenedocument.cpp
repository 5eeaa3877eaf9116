#include "scenedocument.h"

#include "bvhimporter.h"
#include "characternodes.h"
#include "host.h"
#include "scene.h"
#include "scenedescription.h"
#include "scenejsonreader.h"
#include "scenejsonwriter.h"
#include "undoqueue.h"

#include <QFile>
#include <QFileInfo>

namespace kestrel {

namespace {

// Scene files larger than this are refused rather than read into memory.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

} // namespace

SceneDocument::SceneDocument(Host& host)
    : m_host(host)
{}

bool SceneDocument::ReadFile(const QString& path, int frame, SceneDescription* description,
                             QString* error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("json") && suffix != QLatin1String("bvh")) {
        *error = QStringLiteral("\"%1\": unknown scene file format (use .json or .bvh).").arg(path);
        return false;
    }
    if (suffix == QLatin1String("json") && frame >= 0) {
        *error = QStringLiteral("\"%1\": only BVH files have frames.").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot open \"%1\": %2.").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        *error = QStringLiteral("\"%1\" is too large to be a scene file.").arg(path);
        return false;
    }
    const QByteArray data = file.readAll();
    QString problem;
    const bool ok = suffix == QLatin1String("json")
                        ? SceneJsonReader::Read(data, description, &problem)
                        : BvhImporter::Read(data, frame, description, &problem);
    if (!ok)
        *error = QStringLiteral("\"%1\": %2").arg(path, problem);
    return ok;
}

void SceneDocument::TearDown(bool openingFile)
{
    Scene& scene = m_host.GetScene();
    m_host.GetUndoQueue().Clear();
    scene.SetResetState(openingFile ? SceneReset::OpeningFile : SceneReset::NewScene);
    scene.GetSelection().Clear();
    scene.Clear();
    m_host.GetCharacterNodes().ForgetCurrent();
}

Status SceneDocument::Open(const QString& path, int frame)
{
    SceneDescription description;
    QString error;
    if (!ReadFile(path, frame, &description, &error)) {
        m_host.DisplayError(error);
        return Status::InvalidParameter;
    }
    TearDown(true);
    Scene& scene = m_host.GetScene();
    const Status status = description.BuildInto(scene, &error);
    scene.SetResetState(SceneReset::None);
    m_host.GetUndoQueue().Clear();
    if (status != Status::Success) {
        // Only possible when a teardown callback created nodes with the file's names.
        m_host.DisplayError(QStringLiteral("\"%1\": %2").arg(path, error));
        return status;
    }
    m_filePath = path;
    return Status::Success;
}

void SceneDocument::New()
{
    TearDown(false);
    m_host.GetScene().SetResetState(SceneReset::None);
    m_filePath.clear();
}

Status SceneDocument::Save(const QString& path)
{
    QString error;
    if (!SceneJsonWriter::Write(SceneDescription::Capture(m_host.GetScene()), path, &error)) {
        m_host.DisplayError(error);
        return Status::Failure;
    }
    m_filePath = path;
    return Status::Success;
}

} // namespace kestrel
