#include "io/scenedocument.h"

#include "io/assimpimporter.h"
#include "io/bvhimporter.h"
#include "io/rigjsonimporter.h"
#include "io/scenedescription.h"
#include "io/sceneformats.h"
#include "io/scenejsonreader.h"
#include "io/scenejsonwriter.h"
#include "scene/characternodes.h"
#include "scene/scene.h"
#include "script/textlog.h"
#include "script/undoqueue.h"

#include <QFile>
#include <QFileInfo>

namespace kestrel {

namespace {

// Scene files larger than this are refused rather than read into memory.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

} // namespace

SceneDocument::SceneDocument(Scene& scene, CharacterNodes& characters, UndoQueue& undoQueue,
                             TextLog& errorLog)
    : m_scene(scene)
    , m_characters(characters)
    , m_undoQueue(undoQueue)
    , m_errorLog(errorLog)
{}

bool SceneDocument::ReadFile(const QString& path, int frame, const ImportOptions& options,
                             SceneDescription* description, QString* error)
{
    const QFileInfo info(path);
    SceneReader reader = SceneReader::Json;
    if (!SceneFormats::Find(info.suffix(), &reader)) {
        *error = QStringLiteral("\"%1\": unknown scene file format (use %2 or another format "
                                "Assimp reads).")
                     .arg(path, SceneFormats::SuffixList());
        return false;
    }
    const bool ownFormat = reader != SceneReader::Assimp;
    if (reader != SceneReader::Bvh && frame >= 0) {
        *error = QStringLiteral("\"%1\": only BVH files have frames.").arg(path);
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("\"%1\" is a folder, not a scene file.").arg(path);
        return false;
    }
    if (info.size() > kMaxFileSize) {
        *error = QStringLiteral("\"%1\" is too large to be a scene file.").arg(path);
        return false;
    }
    QString problem;
    bool ok = false;
    if (ownFormat) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Cannot open \"%1\": %2.").arg(path, file.errorString());
            return false;
        }
        // A BVH file is read in place: its rest pose needs only the hierarchy at the top,
        // so the frames below it, nearly all of a capture's bytes, are never touched. The
        // mapping lives as long as `file`, longer than anything the readers keep of it.
        QByteArray data;
        const uchar* mapped =
            reader == SceneReader::Bvh && file.size() > 0 ? file.map(0, file.size()) : nullptr;
        if (mapped)
            data = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped),
                                           static_cast<int>(file.size()));
        else
            data = file.readAll();
        if (reader == SceneReader::Bvh)
            ok = BvhImporter::Read(data, frame, description, &problem);
        else if (RigJsonImporter::LooksLikeRig(data))
            ok = RigJsonImporter::Read(data, options, description, &problem);
        else
            ok = SceneJsonReader::Read(data, description, &problem);
    } else {
        if (!info.exists()) {
            *error = QStringLiteral("Cannot open \"%1\": No such file or directory.").arg(path);
            return false;
        }
        ok = AssimpImporter::Read(path, options, description, &problem);
    }
    if (!ok)
        *error = QStringLiteral("\"%1\": %2").arg(path, problem);
    return ok;
}

void SceneDocument::TearDown(bool openingFile)
{
    m_undoQueue.Clear();
    m_scene.SetResetState(openingFile ? SceneReset::OpeningFile : SceneReset::NewScene);
    m_scene.GetSelection().Clear();
    m_scene.Clear();
    m_characters.ForgetCurrent();
}

Status SceneDocument::Open(const QString& path, int frame, const ImportOptions& options)
{
    SceneDescription description;
    QString error;
    if (!ReadFile(path, frame, options, &description, &error)) {
        m_errorLog.Append(error);
        return Status::InvalidParameter;
    }
    TearDown(true);
    const Status status =
        description.BuildInto(m_scene, &error, SceneDescription::Checks::AlreadyValidated);
    m_scene.SetResetState(SceneReset::None);
    m_undoQueue.Clear();
    if (status != Status::Success) {
        // Only possible when a teardown callback created nodes with the file's names.
        m_errorLog.Append(QStringLiteral("\"%1\": %2").arg(path, error));
        return status;
    }
    m_filePath = path;
    m_characters.SetCurrent(m_characters.Find(description.currentCharacter));
    if (m_sceneReplaced)
        m_sceneReplaced();
    return Status::Success;
}

void SceneDocument::New()
{
    TearDown(false);
    m_scene.SetResetState(SceneReset::None);
    m_filePath.clear();
    if (m_sceneReplaced)
        m_sceneReplaced();
}

Status SceneDocument::Save(const QString& path)
{
    QString error;
    SceneDescription description = SceneDescription::Capture(m_scene);
    if (const Node* current = m_characters.Current())
        description.currentCharacter = current->Name();
    if (!SceneJsonWriter::Write(description, path, &error)) {
        m_errorLog.Append(error);
        return Status::Failure;
    }
    m_filePath = path;
    return Status::Success;
}

} // namespace kestrel
