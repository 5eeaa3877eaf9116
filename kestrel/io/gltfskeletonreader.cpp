#include "io/gltfskeletonreader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <vector>

namespace kestrel {

namespace {

constexpr quint32 kGlbMagic = 0x46546C67;  // "glTF"
constexpr quint32 kJsonChunk = 0x4E4F534A; // "JSON"
constexpr int kGlbHeaderSize = 12;
constexpr int kChunkHeaderSize = 8;

quint32 ReadWord(const QByteArray& data, int offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

// The JSON text of a .glb: header (magic, version, total length), then the JSON chunk.
bool GlbJson(const QByteArray& data, QByteArray* json, QString* error)
{
    if (data.size() < kGlbHeaderSize || ReadWord(data, 0) != kGlbMagic) {
        *error = QStringLiteral("not a binary glTF file (no \"glTF\" magic).");
        return false;
    }
    if (ReadWord(data, 4) != 2) {
        *error = QStringLiteral("binary glTF version %1 is not supported (only 2).")
                     .arg(ReadWord(data, 4));
        return false;
    }
    const qint64 total = ReadWord(data, 8);
    const qint64 chunk =
        data.size() >= kGlbHeaderSize + kChunkHeaderSize ? ReadWord(data, kGlbHeaderSize) : -1;
    if (total > data.size() || chunk < 0 ||
        kGlbHeaderSize + kChunkHeaderSize + chunk > data.size()) {
        *error = QStringLiteral("the binary glTF file is truncated.");
        return false;
    }
    if (ReadWord(data, kGlbHeaderSize + 4) != kJsonChunk) {
        *error = QStringLiteral("the binary glTF file does not start with its JSON chunk.");
        return false;
    }
    *json = data.mid(kGlbHeaderSize + kChunkHeaderSize, static_cast<int>(chunk));
    return true;
}

// The node's local matrix: "matrix" (column-major) or T * R * S.
Matrix4 LocalMatrix(const QJsonObject& node)
{
    Matrix4 m;
    const QJsonArray matrix = node.value(QStringLiteral("matrix")).toArray();
    if (matrix.size() == 16) {
        for (int k = 0; k < 16; ++k)
            m.m[k % 4][k / 4] = matrix.at(k).toDouble();
    } else {
        const auto vector = [&node](const char* key, QVector<double> fallback) {
            const QJsonArray array = node.value(QLatin1String(key)).toArray();
            if (array.size() == fallback.size()) {
                for (int i = 0; i < array.size(); ++i)
                    fallback[i] = array.at(i).toDouble();
            }
            return fallback;
        };
        const QVector<double> t = vector("translation", {0, 0, 0});
        const QVector<double> r = vector("rotation", {0, 0, 0, 1});
        const QVector<double> s = vector("scale", {1, 1, 1});
        m = Matrix4::Translation({t[0], t[1], t[2]}) *
            Matrix4::Rotation(Quaternion(r[0], r[1], r[2], r[3]).Normalized()) *
            Matrix4::Scaling({s[0], s[1], s[2]});
    }
    return m;
}

bool IsIdentity(const Matrix4& m)
{
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (m.m[row][column] != (row == column ? 1.0 : 0.0))
                return false;
        }
    }
    return true;
}

} // namespace

bool GltfSkeletonReader::Read(const QString& path, std::vector<SkeletonSourceNode>* nodesOut,
                              QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot be read: %1.").arg(file.errorString());
        return false;
    }
    QByteArray json = file.readAll();
    if (path.endsWith(QLatin1String(".glb"), Qt::CaseInsensitive) && !GlbJson(json, &json, error))
        return false;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("not glTF JSON (%1 at byte %2).")
                     .arg(parseError.errorString())
                     .arg(parseError.offset);
        return false;
    }
    const QJsonObject gltf = document.object();
    const QJsonArray nodes = gltf.value(QStringLiteral("nodes")).toArray();
    const int count = nodes.size();
    // Parents by index; -1 for none. A node may be listed as a child only once.
    std::vector<int> parent(count, -1);
    std::vector<std::vector<int>> children(count);
    for (int i = 0; i < count; ++i) {
        const QJsonArray list = nodes.at(i).toObject().value(QStringLiteral("children")).toArray();
        for (const QJsonValue value : list) {
            const int child = value.toInt(-1);
            if (child < 0 || child >= count || child == i || parent[child] >= 0) {
                *error = QStringLiteral("node %1 lists a bad or second-parented child.").arg(i);
                return false;
            }
            parent[child] = i;
            children[i].push_back(child);
        }
    }
    std::vector<int> roots;
    const QJsonArray scenes = gltf.value(QStringLiteral("scenes")).toArray();
    if (!scenes.isEmpty()) {
        const int scene = gltf.value(QStringLiteral("scene")).toInt(0);
        for (const QJsonValue value :
             scenes.at(scene).toObject().value(QStringLiteral("nodes")).toArray()) {
            const int node = value.toInt(-1);
            if (node < 0 || node >= count || parent[node] >= 0) {
                *error = QStringLiteral("the scene lists a bad root node.");
                return false;
            }
            roots.push_back(node);
        }
    } else {
        for (int i = 0; i < count; ++i) {
            if (parent[i] < 0)
                roots.push_back(i);
        }
    }
    std::vector<char> isJoint(count, 0);
    for (const QJsonValue skin : gltf.value(QStringLiteral("skins")).toArray()) {
        for (const QJsonValue value : skin.toObject().value(QStringLiteral("joints")).toArray()) {
            const int joint = value.toInt(-1);
            if (joint < 0 || joint >= count) {
                *error = QStringLiteral("a skin names joint %1, which is no node.").arg(joint);
                return false;
            }
            isJoint[joint] = 1;
        }
    }

    // Pre-order from the roots, iteratively; a cycle cannot be reached from a root since
    // every node has at most one parent and roots have none.
    nodesOut->clear();
    nodesOut->reserve(count);
    std::vector<std::pair<int, int>> stack; // node, index of its parent in nodesOut
    for (auto it = roots.rbegin(); it != roots.rend(); ++it)
        stack.push_back({*it, -1});
    while (!stack.empty()) {
        const auto [index, parentIndex] = stack.back();
        stack.pop_back();
        const QJsonObject object = nodes.at(index).toObject();
        SkeletonSourceNode node;
        node.name = object.value(QStringLiteral("name")).toString();
        node.parent = parentIndex;
        node.local = LocalMatrix(object);
        node.identity = IsIdentity(node.local);
        node.bone = isJoint[index] != 0;
        const int self = static_cast<int>(nodesOut->size());
        nodesOut->push_back(std::move(node));
        for (auto it = children[index].rbegin(); it != children[index].rend(); ++it)
            stack.push_back({*it, self});
    }
    return true;
}

} // namespace kestrel
