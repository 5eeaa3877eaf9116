// Characterization files saved from skeletons imported into Kestrel, read back and compared with
// the scene they were sampled from.
#include "pluginhosttest.h"

#include "scene/transformquery.h"
#include "solver/characterblob.h"
#include "ui/batchdialoganswerer.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstddef>
#include <ostream>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct ImportedRig
{
    const char* skeleton; // in the shared skeleton folder
    const char* script;   // in tests/app: binds the rig's joints by hand
};

// Names the case in test listings (and so in CTest's test names) by its skeleton file.
void PrintTo(const ImportedRig& rig, std::ostream* out)
{
    *out << rig.skeleton;
}

class SavedFile : public PluginHostTest, public ::testing::WithParamInterface<ImportedRig>
{};

} // namespace

// The app tests' scripts bind joints of an imported rig by hand; the file saved then holds one
// record per bound slot, in slot order, at its joint's world position in the scene. Records store
// floats: both rigs lie within 3 units (metres) of the origin, where floats are 2.4e-7 apart, so
// a correctly rounded record is within 1.2e-7 and 1e-6 leaves room; any two joints bound are at
// least 5 cm apart, so a record sampled from another joint or in parent space fails.
TEST_P(SavedFile, RecordsEveryBoundJointAtItsImportedWorldPosition)
{
    const QString folder = SharedSkeletonFolder();
    if (folder.isEmpty())
        GTEST_SKIP() << "../shared/skeletons is absent; the imported rigs are not saved";
    const QString script =
        QString::fromUtf8(ReadBytes(QStringLiteral(CT_APP_TESTS_DIR "/") + GetParam().script));
    QMap<int, QString> bound; // slot -> joint, in slot order
    const QRegularExpression assign(R"re(-nodeid (\d+) -kestrelnodename "([^"]+)")re");
    for (auto it = assign.globalMatch(script); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        bound[m.captured(1).toInt()] = m.captured(2);
    }
    ASSERT_FALSE(bound.isEmpty()) << GetParam().script;

    RunOk(QStringLiteral("openScene \"%1/%2\"").arg(folder, GetParam().skeleton));
    RunOk("createLayout \"kntCharacterizationScrollControl\"");
    RunOk(script);
    QTemporaryDir dir;
    const QString path = dir.filePath("rig.kntc");
    QStringList dialogErrors;
    kestrel::BatchDialogAnswerer answers(
        {path + "::little"}, [](const QString&) {},
        [&dialogErrors](const QString& error) { dialogErrors << error; });
    RunOk("characterizationToolUICmd -e -saveCharacterization");
    EXPECT_EQ(dialogErrors, QStringList());

    const QByteArray bytes = ReadBytes(path);
    const std::size_t record = sizeof(kinetra::NodeRestState);
    ASSERT_EQ(std::size_t(bytes.size()), kinetra::CharacterBlobFixedBytes + record * bound.size());
    const char* data = bytes.constData();
    EXPECT_EQ(qFromLittleEndian<quint32>(data), kinetra::CharacterBlobMagic);
    const char* translate =
        data + kinetra::CharacterBlobHeaderBytes + offsetof(kinetra::NodeRestState, Translate);
    for (const QString& joint : bound) {
        const kestrel::Node* node = Find(joint);
        ASSERT_NE(node, nullptr) << qPrintable(joint);
        const kestrel::Vector3 stored(qFromLittleEndian<float>(translate),
                                      qFromLittleEndian<float>(translate + 4),
                                      qFromLittleEndian<float>(translate + 8));
        EXPECT_TRUE(NearVector(stored, Translation(*node, kestrel::Space::World), 1e-6))
            << qPrintable(joint);
        translate += record;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ImportedRigs, SavedFile,
    ::testing::Values(ImportedRig{"robot_expressive_lr_suffix.glb", "characterize_lr_robot.ks"},
                      ImportedRig{"rigify_metarig_base_mesh.glb", "characterize_dot_lr_rig.ks"}));
