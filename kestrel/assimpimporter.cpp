#include "assimpimporter.h"

#include "importednames.h"
#include "matrix4.h"
#include "rotationorder.h"
#include "scenedescription.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/scene.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

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

// Rotation part of a pure rotation matrix (rows r0..r2) as a unit quaternion.
Quaternion QuaternionOfRotation(const double r[3][3])
{
    Quaternion q;
    const double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        q = {(r[2][1] - r[1][2]) / s, (r[0][2] - r[2][0]) / s, (r[1][0] - r[0][1]) / s, s / 4.0};
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2.0;
        q = {s / 4.0, (r[0][1] + r[1][0]) / s, (r[0][2] + r[2][0]) / s, (r[2][1] - r[1][2]) / s};
    } else if (r[1][1] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2.0;
        q = {(r[0][1] + r[1][0]) / s, s / 4.0, (r[1][2] + r[2][1]) / s, (r[0][2] - r[2][0]) / s};
    } else {
        const double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2.0;
        q = {(r[0][2] + r[2][0]) / s, (r[1][2] + r[2][1]) / s, s / 4.0, (r[1][0] - r[0][1]) / s};
    }
    return q.Normalized();
}

// Splits T * R * S. A mirroring matrix gets a negative x scale.
void Decompose(const Matrix4& matrix, Vector3* translation, Quaternion* rotation, Vector3* scale)
{
    const auto& m = matrix.m;
    *translation = matrix.TranslationPart();
    double r[3][3];
    for (int column = 0; column < 3; ++column) {
        const double length = std::sqrt(m[0][column] * m[0][column] + m[1][column] * m[1][column] +
                                        m[2][column] * m[2][column]);
        (*scale)[column] = length;
        for (int row = 0; row < 3; ++row)
            r[row][column] = length > 0.0 ? m[row][column] / length : (row == column);
    }
    const double determinant = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                               r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                               r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    if (determinant < 0.0) {
        scale->x = -scale->x;
        for (auto& row : r)
            row[0] = -row[0];
    }
    *rotation = QuaternionOfRotation(r);
}

// The rotation that turns the file's up direction (axis 0-2, sign +-1) onto host +Y.
Matrix4 UpConversion(int axis, int sign)
{
    Vector3 up;
    up[axis] = sign < 0 ? -1.0 : 1.0;
    const Vector3 target(0.0, 1.0, 0.0);
    const Vector3 cross(up.y * target.z - up.z * target.y, up.z * target.x - up.x * target.z,
                        up.x * target.y - up.y * target.x);
    const double dot = up.y;
    Quaternion q;
    if (dot > 0.5)
        return Matrix4(); // already Y-up
    if (dot < -0.5)
        q = Quaternion::AboutAxis(0, M_PI); // -Y up: half a turn
    else
        q = Quaternion::FromAxisAngle(cross, std::acos(std::max(-1.0, std::min(1.0, dot))));
    return Matrix4::Rotation(q);
}

struct FileConventions
{
    bool objectsAreSkeleton = false;   // no skins: every named object is a joint
    bool fbxLimbs = false;             // unskinned FBX skeleton nodes below bones are joints
    bool rootIsAxisConversion = false; // Assimp's root node turns the file to Y-up
    int upAxis = 1;                    // 0, 1, 2 for x, y, z, after any conversion by Assimp
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

// One node of the file with what the walk decided about it.
struct Visit
{
    const aiNode* node = nullptr;
    int parent = -1;        // index in the visit list
    bool underBone = false; // a proper ancestor is a bone
    bool bone = false;      // named by a skin (or an object of a skin-less format)
    bool boneBelow = false; // the node or a descendant is a bone
    bool isFbxHelper = false;
};

class Conversion
{
public:
    Conversion(const aiScene& scene, const FileConventions& conventions, const Matrix4& up)
        : m_scene(scene)
        , m_conventions(conventions)
        , m_up(up)
    {
        for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
            const aiMesh* mesh = scene.mMeshes[i];
            for (unsigned b = 0; b < mesh->mNumBones; ++b)
                m_boneNames.insert(mesh->mBones[b]->mName.C_Str());
        }
        for (unsigned i = 0; i < scene.mNumCameras; ++i)
            m_excluded.insert(scene.mCameras[i]->mName.C_Str());
        for (unsigned i = 0; i < scene.mNumLights; ++i)
            m_excluded.insert(scene.mLights[i]->mName.C_Str());
    }

    bool Run(SceneDescription* description, QString* error);

private:
    bool IsBone(const aiNode* node) const
    {
        const std::string name = node->mName.C_Str();
        if (m_excluded.count(name))
            return false;
        if (m_conventions.objectsAreSkeleton)
            return node != m_scene.mRootNode && !name.empty();
        return m_boneNames.count(name) > 0;
    }
    bool IsJoint(const Visit& v) const
    {
        if (v.bone || (v.underBone && v.boneBelow))
            return true;
        if (!m_conventions.fbxLimbs || !v.underBone || v.node->mNumMeshes > 0 ||
            m_excluded.count(v.node->mName.C_Str()))
            return false;
        bool isNull = true;
        return v.node->mMetaData && v.node->mMetaData->Get("IsNull", isNull) && !isNull;
    }
    void Emit(const Visit& v, bool joint, const Matrix4& local, const Quaternion* preRotation,
              const QString& parent, SceneDescription* description);

    const aiScene& m_scene;
    FileConventions m_conventions;
    Matrix4 m_up;
    std::unordered_set<std::string> m_boneNames;
    std::unordered_set<std::string> m_excluded;
    ImportedNames m_names;
};

void Conversion::Emit(const Visit& v, bool joint, const Matrix4& local,
                      const Quaternion* preRotation, const QString& parent,
                      SceneDescription* description)
{
    NodeRecord record;
    record.type = joint ? NodeType::Joint : NodeType::Transform;
    record.parent = parent;
    record.name = m_names.Add(QString::fromUtf8(v.node->mName.C_Str()), &record.attributes);
    TransformValues& t = record.transform;
    Quaternion rotation;
    Decompose(parent.isEmpty() ? m_up * local : local, &t.translation, &rotation, &t.scale);
    if (joint && preRotation) {
        t.jointOrient = QuaternionToEuler(*preRotation, RotationOrder::XYZ);
        rotation = preRotation->Inverse() * rotation;
    }
    t.rotation = QuaternionToEuler(rotation, RotationOrder::XYZ);
    description->nodes.push_back(std::move(record));
}

bool Conversion::Run(SceneDescription* description, QString* error)
{
    // Pre-order list of every node, iteratively: files may nest deeper than the stack allows.
    std::vector<Visit> visits;
    std::vector<std::pair<const aiNode*, int>> stack{{m_scene.mRootNode, -1}};
    while (!stack.empty()) {
        const auto [node, parent] = stack.back();
        stack.pop_back();
        Visit v;
        v.node = node;
        v.parent = parent;
        v.bone = IsBone(node);
        v.isFbxHelper = std::strstr(node->mName.C_Str(), kFbxHelperMark) != nullptr;
        if (v.isFbxHelper)
            v.bone = false;
        if (parent >= 0)
            v.underBone = visits[parent].underBone || visits[parent].bone;
        const int index = static_cast<int>(visits.size());
        visits.push_back(v);
        for (unsigned i = node->mNumChildren; i-- > 0;)
            stack.push_back({node->mChildren[i], index});
    }
    for (int i = static_cast<int>(visits.size()) - 1; i >= 0; --i) {
        Visit& v = visits[i];
        v.boneBelow = v.boneBelow || v.bone;
        if (v.parent >= 0 && v.boneBelow)
            visits[v.parent].boneBelow = true;
    }
    if (!visits.front().boneBelow) {
        *error = m_conventions.objectsAreSkeleton
                     ? QStringLiteral("the file holds no objects to import as joints.")
                     : QStringLiteral("the file has no skeleton: no skin names any bone.");
        return false;
    }

    // Emission: each visit carries the product of the matrices of the nodes left out since
    // the last emitted ancestor, and the FBX pre-rotation met on the way.
    struct Pending
    {
        Matrix4 matrix = Matrix4();
        QString parentName;
        bool hasPreRotation = false;
        Quaternion preRotation;
    };
    std::vector<Pending> pending(visits.size());
    for (std::size_t i = 0; i < visits.size(); ++i) {
        const Visit& v = visits[i];
        Pending here = v.parent >= 0 ? pending[v.parent] : Pending();
        // Where Assimp's root only converts axes, that conversion is m_up's business.
        const bool axisRoot = i == 0 && m_conventions.rootIsAxisConversion;
        const Matrix4 local =
            axisRoot ? here.matrix : here.matrix * FromAssimp(v.node->mTransformation);
        const bool joint = !v.isFbxHelper && IsJoint(v);
        const bool transform = !v.isFbxHelper && !joint && v.boneBelow && !axisRoot &&
                               !v.node->mTransformation.IsIdentity();
        if (joint || transform) {
            Emit(v, joint, local, here.hasPreRotation ? &here.preRotation : nullptr,
                 here.parentName, description);
            here = Pending();
            here.parentName = description->nodes.back().name;
        } else {
            if (v.isFbxHelper && std::strstr(v.node->mName.C_Str(), kFbxPreRotation) != nullptr) {
                Vector3 translation;
                Vector3 scale;
                Decompose(FromAssimp(v.node->mTransformation), &translation, &here.preRotation,
                          &scale);
                here.hasPreRotation = true;
            }
            here.matrix = local;
        }
        pending[i] = std::move(here);
    }
    return true;
}

// Assimp's glTF reader dereferences a skin's inverse bind matrices without checking that the
// file has them (they are optional in glTF), so such files are refused before it sees them.
// Answers true when the JSON of a .gltf or the first chunk of a .glb has such a skin.
bool HasSkinWithoutBindMatrices(const QString& path, const QString& suffix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray json;
    if (suffix == QLatin1String("glb")) {
        const QByteArray header = file.read(20);
        if (header.size() < 20 || !header.startsWith("glTF"))
            return false;
        quint32 length = 0;
        std::memcpy(&length, header.constData() + 12, sizeof length);
        json = file.read(qFromLittleEndian(length));
    } else {
        json = file.readAll();
    }
    const QJsonArray skins =
        QJsonDocument::fromJson(json).object().value(QStringLiteral("skins")).toArray();
    for (const QJsonValue& skin : skins) {
        if (!skin.toObject().contains(QStringLiteral("inverseBindMatrices")))
            return true;
    }
    return false;
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
    const QString suffix = info.suffix().toLower();
    if ((suffix == QLatin1String("gltf") || suffix == QLatin1String("glb")) &&
        HasSkinWithoutBindMatrices(path, suffix)) {
        *error = QStringLiteral("a skin has no inverse bind matrices, which this reader cannot "
                                "handle.");
        return false;
    }
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
    Matrix4 up;
    if (options.upAxis == UpAxis::Z)
        up = UpConversion(2, 1);
    else if (options.upAxis == UpAxis::Y)
        up = Matrix4();
    else if (conventions.rootIsAxisConversion)
        up = FromAssimp(scene->mRootNode->mTransformation);
    else
        up = UpConversion(conventions.upAxis, conventions.upSign);
    Conversion conversion(*scene, conventions, up);
    if (!conversion.Run(description, error))
        return false;
    return description->Validate(error);
}

} // namespace kestrel
