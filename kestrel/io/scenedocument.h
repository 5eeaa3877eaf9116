// Opening, creating and saving the host's scene as a whole.
#pragma once

#include "base/status.h"
#include "io/importoptions.h"
#include "kestrelexport.h"

#include <QString>

#include <functional>

namespace kestrel {

class CharacterNodes;
class Scene;
class SceneDescription;
class TextLog;
class UndoQueue;

// Opening a scene or making a new one replaces the whole scene: the old one is torn down
// (every node removed with its callbacks; Scene::IsOpeningFile() or IsCreatingNewScene() is
// true meanwhile), the undo queue is cleared and the selection is empty afterwards. A file is
// read and checked completely before anything is torn down, so a bad file changes nothing.
// Once the new scene stands, the scene-replaced callback runs (the host tells the
// characterization tool its character nodes there). Errors go to `errorLog`.
class KESTREL_EXPORT SceneDocument
{
public:
    SceneDocument(Scene& scene, CharacterNodes& characters, UndoQueue& undoQueue,
                  TextLog& errorLog);

    // Runs after Open succeeded and after New.
    void SetSceneReplacedCallback(std::function<void()> callback)
    {
        m_sceneReplaced = std::move(callback);
    }

    // Reads a scene file by its extension: ".json" (a Kestrel JSON scene, or a rig definition
    // read by RigJsonImporter), ".bvh" (imported at its rest pose, or at 0-based `frame` when
    // it is 0 or more) or any skeleton format Assimp reads (AssimpImporter). `options` applies
    // to the skeleton formats other than BVH. The description is validated
    // (SceneDescription::Validate). False with `error`, which names the file.
    static bool ReadFile(const QString& path, int frame, const ImportOptions& options,
                         SceneDescription* description, QString* error);
    static bool ReadFile(const QString& path, int frame, SceneDescription* description,
                         QString* error)
    {
        return ReadFile(path, frame, ImportOptions(), description, error);
    }

    // Replaces the scene with the file's. Errors are displayed and returned.
    Status Open(const QString& path, int frame = -1, const ImportOptions& options = {});
    // Replaces the scene with an empty one.
    void New();
    // Writes the scene as a Kestrel JSON scene file (whatever the extension).
    Status Save(const QString& path);
    // The file last opened or saved; empty for a new scene.
    const QString& FilePath() const { return m_filePath; }

private:
    void TearDown(bool openingFile);

    Scene& m_scene;
    CharacterNodes& m_characters;
    UndoQueue& m_undoQueue;
    TextLog& m_errorLog;
    std::function<void()> m_sceneReplaced;
    QString m_filePath;
};

} // namespace kestrel
