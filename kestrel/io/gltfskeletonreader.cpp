#include "io/gltfskeletonreader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <cmath>
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

// The value as the file wrote it, for messages: 0.5, "0", null.
QString JsonText(const QJsonValue& value)
{
    if (value.isString())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.isDouble())
        return QString::number(value.toDouble());
    if (value.isArray() || value.isObject())
        return value.isArray() ? QStringLiteral("an array") : QStringLiteral("an object");
    return value.isBool() ? (value.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                          : QStringLiteral("null");
}

// A node index: a whole JSON number from 0 to count - 1. toInt() would read 0.5 and "0"
// alike as its fallback.
bool ReadNodeIndex(const QJsonValue& value, int count, int* index)
{
    const double number = value.toDouble(-1.0);
    if (!value.isDouble() || number != std::floor(number) || number < 0 || number >= count)
        return false;
    *index = static_cast<int>(number);
    return true;
}

// A node's name for messages: its index and, when it has one, its name.
QString NodeLabel(const QJsonArray& nodes, int index)
{
    const QString name = nodes.at(index).toObject().value(QStringLiteral("name")).toString();
    return name.isEmpty() ? QStringLiteral("node %1").arg(index)
                          : QStringLiteral("node %1 (\"%2\")").arg(index).arg(name);
}

// The first node that is its own ancestor, or -1. Every node has at most one parent, so each
// walk up either reaches a root, a node already known to reach one, or comes back to itself.
int FindCycle(const std::vector<int>& parent)
{
    enum : char
    {
        Unknown,
        Walking,
        Rooted
    };
    std::vector<char> state(parent.size(), Unknown);
    for (std::size_t start = 0; start < parent.size(); ++start) {
        int node = static_cast<int>(start);
        while (node >= 0 && state[node] == Unknown) {
            state[node] = Walking;
            node = parent[node];
        }
        if (node >= 0 && state[node] == Walking)
            return node;
        for (node = static_cast<int>(start); node >= 0 && state[node] == Walking;
             node = parent[node])
            state[node] = Rooted;
    }
    return -1;
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
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("not glTF JSON (%1 at byte %2).")
                     .arg(parseError.errorString())
                     .arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        *error = QStringLiteral("not glTF JSON (the top level is an array, not an object).");
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
            int child = -1;
            if (!ReadNodeIndex(value, count, &child)) {
                *error = QStringLiteral("%1 lists the child %2, which is not a node index.")
                             .arg(NodeLabel(nodes, i), JsonText(value));
                return false;
            }
            if (child == i || parent[child] >= 0) {
                *error =
                    child == i
                        ? QStringLiteral("%1 lists itself as its child.").arg(NodeLabel(nodes, i))
                        : QStringLiteral("%1 has two parents, %2 and %3.")
                              .arg(NodeLabel(nodes, child))
                              .arg(parent[child])
                              .arg(i);
                return false;
            }
            parent[child] = i;
            children[i].push_back(child);
        }
    }
    const int cycle = FindCycle(parent);
    if (cycle >= 0) {
        *error = QStringLiteral("%1 is its own ancestor: the children lists form a cycle.")
                     .arg(NodeLabel(nodes, cycle));
        return false;
    }
    std::vector<int> roots;
    const QJsonArray scenes = gltf.value(QStringLiteral("scenes")).toArray();
    if (!scenes.isEmpty()) {
        const QJsonValue sceneValue = gltf.value(QStringLiteral("scene"));
        int scene = 0;
        if (!sceneValue.isUndefined() && !ReadNodeIndex(sceneValue, scenes.size(), &scene)) {
            *error = QStringLiteral("\"scene\" is %1, but the file has %2 scene(s), numbered "
                                    "from 0.")
                         .arg(JsonText(sceneValue))
                         .arg(scenes.size());
            return false;
        }
        std::vector<char> listed(count, 0);
        for (const QJsonValue value :
             scenes.at(scene).toObject().value(QStringLiteral("nodes")).toArray()) {
            int node = -1;
            if (!ReadNodeIndex(value, count, &node)) {
                *error = QStringLiteral("scene %1 lists the root %2, which is not a node index.")
                             .arg(scene)
                             .arg(JsonText(value));
                return false;
            }
            if (parent[node] >= 0 || listed[node]) {
                *error = listed[node]
                             ? QStringLiteral("scene %1 lists %2 twice.")
                                   .arg(scene)
                                   .arg(NodeLabel(nodes, node))
                             : QStringLiteral("scene %1 lists %2 as a root, but it is a child of "
                                              "node %3.")
                                   .arg(scene)
                                   .arg(NodeLabel(nodes, node))
                                   .arg(parent[node]);
                return false;
            }
            listed[node] = 1;
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
            int joint = -1;
            if (!ReadNodeIndex(value, count, &joint)) {
                *error = QStringLiteral("a skin names the joint %1, which is not a node index.")
                             .arg(JsonText(value));
                return false;
            }
            isJoint[joint] = 1;
        }
    }

    // Pre-order from the roots, iteratively; there is no cycle (checked above).
    std::vector<char> reached(count, 0);
    nodesOut->clear();
    nodesOut->reserve(count);
    std::vector<std::pair<int, int>> stack; // node, index of its parent in nodesOut
    for (auto it = roots.rbegin(); it != roots.rend(); ++it)
        stack.push_back({*it, -1});
    while (!stack.empty()) {
        const auto [index, parentIndex] = stack.back();
        stack.pop_back();
        reached[index] = 1;
        const QJsonObject object = nodes.at(index).toObject();
        SkeletonSourceNode node;
        node.name = object.value(QStringLiteral("name")).toString();
        node.parent = parentIndex;
        node.local = LocalMatrix(object);
        node.identity = node.local.IsIdentity();
        node.bone = isJoint[index] != 0;
        const int self = static_cast<int>(nodesOut->size());
        nodesOut->push_back(std::move(node));
        for (auto it = children[index].rbegin(); it != children[index].rend(); ++it)
            stack.push_back({*it, self});
    }
    for (int i = 0; i < count; ++i) {
        if (isJoint[i] && !reached[i]) {
            *error = QStringLiteral("a skin names %1 as a joint, but it is not in the scene.")
                         .arg(NodeLabel(nodes, i));
            return false;
        }
    }
    return true;
}

} // namespace kestrel
