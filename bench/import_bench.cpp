// Speed of opening skeleton files through the importers: each shared glTF, FBX and ASE file,
// and generated binary glTFs with 100,000 joints, distinct or all named alike.
#include "host.h"
#include "io/scenedocument.h"
#include "scene/scene.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

kestrel::HostOptions QuietHost()
{
    kestrel::HostOptions options;
    options.writeToStandardStreams = false;
    return options;
}

// Opens `path` into an empty scene once per iteration. Making the host and tearing the last
// scene down are not timed: a 100,000-node teardown costs more than the import itself.
void OpenFile(benchmark::State& state, const QString& path)
{
    if (!QFileInfo::exists(path)) {
        state.SkipWithError("the shared skeleton folder is absent");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<kestrel::Host>(QuietHost());
        state.ResumeTiming();
        if (host->GetDocument().Open(path) != kestrel::Status::Success) {
            state.SkipWithError("the file did not open");
            return;
        }
        state.PauseTiming();
        host.reset();
        state.ResumeTiming();
    }
}

QString Shared(const char* name)
{
    return QStringLiteral(CT_SHARED_SKELETONS "/") + QLatin1String(name);
}

void SharedSkeleton(benchmark::State& state, const char* name)
{
    OpenFile(state, Shared(name));
}

void AppendWord(QByteArray* data, quint32 word)
{
    const quint32 little = qToLittleEndian(word);
    data->append(reinterpret_cast<const char*>(&little), sizeof little);
}

// How the generated joints are named: "j1", "j2", ...; all "dup"; or not at all.
enum class JointNames
{
    Distinct,
    Same,
    None,
};

// A binary glTF: `chains` chains of `length` joints under one root, all joints of one skin
// on a one-triangle mesh, with identity inverse bind matrices in the binary chunk.
QByteArray HugeGlb(int chains, int length, JointNames names = JointNames::Distinct)
{
    const int count = chains * length + 1;
    QByteArray buffer;
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    buffer.append(reinterpret_cast<const char*>(positions), sizeof positions);
    buffer.append(QByteArray(12, '\0')); // joints: all 0
    for (int v = 0; v < 3; ++v) {
        const float weight[4] = {1, 0, 0, 0};
        buffer.append(reinterpret_cast<const char*>(weight), sizeof weight);
    }
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int j = 0; j < count; ++j)
        buffer.append(reinterpret_cast<const char*>(identity), sizeof identity);

    QByteArray nodes = "{\"name\":\"root\",\"children\":[";
    for (int c = 0; c < chains; ++c)
        nodes += (c ? "," : "") + QByteArray::number(1 + c * length);
    nodes += "]}";
    for (int c = 0; c < chains; ++c) {
        for (int k = 0; k < length; ++k) {
            const int index = 1 + c * length + k;
            nodes += names == JointNames::Distinct
                         ? ",{\"name\":\"j" + QByteArray::number(index) + "\","
                     : names == JointNames::Same ? QByteArray(",{\"name\":\"dup\",")
                                                 : QByteArray(",{");
            nodes += "\"translation\":[0.5,1,0.25]";
            if (k + 1 < length)
                nodes += ",\"children\":[" + QByteArray::number(index + 1) + "]";
            nodes += "}";
        }
    }
    nodes += ",{\"name\":\"body\",\"mesh\":0,\"skin\":0}";
    QByteArray joints;
    for (int j = 0; j < count; ++j)
        joints += (j ? "," : "") + QByteArray::number(j);
    const QByteArray n = QByteArray::number(count);
    QByteArray json =
        "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0," + n +
        "]}],\"nodes\":[" + nodes +
        "],\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"JOINTS_0\":1,"
        "\"WEIGHTS_0\":2}}]}],\"skins\":[{\"joints\":[" +
        joints + "],\"inverseBindMatrices\":3}],\"buffers\":[{\"byteLength\":" +
        QByteArray::number(buffer.size()) +
        "}],\"bufferViews\":[{\"buffer\":0,\"byteOffset\":0,\"byteLength\":36},"
        "{\"buffer\":0,\"byteOffset\":36,\"byteLength\":12},"
        "{\"buffer\":0,\"byteOffset\":48,\"byteLength\":48},"
        "{\"buffer\":0,\"byteOffset\":96,\"byteLength\":" +
        QByteArray::number(64 * count) +
        "}],\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,"
        "\"type\":\"VEC3\",\"min\":[0,0,0],\"max\":[1,1,0]},"
        "{\"bufferView\":1,\"componentType\":5121,\"count\":3,\"type\":\"VEC4\"},"
        "{\"bufferView\":2,\"componentType\":5126,\"count\":3,\"type\":\"VEC4\"},"
        "{\"bufferView\":3,\"componentType\":5126,\"count\":" +
        n + ",\"type\":\"MAT4\"}]}";
    while (json.size() % 4)
        json += ' ';
    // Header (magic "glTF", version 2, total length), then the JSON and BIN chunks.
    QByteArray glb;
    AppendWord(&glb, 0x46546C67);
    AppendWord(&glb, 2);
    AppendWord(&glb, 12 + 8 + json.size() + 8 + buffer.size());
    AppendWord(&glb, json.size());
    AppendWord(&glb, 0x4E4F534A);
    glb += json;
    AppendWord(&glb, buffer.size());
    AppendWord(&glb, 0x004E4942);
    glb += buffer;
    return glb;
}

void HundredThousandJointGltf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.glb"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(HugeGlb(1000, 100)) < 0) {
        state.SkipWithError("cannot write the generated file");
        return;
    }
    file.close();
    OpenFile(state, path);
    state.counters["joints"] = 100001;
}

// One root with 100,000 children that share one name (or have none): each gets the next
// free "_N" suffix, which must not cost a search from "_2" every time.
void HundredThousandSameNamedJoints(benchmark::State& state, JointNames names)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dup.glb"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(HugeGlb(100000, 1, names)) < 0) {
        state.SkipWithError("cannot write the generated file");
        return;
    }
    file.close();
    OpenFile(state, path);
    state.counters["joints"] = 100001;
}

} // namespace

BENCHMARK_CAPTURE(SharedSkeleton, quadrupedGlb, "khronos_fox_quadruped.glb")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SharedSkeleton, oddNamesGlb, "khronos_cesium_man.glb")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SharedSkeleton, metarigGlb, "rigify_metarig_base_mesh.glb")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SharedSkeleton, lrSuffixRobotGlb, "robot_expressive_lr_suffix.glb")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SharedSkeleton, binaryFbx, "generic_bone_names_binary.fbx")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SharedSkeleton, germanBipedAse, "biped_german_names_rom.ase")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(HundredThousandJointGltf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(HundredThousandSameNamedJoints, named, JointNames::Same)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(HundredThousandSameNamedJoints, unnamed, JointNames::None)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
