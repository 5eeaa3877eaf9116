#include "sharedrigs.h"

#include "sceneskeleton.h"

#include "scene/nodename.h"
#include "solver/nodenames.h"

#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace {

// The digit's k-th joint suffix: k itself, except in the "Finger0, Finger01, Finger02" style
// (a pattern ending "%2%3" whose digits start at 0), where the first joint has none.
QString DigitIndex(const QString& pattern, int k)
{
    if (pattern.endsWith(QLatin1String("Finger%2%3")))
        return k == 1 ? QString() : QString::number(k - 1);
    return QString::number(k);
}

// One shared biped and its truth.
struct Biped
{
    const char* file;
    Truth truth;
};

std::vector<Biped> Bipeds()
{
    const char* fingers = "Thumb=Thumb Index=Index Middle=Middle Ring=Ring Pinky=Pinky";
    const QString limbs = "LeftUpLeg,LeftLeg,LeftFoot,LeftToeBase,LeftShoulder,LeftArm,LeftForeArm,"
                          "LeftHand";
    const Truth prefixedClip =
        Sided(Pairs("mixamorig:", "Hips,Spine,Spine1,Spine2,Neck,Head"),
              Pairs("mixamorig:", limbs) + Digits("Hand", fingers, "mixamorig:%1Hand%2%3", 3),
              "Left", "Right");
    return {
        {"cmu_mocap_subject01_jumps.bvh",
         Sided(Pairs("", "Hips,Spine=LowerBack,Spine1=Spine,Spine2=Spine1,Neck,Neck1,Head"),
               Pairs("", limbs + ",LeftFingerBase"), "Left", "Right") +
             Pairs("", "LeftHandThumb1=LThumb,RightHandThumb1=RThumb")},
        {"mixamo_prefixed_clip.bvh", prefixedClip},
        {"mixamo_style_rig.json", prefixedClip},
        // The arms hang down at rest, there are no toes, and upper arms are named shoulders.
        {"biovision_style_arms_down.bvh",
         Sided(Pairs("", "Hips,Spine=Chest,Spine1=Chest2,Neck,Head"),
               Pairs("", "LeftUpLeg=%1Hip,LeftLeg=%1Knee,LeftFoot=%1Ankle,LeftShoulder=%1Collar,"
                         "LeftArm=%1Shoulder,LeftForeArm=%1Elbow,LeftHand=%1Wrist"),
               "Left", "Right")},
        // Z-up, A-pose, split limb segments, metacarpals and metatarsals.
        {"makehuman_default_rig_apose_rest.bvh",
         Sided(Pairs("", "Hips=root,Spine=spine05,Spine1=spine04,Spine2=spine03,Spine3=spine02,"
                         "Spine4=spine01,Neck=neck01,Neck1=neck02,Neck2=neck03,Head=head"),
               Pairs("", "LeftUpLeg=upperleg01.%1,LeftUpLegRoll=upperleg02.%1,"
                         "LeftLeg=lowerleg01.%1,LeftLegRoll=lowerleg02.%1,LeftFoot=foot.%1,"
                         "LeftShoulder=clavicle.%1,LeftShoulderExtra=shoulder01.%1,"
                         "LeftArm=upperarm01.%1,LeftArmRoll=upperarm02.%1,"
                         "LeftForeArm=lowerarm01.%1,LeftForeArmRoll=lowerarm02.%1,"
                         "LeftHand=wrist.%1,LeftInHandIndex=metacarpal1.%1,"
                         "LeftInHandMiddle=metacarpal2.%1,LeftInHandRing=metacarpal3.%1,"
                         "LeftInHandPinky=metacarpal4.%1") +
                   Digits("Hand", "Thumb=1 Index=2 Middle=3 Ring=4 Pinky=5", "finger%2-%3.%1", 3) +
                   Digits("Foot", "Thumb=1", "toe%2-%3.%1", 2, "metatarsal%2.%1") +
                   Digits("Foot", "Index=2 Middle=3 Ring=4 Pinky=5", "toe%2-%3.%1", 3,
                          "metatarsal%2.%1"),
               "L", "R")},
        // Helper joints sit beside every limb; the right arm's helpers lie far off it.
        {"namespaced_joints_walk.bvh",
         Sided(Pairs("Character1_", "Hips,Spine,Spine1,Neck,Head"), Pairs("Character1_", limbs),
               "Left", "Right") +
             Sided(
                 {},
                 Pairs("", "LeafLeftUpLegRoll1=%1_Femur_RIGMESH,LeafLeftLegRoll1=%1_Tibia_RIGMESH"),
                 "L", "R") +
             Pairs("", "LeafLeftArmRoll1=L_Humerus_RIGMESH,LeafLeftForeArmRoll1=L_Radius_RIGMESH")},
        // Faces +x in an A-pose; the thighs hang from the lowest spine joint.
        {"rigify_metarig_base_mesh.glb",
         Sided(Pairs("", "Hips=spine,Spine=spine.001,Spine1=spine.002,Spine2=spine.003,"
                         "Neck=spine.004,Head=spine.005"),
               Pairs("", "LeftUpLeg=thigh.%1,LeftLeg=shin.%1,LeftFoot=foot.%1,LeftToeBase=toe.%1,"
                         "LeftShoulder=shoulder.%1,LeftArm=upper_arm.%1,LeftForeArm=forearm.%1,"
                         "LeftHand=hand.%1") +
                   Digits("Hand",
                          "Thumb=thumb Index=f_index Middle=f_middle Ring=f_ring Pinky=f_pinky",
                          "%2.0%3.%1", 3),
               "L", "R")},
        // An A-pose with a steep foot: the toe joint lies almost straight below the ankle.
        {"khronos_cesium_man.glb",
         Sided(Pairs("",
                     "Hips=Skeleton_torso_joint_1,Spine=Skeleton_torso_joint_2,"
                     "Spine1=torso_joint_3,Neck=Skeleton_neck_joint_1,Head=Skeleton_neck_joint_2"),
               Pairs("", "LeftUpLeg=leg_joint_%1_1,LeftLeg=leg_joint_%1_2,LeftFoot=leg_joint_%1_3,"
                         "LeftToeBase=leg_joint_%1_5"),
               "L", "R") +
             Pairs("Skeleton_arm_joint_", "LeftArm=L__4_,LeftForeArm=L__3_,LeftHand=L__2_,"
                                          "RightArm=R,RightForeArm=R__2_,RightHand=R__3_")},
        // Z-up metres; every metacarpal's head lies at one point beside the right hand.
        {"mannequin_style_rig.json",
         Sided(Pairs("", "Hips=pelvis,Spine=spine_01,Spine1=spine_02,Spine2=spine_03,"
                         "Spine3=spine_04,Spine4=spine_05,Neck=neck_01,Neck1=neck_02,Head=head"),
               Pairs("", "LeftUpLeg=thigh_%1,LeftLeg=calf_%1,LeftFoot=foot_%1,LeftToeBase=ball_%1,"
                         "LeftShoulder=clavicle_%1,LeftArm=upperarm_%1,LeftForeArm=lowerarm_%1,"
                         "LeftHand=hand_%1") +
                   Digits("Hand", "Thumb=thumb", "%2_0%3_%1", 3) +
                   Digits("Hand", "Index=index Middle=middle Ring=ring Pinky=pinky", "%2_0%3_%1", 3,
                          "%2_metacarpal_%1"),
               "l", "r")},
        // Long arms and short legs whose feet hang from the root bone; the palm bones start
        // together at the wrist. The joint named Hips carries only the upper body: the legs
        // hang from Body.
        {"robot_expressive_lr_suffix.glb",
         Sided(Pairs("", "Hips=Body,Spine=Hips,Spine1=Abdomen,Spine2=Torso_1,Neck,Head"),
               Pairs("", "LeftUpLeg=UpperLeg%1,LeftLeg=LowerLeg%1,LeftFoot=Foot%1,"
                         "LeftShoulder=Shoulder%1,LeftArm=UpperArm%1,LeftForeArm=LowerArm%1,"
                         "LeftHand=Palm2%1,LeftHandThumb1=Thumb%1,LeftHandThumb2=Thumb2%1,"
                         "LeftInHandIndex=Palm1%1,LeftHandIndex1=Index%1,LeftHandIndex2=Index2%1,"
                         "LeftHandMiddle1=Middle1%1,LeftHandMiddle2=Middle2%1,"
                         "LeftInHandRing=Palm3%1,LeftHandRing1=Ring1%1,LeftHandRing2=Ring2%1"),
               "L", "R")},
        // Z-up; the thighs hang from the first spine joint above the pelvis, the collars from
        // the neck, and the head ends in a helper at its top. One digit per hand and foot.
        {"biped_german_names_rom.ase",
         Sided(Pairs("Bip01 ", "Hips=Becken,Spine=Wirbels_ule,Spine1=Wirbels_ule1,"
                               "Spine2=Wirbels_ule2,Neck=Hals,Head=Kopf"),
               Pairs("Bip01 %1 ", "LeftUpLeg=Oberschenkel,LeftLeg=Unterschenkel,LeftFoot=Fu_,"
                                  "LeftToeBase=Zeh0,LeftShoulder=Schl_sselbein,LeftArm=Oberarm,"
                                  "LeftForeArm=Unterarm,LeftHand=Hand,LeftFingerBase=Finger0"),
               "L", "R")},
        // A-pose; the thighs hang from the first spine joint, the collars from the neck, and
        // a 28-joint face rig hangs from the head. The thumb is Finger0.
        {"rocketbox_bip01_face_rig.fbx",
         Sided(Pairs("Bip01 ", "Hips=Pelvis,Spine,Spine1,Spine2,Neck,Head"),
               Pairs("Bip01 %1 ", "LeftUpLeg=Thigh,LeftLeg=Calf,LeftFoot=Foot,LeftToeBase=Toe0,"
                                  "LeftShoulder=Clavicle,LeftArm=UpperArm,LeftForeArm=Forearm,"
                                  "LeftHand=Hand") +
                   Digits("Hand", "Thumb=0 Index=1 Middle=2 Ring=3 Pinky=4", "Bip01 %1 Finger%2%3",
                          3),
               "L", "R")},
        // Control joints sit on real ones, the hips point down from a control above them, and
        // the head is short beside a long end leaf.
        {"kenney_ik_control_joints.fbx",
         Sided(Pairs("", "Hips,Spine,Spine1=Chest,Spine2=UpperChest,Neck,Head"),
               Pairs("", limbs.left(limbs.indexOf("LeftToeBase")) + "LeftToeBase=%1Toes," +
                             limbs.mid(limbs.indexOf("LeftShoulder"))) +
                   Digits("Hand", "Thumb=Thumb", "%1Hand%2%3", 2) +
                   Digits("Hand", "Index=Index", "%1Hand%2%3", 3),
               "Left", "Right")},
        // Metres inside a turned armature; no little finger.
        {"gdquest_mannequin_dot_lr.glb",
         Sided(
             Pairs("", "Hips=pelvis,Spine=spine_01,Spine1=spine_02,Neck=neck_01,Head=head"),
             Pairs("", "LeftUpLeg=thigh.%1,LeftLeg=calf.%1,LeftFoot=foot.%1,LeftToeBase=ball.%1,"
                       "LeftShoulder=clavicle.%1,LeftArm=upperarm.%1,LeftForeArm=lowerarm.%1,"
                       "LeftHand=hand.%1") +
                 Digits("Hand", "Thumb=thumb Index=index Middle=middle Ring=ring", "%2_0%3.%1", 3),
             "l", "r")},
        // No hands: the arms end at the elbow's child. The knees bend towards +Z, so the "r-"
        // joints at +X are the body's left; the labels are the viewer's.
        {"godot_robot_hyphen_lr_prefix.glb",
         Sided(Pairs("", "Hips=hip,Spine=waist,Spine1=chest,Neck=neck,Head=head"),
               Pairs("", "LeftUpLeg=%1-thigh,LeftLeg=%1-leg,LeftFoot=%1-foot,LeftArm=%1-arm,"
                         "LeftForeArm=%1-forearm"),
               "r", "l")},
    };
}

} // namespace

Truth Sided(const Truth& centre, const Truth& sided, const QString& left, const QString& right)
{
    Truth all = centre;
    for (const auto& [slot, joint] : sided) {
        all.push_back({slot, joint.arg(left)});
        all.push_back({QByteArray(slot).replace("Left", "Right"), joint.arg(right)});
    }
    return all;
}

Truth Digits(const char* part, const char* digits, const QString& joint, int count,
             const QString& base)
{
    Truth truth;
    const QStringList words = QString::fromLatin1(digits).split(' ');
    for (int d = 0; d < words.size(); ++d) {
        const QStringList word = words[d].split('=');
        const QByteArray slot = QByteArray("Left") + part + word[0].toLatin1();
        if (!base.isEmpty())
            truth.push_back({QByteArray("LeftIn") + part + word[0].toLatin1(),
                             QString(base).replace("%2", word[1])});
        for (int k = 1; k <= count; ++k)
            truth.push_back(
                {slot + QByteArray::number(k),
                 QString(joint).replace("%2", word[1]).replace("%3", DigitIndex(joint, k))});
    }
    return truth;
}

Truth operator+(Truth a, const Truth& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Truth Pairs(const QString& prefix, const QString& text)
{
    Truth truth;
    for (const QString& pair : text.split(',')) {
        const QStringList parts = pair.split('=');
        const QString joint = parts.size() > 1 ? parts[1] : QString(parts[0]).replace("Left", "%1");
        truth.push_back({parts[0].toLatin1(), prefix + joint});
    }
    return truth;
}

QString SharedSkeletonDir()
{
    const QString dir = qEnvironmentVariable("CT_SHARED_DIR") + QStringLiteral("/skeletons");
    return qEnvironmentVariableIsEmpty("CT_SHARED_DIR") || !QFileInfo(dir).isDir() ? QString()
                                                                                   : dir;
}

NodeId NodeByName(const char* name)
{
    for (NodeId id = 0; id < NodeCount; ++id)
        if (qstrcmp(kinetra::NodeName(id), name) == 0)
            return id;
    return -1;
}

std::vector<TruthRig> SharedRigs(QStringList* problems)
{
    std::vector<TruthRig> rigs;
    const QString shared = SharedSkeletonDir();
    if (shared.isEmpty())
        return rigs;
    // With the folder present, every file must read: a loader that fails is a fault.
    const auto load = [&](const char* file, TruthRig& rig) {
        const QString path = shared + QLatin1Char('/') + QLatin1String(file);
        rig.source = QLatin1String(file);
        const bool read = LoadSkeleton(path, rig.skeleton) && !rig.skeleton.joints.isEmpty();
        if (!read && problems)
            *problems << QStringLiteral("%1 does not read").arg(rig.source);
        return read;
    };
    for (const Biped& biped : Bipeds()) {
        TruthRig rig;
        if (!load(biped.file, rig))
            continue;
        QHash<QString, int> joints;
        for (int j = 0; j < rig.skeleton.joints.size(); ++j)
            joints.insert(rig.skeleton.joints[j].name, j);
        for (const auto& [slot, joint] : biped.truth) {
            const int j = joints.value(kestrel::EscapeNodeName(joint), -1);
            const NodeId node = NodeByName(slot.constData());
            if (j >= 0 && node >= 0)
                rig.truth[node] = j;
            else if (problems)
                *problems << QStringLiteral("%1: no joint %2 for %3")
                                 .arg(rig.source, joint, QLatin1String(slot));
        }
        rig.AxesFromTruth();
        rigs.push_back(rig);
    }
    for (const auto& [file, refusal] : {std::pair{"khronos_fox_quadruped.glb", "four-legged"},
                                        std::pair{"godot_ccdik_robot_arm.glb", "no pair"}}) {
        TruthRig rig;
        rig.biped = false;
        rig.refusedFor = QLatin1String(refusal);
        if (load(file, rig))
            rigs.push_back(rig);
    }
    return rigs;
}
