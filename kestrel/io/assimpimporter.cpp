#include "io/assimpimporter.h"

#include "io/gltfskeletonreader.h"
#include "io/scenedescription.h"
#include "io/skeletonbuilder.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <QDataStream>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrel {

namespace {

// Marks the helper nodes Assimp inserts between an FBX node and its parent for pivots,
// offsets and pre/post rotations: "Hips_$AssimpFbx$_PreRotation".
const char kFbxHelperMark[] = "_$AssimpFbx$_";
const char kFbxPreRotation[] = "_$AssimpFbx$_PreRotation";

Matrix4 FromAssimp(const aiMatrix4x4& a)
{
    Matrix4 m;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column)
            m.m[row][column] = a[row][column];
    }
    return m;
}

// The rotation that turns the file's up direction (axis 0-2, sign +-1) onto host +Y.
Matrix4 UpConversion(int axis, int sign)
{
    Vector3 up;
    up[axis] = sign < 0 ? -1.0 : 1.0;
    if (up.y > 0.5)
        return Matrix4(); // already Y-up
    if (up.y < -0.5)
        return Matrix4::Rotation(Quaternion::AboutAxis(0, M_PI));
    // The shortest arc from `up` to +Y: about up x Y, a quarter turn.
    const Vector3 axisOfTurn(-up.z, 0.0, up.x);
    return Matrix4::Rotation(Quaternion::FromAxisAngle(axisOfTurn, M_PI / 2.0));
}

struct FileConventions
{
    bool objectsAreSkeleton = false;   // no skins: every named object is a joint
    bool fbxLimbs = false;             // unskinned FBX skeleton nodes below bones are joints
    bool rootIsAxisConversion = false; // Assimp's root node turns the file to Y-up
    int upAxis = 1;                    // 0, 1, 2 for x, y, z, after any turn by Assimp
    int upSign = 1;
};

FileConventions ConventionsOf(const QString& suffix, const aiScene& scene)
{
    FileConventions c;
    if (suffix == QLatin1String("ase") || suffix == QLatin1String("ask")) {
        c.objectsAreSkeleton = true;
        c.rootIsAxisConversion = true;
    } else if (suffix == QLatin1String("dae")) {
        c.rootIsAxisConversion = true;
    } else if (suffix == QLatin1String("fbx")) {
        c.fbxLimbs = true;
        int axis = 1;
        int sign = 1;
        if (scene.mMetaData && scene.mMetaData->Get("UpAxis", axis) && axis >= 0 && axis <= 2) {
            c.upAxis = axis;
            if (scene.mMetaData->Get("UpAxisSign", sign))
                c.upSign = sign < 0 ? -1 : 1;
        }
    }
    return c;
}

// Assimp gives a file without meshes (a Collada file of empty nodes or cameras) a mesh of its
// own whose bones are every node, so that viewers can draw it. Those bones are not the file's:
// the scene is flagged incomplete and the mesh wears the builder's material.
bool IsSynthesizedSkeletonMesh(const aiScene& scene, const aiMesh& mesh)
{
    if (!(scene.mFlags & AI_SCENE_FLAGS_INCOMPLETE) || mesh.mMaterialIndex >= scene.mNumMaterials)
        return false;
    aiString name;
    return scene.mMaterials[mesh.mMaterialIndex]->Get(AI_MATKEY_NAME, name) == AI_SUCCESS &&
           std::strcmp(name.C_Str(), "SkeletonMaterial") == 0;
}

// The file's nodes in pre-order, with FBX pivot helpers multiplied into the node below them.
std::vector<SkeletonSourceNode> Flatten(const aiScene& scene, const FileConventions& conventions)
{
    std::unordered_set<std::string> boneNames;
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        const aiMesh* mesh = scene.mMeshes[i];
        if (IsSynthesizedSkeletonMesh(scene, *mesh))
            continue;
        for (unsigned b = 0; b < mesh->mNumBones; ++b)
            boneNames.insert(mesh->mBones[b]->mName.C_Str());
    }
    std::unordered_set<std::string> excluded;
    for (unsigned i = 0; i < scene.mNumCameras; ++i)
        excluded.insert(scene.mCameras[i]->mName.C_Str());
    for (unsigned i = 0; i < scene.mNumLights; ++i)
        excluded.insert(scene.mLights[i]->mName.C_Str());

    struct Entry
    {
        const aiNode* node;
        int parent;
        Matrix4 pending; // helpers met since the parent
        bool hasPreRotation;
        Quaternion preRotation;
    };
    std::vector<SkeletonSourceNode> nodes;
    // Iterative: files may nest deeper than the stack allows.
    std::vector<Entry> stack{{scene.mRootNode, -1, Matrix4(), false, Quaternion()}};
    while (!stack.empty()) {
        Entry entry = stack.back();
        stack.pop_back();
        const aiNode* node = entry.node;
        const std::string name = node->mName.C_Str();
        const Matrix4 matrix = FromAssimp(node->mTransformation);
        int index = entry.parent;
        if (name.find(kFbxHelperMark) != std::string::npos) {
            if (name.find(kFbxPreRotation) != std::string::npos) {
                Vector3 translation;
                Vector3 scale;
                SkeletonBuilder::Decompose(matrix, &translation, &entry.preRotation, &scale);
                entry.hasPreRotation = true;
            }
            entry.pending = entry.pending * matrix;
        } else {
            const bool isRoot = node == scene.mRootNode;
            const bool axisRoot = isRoot && conventions.rootIsAxisConversion;
            SkeletonSourceNode source;
            source.name = QString::fromStdString(name);
            source.parent = entry.parent;
            source.local = axisRoot ? entry.pending : entry.pending * matrix;
            // With its pivot helpers folded in: a node whose own matrix is the identity but
            // whose helpers move it (an FBX "Bip01" above the pelvis) is kept as a transform.
            source.identity = axisRoot || source.local.IsIdentity();
            const bool isExcluded = excluded.count(name) > 0;
            source.bone =
                !isExcluded && (conventions.objectsAreSkeleton ? !isRoot && !name.empty()
                                                               : boneNames.count(name) > 0);
            bool isNull = true;
            source.skeletal = conventions.fbxLimbs && !isExcluded && node->mNumMeshes == 0 &&
                              node->mMetaData && node->mMetaData->Get("IsNull", isNull) && !isNull;
            source.hasPreRotation = entry.hasPreRotation;
            source.preRotation = entry.preRotation;
            index = static_cast<int>(nodes.size());
            nodes.push_back(std::move(source));
            entry = {node, index, Matrix4(), false, Quaternion()};
        }
        for (unsigned i = node->mNumChildren; i-- > 0;)
            stack.push_back({node->mChildren[i], index, entry.pending, entry.hasPreRotation,
                             entry.preRotation});
    }
    return nodes;
}

// What a read through Assimp hands to the skeleton builder.
struct AssimpNodes
{
    std::vector<SkeletonSourceNode> nodes;
    Matrix4 up;
    QString noSkeleton; // the error when nothing is a bone
};

// Reads the file with Assimp and flattens its nodes. False with `error` when Assimp refuses
// the file.
bool ReadWithAssimp(const QString& path, const QString& suffix, const ImportOptions& options,
                    AssimpNodes* read, QString* error)
{
    Assimp::Importer importer;
    // Pivot helpers are kept so that pre-rotations can become joint orients; skins keep
    // every joint, weighted or not, so the skeleton is whole.
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, true);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_REMOVE_EMPTY_BONES, false);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_ANIMATIONS, false);
    const aiScene* scene = importer.ReadFile(QFile::encodeName(path).constData(), 0);
    if (!scene || !scene->mRootNode) {
        QString reason = QString::fromUtf8(importer.GetErrorString()).trimmed();
        if (reason.isEmpty())
            reason = QStringLiteral("unreadable");
        *error = QStringLiteral("not a readable skeleton file (%1).").arg(reason);
        return false;
    }
    const FileConventions conventions = ConventionsOf(suffix, *scene);
    if (options.upAxis == UpAxis::Z)
        read->up = UpConversion(2, 1);
    else if (options.upAxis == UpAxis::Y)
        read->up = Matrix4();
    else if (conventions.rootIsAxisConversion)
        read->up = FromAssimp(scene->mRootNode->mTransformation);
    else
        read->up = UpConversion(conventions.upAxis, conventions.upSign);
    read->noSkeleton = conventions.objectsAreSkeleton
                           ? QStringLiteral("the file holds no objects to import.")
                           : QStringLiteral("the file has no skeleton: no skin names any bone.");
    read->nodes = Flatten(*scene, conventions);
    return true;
}

QDataStream& operator<<(QDataStream& out, const Matrix4& matrix)
{
    for (const auto& row : matrix.m) {
        for (double value : row)
            out << value;
    }
    return out;
}

QDataStream& operator>>(QDataStream& in, Matrix4& matrix)
{
    for (auto& row : matrix.m) {
        for (double& value : row)
            in >> value;
    }
    return in;
}

// The child's answer: ok, then the error, or the up matrix, the no-skeleton text and the
// nodes.
QByteArray Serialize(bool ok, const AssimpNodes& read, const QString& error)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << ok << error << read.up << read.noSkeleton << quint32(read.nodes.size());
    for (const SkeletonSourceNode& node : read.nodes) {
        const Quaternion& q = node.preRotation;
        out << node.name << qint32(node.parent) << node.local << node.identity << node.bone
            << node.skeletal << node.hasPreRotation << q.x << q.y << q.z << q.w;
    }
    return bytes;
}

bool Deserialize(const QByteArray& bytes, AssimpNodes* read, QString* error)
{
    QDataStream in(bytes);
    bool ok = false;
    quint32 count = 0;
    in >> ok >> *error >> read->up >> read->noSkeleton >> count;
    for (quint32 i = 0; ok && i < count && in.status() == QDataStream::Ok; ++i) {
        SkeletonSourceNode node;
        qint32 parent = -1;
        Quaternion& q = node.preRotation;
        in >> node.name >> parent >> node.local >> node.identity >> node.bone >> node.skeletal >>
            node.hasPreRotation >> q.x >> q.y >> q.z >> q.w;
        node.parent = parent;
        read->nodes.push_back(std::move(node));
    }
    if (in.status() != QDataStream::Ok)
        *error = QStringLiteral("not a readable skeleton file (the reader's answer was cut).");
    return ok && in.status() == QDataStream::Ok;
}

// Assimp, as Debian builds it, keeps its internal assertions, and some broken FBX files trip
// one: it aborts the process, and would take the host and the person's unsaved scene with it.
// So Assimp reads in a child process that sends the flattened nodes back through a pipe; a
// child that dies is a file that cannot be read, and the host goes on.
bool ReadInChild(const QString& path, const QString& suffix, const ImportOptions& options,
                 AssimpNodes* read, QString* error)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return ReadWithAssimp(path, suffix, options, read, error);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return ReadWithAssimp(path, suffix, options, read, error);
    }
    if (child == 0) {
        ::close(channel[0]);
        // Assimp's own assertion text would land on the host's error stream; the host says
        // in its own words that the file could not be read.
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0)
            ::dup2(quiet, STDERR_FILENO);
        QString childError;
        const bool ok = ReadWithAssimp(path, suffix, options, read, &childError);
        const QByteArray bytes = Serialize(ok, *read, childError);
        for (qint64 written = 0; written < bytes.size();) {
            const ssize_t n = ::write(channel[1], bytes.constData() + written,
                                      std::size_t(bytes.size() - written));
            if (n <= 0 && errno != EINTR)
                ::_exit(1);
            written += n > 0 ? n : 0;
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, int(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error =
            QStringLiteral("not a readable skeleton file (the reader stopped on it%1).")
                .arg(WIFSIGNALED(status) ? QStringLiteral(" with signal %1").arg(WTERMSIG(status))
                                         : QString());
        return false;
    }
    return Deserialize(bytes, read, error);
}

} // namespace

bool AssimpImporter::HandlesSuffix(const QString& suffix)
{
    if (suffix.isEmpty())
        return false;
    Assimp::Importer importer;
    return importer.IsExtensionSupported(("." + suffix.toLower()).toUtf8().constData());
}

bool AssimpImporter::Read(const QString& path, const ImportOptions& options,
                          SceneDescription* description, QString* error)
{
    *description = SceneDescription();
    const QFileInfo info(path);
    if (info.isDir()) {
        *error = QStringLiteral("is a folder, not a skeleton file.");
        return false;
    }
    const QString noSkin = QStringLiteral("the file has no skeleton: no skin names any bone.");
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("gltf") || suffix == QLatin1String("glb")) {
        std::vector<SkeletonSourceNode> nodes;
        if (!GltfSkeletonReader::Read(path, &nodes, error))
            return false;
        // glTF is Y-up by definition.
        const Matrix4 up = options.upAxis == UpAxis::Z ? UpConversion(2, 1) : Matrix4();
        return SkeletonBuilder::Build(nodes, up, noSkin, description, error) &&
               description->Validate(error);
    }
    AssimpNodes read;
    if (!ReadInChild(path, suffix, options, &read, error))
        return false;
    return SkeletonBuilder::Build(read.nodes, read.up, read.noSkeleton, description, error) &&
           description->Validate(error);
}

} // namespace kestrel
