// Skeleton files through Assimp and rig JSON: the shared skeletons, positions checked against
// the files' own numbers, BVH against a glTF of the same joints, bad files and importFile.
#include "kestreltest.h"

#include "io/scenedocument.h"
#include "scene/transformquery.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <cmath>
#include <random>

using namespace kestrel;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(bytes);
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Quoted(const QString& path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// Z-up file coordinates in the Y-up host.
Vector3 FromZUp(const Vector3& p)
{
    return {p.x, p.z, -p.y};
}

class Import : public HostTest
{
protected:
    QTemporaryDir dir;
};

// Tests of the real skeleton files, skipped when ../shared is absent.
class SharedImport : public Import
{
protected:
    void SetUp() override
    {
        if (folder.isEmpty())
            GTEST_SKIP() << "../shared/skeletons is absent; the real skeleton files are not tested";
    }
    const QString folder = SharedSkeletonFolder();
};

} // namespace

TEST_F(SharedImport, EverySharedSkeletonOpensWithTheJointCountItsSourcesGive)
{
    // Each file's joint count as its source documents it; the BVH files are Bvh's.
    const QMap<QString, int> counts = {
        {"rigify_metarig_base_mesh.glb", 56}, {"khronos_cesium_man.glb", 19},
        {"khronos_fox_quadruped.glb", 24},    {"robot_expressive_lr_suffix.glb", 43},
        {"mannequin_style_rig.json", 66},     {"mixamo_style_rig.json", 52},
        {"biped_german_names_rom.ase", 31},   {"generic_bone_names_binary.fbx", 16},
        {"rocketbox_bip01_face_rig.fbx", 80}, {"kenney_ik_control_joints.fbx", 58},
        {"gdquest_mannequin_dot_lr.glb", 45}, {"godot_robot_hyphen_lr_prefix.glb", 27},
        {"godot_ccdik_robot_arm.glb", 9},
    };
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        const QString path = folder + "/" + it.key();
        ASSERT_EQ(host.GetDocument().Open(path), Status::Success)
            << qPrintable(it.key() + ": " + Errors().join('\n'));
        EXPECT_EQ(RunOk("ls -type joint").split(' ').size(), it.value()) << qPrintable(it.key());
    }
}

// Each probe's position as its file gives it: a .glb node's world position composed from the
// TRS of its node chain, an ASE node's TM_POS, a rig bone's head default_position; the last two
// in the files' Z-up coordinates.
TEST_F(SharedImport, WorldPositionsFollowTheFilesOwnNumbers)
{
    const struct
    {
        const char* file;
        const char* joint;
        double x, y, z, tolerance;
    } probes[] = {
        {"khronos_fox_quadruped.glb", "b_LeftHand_011", 6.94305214, 6.694590846, 17.83883914, 1e-3},
        {"khronos_cesium_man.glb", "leg_joint_R_5", -0.07456934733, 0.0212348475, 0.02692012084,
         1e-5},
        {"rigify_metarig_base_mesh.glb", "hand_L", 0.0308, 0.1161, -0.5094, 1e-5},
        {"rigify_metarig_base_mesh.glb", "upper_arm_L", -0.0267, 0.5846, -0.1953, 1e-5},
        {"robot_expressive_lr_suffix.glb", "Middle2L", 2.545720264, 1.562490596, -0.6137088546,
         1e-5},
        {"biped_german_names_rom.ase", "Bip01_R_Zeh0", -8.8237, 16.8273, 1.5739, 1e-3},
        {"mixamo_style_rig.json", "mixamorig:LeftHand", 0.65844, 0.01486, 1.39337, 1e-9},
        {"mannequin_style_rig.json", "index_metacarpal_r", -0.4810870885848999,
         -0.27767249941825867, 0.15672460198402405, 1e-9},
        {"biped_german_names_rom.ase", "Bip01_L_Hand", 27.5384, 23.1356, 55.5503, 1e-3},
    };
    for (const auto& p : probes) {
        ASSERT_EQ(host.GetDocument().Open(folder + "/" + p.file), Status::Success) << p.file;
        const Vector3 file(p.x, p.y, p.z);
        const Vector3 expected = QString(p.file).endsWith(".glb") ? file : FromZUp(file);
        EXPECT_TRUE(NearVector(World(p.joint), expected, p.tolerance)) << p.file << " " << p.joint;
    }
    EXPECT_EQ(RunOk("getAttr Bip01_L_Hand.originalName"), "Bip01 L Hand");
    // The override takes the file's coordinates as they are.
    RunOk("openScene -upAxis y " + Quoted(folder + "/biped_german_names_rom.ase"));
    EXPECT_TRUE(NearVector(World("Bip01_L_Hand"), {27.5384, 23.1356, 55.5503}, 1e-3));
}

// The CMU BVH and a glTF of the same joints (tests/kestrel/data, written from the BVH's own
// offsets, each joint a bone of one skin).
TEST_F(SharedImport, ABvhAndAGltfOfTheSameJointsGiveTheSameWorldPositions)
{
    RunOk("openScene " + Quoted(folder + "/cmu_mocap_subject01_jumps.bvh"));
    const QStringList names = Run("ls -type joint").result.ToStringArray();
    ASSERT_EQ(names.size(), 31);
    QMap<QString, Vector3> expected;
    for (const QString& name : names)
        expected[name] = World(name);
    RunOk("openScene " + Quoted(TestData("cmu_subject01_rest_joints.gltf")));
    EXPECT_EQ(Run("ls -type joint").result.ToStringArray(), names);
    for (const QString& name : names)
        EXPECT_TRUE(NearVector(World(name), expected[name], 1e-4)) << qPrintable(name);
}

TEST_F(Import, HandWrittenFbxAndColladaChainsLandWhereTheirTransformsPutThem)
{
    // tests/kestrel/data/chain.fbx, Y-up. Arm: PreRotation 90 about z, Lcl Rotation 30 about y,
    // both xyz Euler degrees. Only Hips is skinned; Arm and Hand are skeleton nodes below it.
    // Hand sits at Hips + (2, 0, 0) + Rz(90) Ry(30) (3, 0, 0) = (2, 10 + 3 cos 30, -3 sin 30).
    // chain.dae, Z-up: file (x, y, z) is host (x, z, -y). Spine turns 90 about x, so Head's
    // (0, 0, 0.25) becomes (0, -0.25, 0): file (0, -0.25, 1.5), host (0, 1.5, 0.25). Each
    // vertex weighs on one joint, as Assimp drops unweighted Collada bones. The same rig
    // exported with a camera, a prop and a helper under the spine: none of them is a bone, so
    // none of them becomes a joint.
    const double cos30 = std::sqrt(3.0) / 2.0;
    struct Case
    {
        const char* file;
        const char* joints;
        std::vector<std::pair<const char*, Vector3>> world;
    };
    const Case cases[] = {
        {"chain.dae",
         "Hips Spine Head",
         {{"Hips", {0, 1, 0}}, {"Spine", {0, 1.5, 0}}, {"Head", {0, 1.5, 0.25}}}},
        {"chain_with_camera_prop_helper.dae", "Hips Spine Head", {{"Head", {0, 1.5, 0.25}}}},
        {"chain.fbx",
         "Hips Arm Hand",
         {{"Hips", {0, 10, 0}}, {"Arm", {2, 10, 0}}, {"Hand", {2, 10 + 3 * cos30, -1.5}}}},
    };
    for (const Case& c : cases) {
        RunOk("openScene " + Quoted(TestData(c.file)));
        // Every node is a joint: no transform stands for the file's own root or axis turn.
        EXPECT_EQ(RunOk("ls"), c.joints) << c.file;
        for (const auto& [joint, expected] : c.world)
            EXPECT_TRUE(NearVector(World(joint), expected, 1e-5)) << c.file << " " << joint;
    }
    // The FBX pre-rotation is the arm's joint orient, its local rotation the arm's rotation.
    const Node* arm = Find("Arm");
    ASSERT_NE(arm, nullptr);
    EXPECT_TRUE(SameRotation(arm->Transform().JointOrientQuaternion(),
                             Quaternion::AboutAxis(2, M_PI / 2.0), 1e-6));
    EXPECT_TRUE(
        SameRotation(Rotation(*arm, Space::Object), Quaternion::AboutAxis(1, M_PI / 6.0), 1e-6));
}

// Every reader answers a broken file, a glTF whose node structure is broken, or a number that
// is not finite or too large to place a joint with one line naming the file and the fault (the
// node and channel for numbers, never a missing skin for structure), and the open scene stays.
TEST_F(Import, BadFilesGiveOneErrorAndLeaveTheSceneAlone)
{
    QByteArray noise(4096, '\0');
    std::mt19937 random(7);
    for (char& byte : noise)
        byte = static_cast<char>(random());
    QByteArray truncatedGlb("glTF\x02\x00\x00\x00\x00\x10\x00\x00", 12);
    truncatedGlb += QByteArray("\x40\x00\x00\x00JSON{\"asset\":", 18);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.fbx"));
    const QByteArray ase = "*3DSMAX_ASCIIEXPORT 200\n*HELPEROBJECT {\n*NODE_NAME \"Root\"\n"
                           "*HELPER_CLASS \"Dummy\"\n*NODE_TM {\n*NODE_NAME \"Root\"\n"
                           "*TM_ROW0 1 0 0\n*TM_ROW1 0 1 0\n*TM_ROW2 0 0 1\n*TM_ROW3 nan 0 0\n"
                           "*TM_POS nan 0 0\n}\n}\n";
    const QByteArray skin = R"(, "skins": [{"joints": [0]}]})";
    struct Case
    {
        const char* file;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"truncated.glb", truncatedGlb, "the binary glTF file is truncated."},
        {"wrong_magic.glb", "glTX" + truncatedGlb.mid(4), "not a binary glTF file"},
        {"skeletonless.gltf", R"({"asset": {"version": "2.0"}, "nodes": [{"name": "lonely"}]})",
         "the file has no skeleton: no skin names any bone."},
        // Assimp gives mesh-less Collada files a mesh whose bones are every node.
        {"no_skeleton_empty.dae", {}, "the file has no skeleton: no skin names any bone."},
        {"no_skeleton_camera.dae", {}, "the file has no skeleton: no skin names any bone."},
        {"folder.fbx", {}, "is a folder, not a scene file."},
        {"missing.bvh", {}, "Cannot open"},
        {"missing.fbx", {}, "Cannot open"},
        {"scene.abc123", {}, "unknown scene file format (use .json, .bvh"},
        {"noise.fbx", noise, "not a readable skeleton file"},
        {"broken.bvh", "HIERARCHY\nROOT A\n{\nOFFSET 0 0\n",
         "unexpected end of the hierarchy, expected an OFFSET number."},
        {"orphan.json",
         R"({"a": {"parent": "ghost", "head": {"default_position": [0, 0, 0]},
                   "tail": {"default_position": [0, 0, 1]}}})",
         "bone \"a\": unknown parent \"ghost\"."},
        {"text_position.json",
         R"({"a": {"head": {"default_position": [0, "up", 0]},
                   "tail": {"default_position": [0, 0, 1]}}})",
         "bone \"a\": head and tail need a default_position of three numbers."},
        {"self_connection.json",
         R"({"kestrelScene": 1, "nodes": [{"name": "A", "type": "joint", "attributes":
             [{"name": "m", "type": "message"}]}], "connections": [{"from": "A.m", "to": "A.m"}]})",
         "A.m -> A.m"},
        {"late_parent.json",
         R"({"kestrelScene": 1, "nodes": [{"name": "A", "type": "joint", "parent": "Nope"}]})",
         "The parent \"Nope\" of \"A\" is not declared before it."},
        {"angle.json",
         R"({"kestrelScene": 1, "nodes": [{"name": "A", "type": "joint", "rotate": [1e300, 0, 0]}]})",
         "Node \"A\": \"rotate\" holds a number beyond +-1e+12."},
        {"attribute.json",
         R"({"kestrelScene": 1, "nodes": [{"name": "C", "type": "character", "attributes":
             [{"name": "pose", "type": "double", "value": -1e300}]}]})",
         "Node \"C\": \"pose\" holds a number beyond +-1e+12."},
        {"scale_out_of_range.gltf", {}, "Node \"Hips\": \"scale\" holds"},
        // Each scale of the chain is allowed; their product is beyond single precision.
        {"scales_multiply_out_of_range.gltf", {}, "Node \"J3\": its world transform is out"},
        {"rig.json",
         R"({"a": {"head": {"default_position": [0, 0, 1e308]},
                   "tail": {"default_position": [0, 0, 1]}}})",
         "Node \"a\": \"translate\" holds"},
        {"nan.ase", ase, "Node \"Root\": \"translate\" holds NaN."},
        {"offset.bvh", "HIERARCHY\nROOT A\n{\nOFFSET 0 1e300 0\nCHANNELS 0\n}\n",
         "Node \"A\": \"translate\" holds a number beyond +-1e+12."},
        {"cycle.gltf",
         R"({"nodes": [{"name": "A", "children": [1]}, {"name": "B", "children": [0]}])" + skin,
         "node 0 (\"A\") is its own ancestor"},
        {"scene.gltf",
         R"({"scene": 5, "scenes": [{"nodes": [0]}], "nodes": [{"name": "A"}])" + skin,
         "\"scene\" is 5"},
        {"outside.gltf", R"({"scenes": [{"nodes": [0]}], "nodes": [{"name": "A"}, {"name": "B"}],
            "skins": [{"joints": [1]}]})",
         "node 1 (\"B\")"},
        {"fraction.gltf", R"({"nodes": [{"name": "A"}], "skins": [{"joints": [0.5]}]})",
         "joint 0.5"},
        {"text.gltf", R"({"nodes": [{"name": "A"}], "skins": [{"joints": ["0"]}]})", "joint \"0\""},
        {"array.gltf", R"([{"nodes": []}])", "not glTF JSON"},
        {"twice.gltf", R"({"scenes": [{"nodes": [0, 0]}], "nodes": [{"name": "A"}])" + skin,
         "node 0 (\"A\") twice"},
        {"root.gltf", R"({"scenes": [{"nodes": [7]}], "nodes": [{"name": "A"}])" + skin,
         "the root 7"},
        {"parents.gltf",
         R"({"nodes": [{"name": "A", "children": [1]}, {"name": "B"}, {"children": [1]}])" + skin,
         "node 1 (\"B\") has two parents"},
    };
    RunOk("createNode joint -n Kept");
    for (const Case& c : cases) {
        const QString data = TestData(c.file);
        const QString path = QFile::exists(data) ? data : dir.filePath(c.file);
        if (!c.bytes.isNull())
            WriteFile(path, c.bytes);
        for (const QString command : {"openScene ", "importFile "}) {
            const int before = Errors().size();
            const QString error = RunFails(command + Quoted(path));
            EXPECT_EQ(Errors().size(), before + 1) << c.file;
            EXPECT_TRUE(error.contains(path) && error.contains(c.reason))
                << c.file << " -> " << qPrintable(error);
            EXPECT_EQ(RunOk("ls"), "Kept") << c.file;
        }
    }
}

TEST_F(Import, ImportFileAddsUnderANamespaceOrGroupAndIsUndoable)
{
    // A Z-up rig: a hip bone pointing up, an arm bone along +x rolled a quarter turn.
    const QString rig = dir.filePath("tiny.json");
    WriteFile(rig, R"({"bones": {
        "upper_arm.L": {"parent": "hips", "roll": 1.5707963267948966,
                        "head": {"default_position": [0, 0, 2]},
                        "tail": {"default_position": [1, 0, 2]}},
        "hips": {"parent": "", "head": {"default_position": [0, 0, 1]},
                 "tail": {"default_position": [0, 0, 2]}}}})");
    RunOk("createNode joint -n Kept");
    EXPECT_EQ(RunOk("importFile -namespace A " + Quoted(rig)), "A:hips");
    EXPECT_EQ(Find("A:upper_arm_L")->ParentName(), "A:hips");
    EXPECT_EQ(RunOk("getAttr A:upper_arm_L.originalName"), "upper_arm.L");
    EXPECT_TRUE(NearVector(World("A:upper_arm_L"), {0, 2, 0}));
    // An upright bone is unrotated in the Y-up host; the arm's +Y runs along host +x and its
    // +Z, turned by the roll about the bone, ends on host +z.
    EXPECT_TRUE(SameRotation(WorldOrientation(*Find("A:hips")), Quaternion()));
    const Quaternion arm = WorldOrientation(*Find("A:upper_arm_L"));
    EXPECT_TRUE(NearVector(arm.Rotate({0, 1, 0}), {1, 0, 0}));
    EXPECT_TRUE(NearVector(arm.Rotate({0, 0, 1}), {0, 0, 1}));

    const QString again = RunFails("importFile -namespace A " + Quoted(rig));
    EXPECT_TRUE(again.contains("A:hips")) << qPrintable(again);
    EXPECT_EQ(RunOk("ls"), "Kept A:hips A:upper_arm_L");

    EXPECT_EQ(RunOk("importFile -group Rig -ns B " + Quoted(rig)), "Rig");
    EXPECT_EQ(Find("B:hips")->ParentName(), "Rig");
    RunOk("undo");
    EXPECT_EQ(RunOk("ls"), "Kept A:hips A:upper_arm_L");
    // Without a namespace flag the file's base name is the namespace.
    EXPECT_EQ(RunOk("importFile " + Quoted(rig)), "tiny:hips");
}

// Only an attribute feeding itself is refused: one node may feed another of its attributes and
// like-named attributes of two nodes may be connected.
TEST_F(Import, ConnectionsWithinANodeOrBetweenLikeNamedAttributesAreKept)
{
    RunOk("openScene " + Quoted(TestData("connections.json")));
    EXPECT_EQ(RunOk("listConnections -destination A.m"), "A.n B.m");
}

// Repeated and missing names get the next free suffix, skipping one the file itself used;
// names that only differ where they were made legal stay apart and keep the file's name.
TEST_F(Import, RepeatedNamesGetTheNextFreeSuffix)
{
    // Joints named "dup", "dup", "dup_2", "dup", "", "", "a.b" and "a_b".
    RunOk("openScene " + Quoted(TestData("repeated_names.gltf")));
    EXPECT_EQ(RunOk("ls -type \"joint\""), "dup dup_2 dup_2_2 dup_3 joint joint_2 a_b a_b_2");
    EXPECT_EQ(RunOk("getAttr a_b.originalName"), "a.b");
    EXPECT_EQ(RunOk("getAttr a_b_2.originalName"), "a_b");
}

// A node above the skeleton whose pivot helpers move it is kept as a plain transform under
// its own name, its transform no longer folded into the pelvis.
TEST_F(SharedImport, FbxNodeAboveTheSkeletonIsKeptAsATransform)
{
    RunOk("openScene " + Quoted(folder + "/rocketbox_bip01_face_rig.fbx"));
    const Node* bip01 = Find("Bip01");
    ASSERT_NE(bip01, nullptr);
    EXPECT_EQ(NodeTypeName(bip01->Type()), "transform");
    EXPECT_FALSE(bip01->Transform().LocalMatrix(false).IsIdentity());
    EXPECT_EQ(Find("Bip01_Pelvis")->ParentName(), "Bip01");
    // The pelvis stays where the file puts it: about a metre up in a Y-up, centimetre scene.
    EXPECT_NEAR(World("Bip01_Pelvis").y, 100, 20);
}

// One flipped byte in a real FBX file trips an assertion inside Assimp that aborts its
// process: the host refuses the file and keeps its scene.
TEST_F(SharedImport, AFileThatAbortsTheReaderIsRefusedAndTheHostGoesOn)
{
    QByteArray bytes = ReadBytes(folder + "/kenney_ik_control_joints.fbx");
    ASSERT_GT(bytes.size(), 137541);
    bytes[137541] = 2; // was 0
    const QString path = dir.filePath("broken.fbx");
    WriteFile(path, bytes);
    RunOk("createNode joint -n Kept");
    const QString error = RunFails("openScene " + Quoted(path));
    EXPECT_TRUE(error.contains(path) && error.contains("not a readable skeleton file"));
    EXPECT_EQ(RunOk("ls"), "Kept");
}
