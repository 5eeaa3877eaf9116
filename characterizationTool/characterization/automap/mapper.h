// The auto-mapper's working state and its steps, shared by the files that implement each step.
#pragma once

#include "automapproposal.h"
#include "jointnames.h"
#include "skeleton.h"

#include <QString>

#include <cstddef>
#include <limits>
#include <vector>

namespace automap {

// Tolerances, as fractions of the skeleton's size (its largest bounding-box extent).
constexpr double kTrivialBone = 0.02; // leaf joints shorter than this are helpers
// Of two branches with as many joints, one reaching this many times farther carries on.
constexpr double kFartherReach = 1.5;
constexpr double kLimbReach = 0.2; // a limb reaches at least this far
// Limbs of unlike joint counts are twins when their reaches match at least this closely and
// their first joints stand about as far from the branch joint (within this factor).
constexpr double kTwinReach = 0.45;
constexpr double kTwinStart = 1.5;
// Pairs whose shorter limbs reach within this fraction of each other reach alike.
constexpr double kAlikeReach = 0.01;
constexpr double kKneeOutstand = 0.005; // knees standing out less give no facing

// Joints closer than this stand at one place.
constexpr double kCoincident = 0.002;

// Ratio of the upper to the lower segment of a typical biped limb.
constexpr double kLegRatio = 1.0;
constexpr double kArmRatio = 1.15;
// Segment ratios further than this (in log space) from the typical one are no limb.
constexpr double kMaxRatioScore = 0.5;
// The same where the end is plainly a hand (three or more digit chains).
constexpr double kMaxHandRatioScore = 1.2;
// The least fit of an arm that ends in such a hand.
constexpr double kPlainHandArmFit = 0.7;

// A joint outside a two-joint leg is its foot when it lies on past the shin at least this
// fraction of the thigh's length, and off the leg's line by at most this fraction of that.
constexpr double kDetachedFootMin = 0.3;
constexpr double kDetachedFootOff = 0.35;
// A leaf bone shorter than this fraction of the shin, at the leg's end, is the foot.
constexpr double kShortFootBone = 0.35;

// A parent of the legs' branch at least this much nearer the thighs' centre is the hips.
constexpr double kHipsNearer = 0.01;
// A joint above the arms' branch shorter than this fraction of the leaf above it is the head.
constexpr double kShortNeck = 0.35;

// A leaf at the end of the neck chain at least this long (a fraction of the skeleton's size)
// and this many times its parent's bone stands at the top of the skull.
constexpr double kHeadTopLeaf = 0.08;
constexpr double kHeadTopOverNeck = 0.8;
// A leaf at the end of the neck chain standing at least this many shoulder widths above the
// shoulders is at the top of the skull, one below it the head; clearly so beyond the others.
constexpr double kCrownRise = 0.72;
constexpr double kClearCrownRise = 0.9;
constexpr double kClearHeadRise = 0.55;
// Collars starting this far (a fraction of the size) below the arms' branch hang from a neck.
constexpr double kCollarsBelowNeck = 0.01;

// Digits placed by geometry alone: the thumb where two cues agree, and anything weaker.
constexpr double kThumbByGeometry = 0.85;
constexpr double kWeakDigit = 0.72;
// A thumb is told from the fingers by geometry when it stands off the hand's axis by at least
// this much more (in cosine) than the next digit.
constexpr double kThumbOffAxis = 0.1;
// A chain from the hand reaching farther than this many forearm lengths is a prop, no digit.
constexpr double kDigitOverForearm = 1.5;

// A bone shorter than this fraction of the arm's chain ends a collar: it starts no upper arm.
constexpr double kShortCollarEnd = 0.05;

// Weights of the segment fit's terms: joints off the upper segment (per segment length) and
// a name that says upper arm or collar.
constexpr double kOffSegmentWeight = 1.0;
constexpr double kNameWeight = 0.15;
// An arm's upper joint far along its chain costs this much per fraction of the chain before it
// (the forearm split by a twist is no whole arm, though proportioned like one).
constexpr double kArmStartWeight = 0.2;
// An arm's upper joint nearer the spine than the thighs stand from the legs' branch costs this
// much per fraction it falls short.
constexpr double kNarrowShoulder = 0.3;
// A leg starting below more than this fraction of its height costs this much per fraction.
constexpr double kHipDrop = 0.2;
constexpr double kDropWeight = 4.0;
// A middle joint the path runs through straighter than this (degrees) costs this much where the
// path turns at least this much inside the upper segment, or where a straight run at least this
// fraction of the upper segment's length ends at the upper joint.
constexpr double kStraightJoint = 1.0;
constexpr double kStraightMiddleWeight = 1.0;
constexpr double kBentJoint = 3.0;
constexpr double kUpperLikeBone = 0.8;
// The cost of a middle joint named as a twist.
constexpr double kTwistNameWeight = 1.0;
// A leg's end this near the lowest joint (a fraction of the size) stands on the ground.
constexpr double kGroundedFoot = 0.1;
// A limb whose best upper joint beats the next by less than this is an uncertain fit.
constexpr double kSureFitMargin = 0.15;
// The most an uncertain fit, or a limb parsed unlike its twin, is trusted.
constexpr double kUnsureFit = 0.78;
// The least a limb's rows are proposed at when its fit and its sides each pass the threshold.
constexpr double kLeastLimb = 0.52;
// Twin limbs' segments differ in length by at most this factor.
constexpr double kTwinLengths = 1.2;
// Limbs read to match their twin are trusted this much (their own fit was misled).
constexpr double kTwinFitted = 0.85;
// Joints of a path considered when refitting a limb to its twin.
constexpr int kMaxTwinPath = 24;
// An unbranched hand and its finger reach less than this many forearm lengths past the wrist.
constexpr double kSingleFingerHand = 0.75;
// The wrist has at most this many forearm lengths of hand and digits beyond it.
constexpr double kHandOverForearm = 1.5;

// Legs must run against the spine: cos of the angle between them at most this (135 deg).
constexpr double kMaxLegSpineCos = -0.7;

// Four legs reach within this factor of each other.
constexpr double kFourLegsAlike = 1.5;
// Pairs of limbs tried, longest first, before refusing.
constexpr std::size_t kMaxLimbPairTries = 12;

// With nothing to tell the sides, the limbs are still proposed, no sided row above this.
constexpr double kGuessedSides = 0.55;
// Sides decided less surely than this cap the sided rows instead of scaling them.
constexpr double kWeakSides = 0.65;

constexpr int kMaxSpine = 10; // Spine, Spine1..Spine9
constexpr int kMaxNeck = 10;  // Neck, Neck1..Neck9

// Node ids the mapper fills by role.
constexpr NodeId kSpineNode = 8;
constexpr NodeId kSpine1Node = 23;
constexpr NodeId kHeadNode = 15;
constexpr NodeId kNeckNode = 20;
constexpr NodeId kNeck1Node = 32;

enum Side
{
    Left = 0,
    Right = 1
};

// Per side: collar, extra collar, upper joint, middle joint, end joint, in-line rolls of the
// two segments, leaf-roll limb columns of the two segments.
struct LimbSlots
{
    NodeId collar, collarExtra, upper, middle, end, upperRoll, lowerRoll;
    int upperLimb, lowerLimb;
};
constexpr LimbSlots kLegSlots[2] = {{-1, -1, 2, 3, 4, 41, 42, 0, 1},
                                    {-1, -1, 5, 6, 7, 43, 44, 2, 3}};
constexpr LimbSlots kArmSlots[2] = {{18, 170, 9, 10, 11, 45, 46, 4, 5},
                                    {19, 171, 12, 13, 14, 47, 48, 6, 7}};

const char* const kSideWord[2] = {"left", "right"};
const char* const kDigitWord[6] = {"thumb", "index", "middle", "ring", "pinky", "extra"};

// A parsed limb: indices into its main path.
struct LimbParse
{
    std::vector<int> path;
    int upper = -1, middle = -1, end = -1;                  // indices into path, -1 when not found
    double score = std::numeric_limits<double>::infinity(); // lower is a better fit
    double ratioScore = 0.0; // log distance of the segment ratio from the typical one
    bool plainHand = false;  // ends in three or more digit chains
    // The best score with another upper joint; the gap to `score` is how sure the choice is.
    double runnerUp = std::numeric_limits<double>::infinity();
    int runnerUpUpper = -1; // index into path of that upper joint
    // Its segments differ in length from its twin's on the other side: one parse is wrong.
    bool unlikeTwin = false;
    // Its joints were chosen to match its twin's segments, its own fit being misled.
    bool twinFitted = false;
};

// A pair of sibling branches that look like a pair of limbs.
struct LimbPair
{
    int branch = -1;
    int child[2] = {-1, -1};
    double reach = 0.0;
    bool countsMatch = true; // the two carry about as many joints
    bool stemsMatch = false; // they start alike and reach alike up to their hands or feet
};

class Mapper
{
public:
    explicit Mapper(const Skeleton& skeleton)
        : m_joints(skeleton.joints)
        , m_count(skeleton.joints.size())
    {}

    AutoMapProposal Run();

private:
    const Vec3& Pos(int j) const { return m_joints[j].position; }
    double Bone(int j) const
    {
        const int parent = m_joints[j].parent;
        return parent < 0 ? 0.0 : (Pos(j) - Pos(parent)).Length();
    }
    bool IsTrivial(int j) const
    {
        return m_children[j].empty() && Bone(j) < kTrivialBone * m_scale;
    }
    double LimbReach(int j) const { return Bone(j) + m_reach[j]; }
    bool Coincide(int a, int b) const { return (Pos(a) - Pos(b)).Length() < kCoincident * m_scale; }
    // The joint that the palm bones starting together at `j` hang from: its parent, or its
    // grandparent past an in-line joint (a twist in the forearm); -1 when `j` starts none.
    int PalmRoot(int j) const;
    int SolidChildren(int j) const;
    // The length from `start`'s parent along its unbranched run to the first joint that does
    // not carry exactly one chain on (leaves aside): the limb without its hand or foot.
    double StemReach(int start) const;

    bool BuildTopology(QString& refusal);
    std::vector<int> MainPath(int start) const;
    std::vector<LimbPair> FindLimbPairs() const;
    bool IsAncestor(int ancestor, int j) const;
    bool ChooseLimbs(const std::vector<LimbPair>& pairs, LimbPair& legs, LimbPair& arms,
                     LimbParse* legParse, LimbParse* armParse, QString& refusal);
    LimbParse ParseLeg(int start) const;
    LimbParse ParseArm(int start) const;
    // Marks both limbs of a pair whose segments differ in length by more than a fifth, then
    // refits the misread one to its twin where that works (see FitToTwin).
    void CompareTwins(LimbParse* pair, double ratio) const;
    bool FitToTwin(LimbParse& limb, double upper, double lower, double& cost) const;
    // Reads `limb` as upper arm and forearm only, like a twin that ends at the forearm: its path
    // ends one segment of about the twin's `upper` length from its start, any joint between
    // lying on that segment (a twist). False when it does not.
    bool FitToShortTwin(LimbParse& limb, double upper) const;
    // Fills an unparsed limb of `pair` from its parsed twin; false when either stays unparsed.
    bool ReadLikeTwin(LimbParse* pair) const;
    void FitSegments(LimbParse& limb, int endIndex, double ratio, bool isLeg) const;
    int ToeOf(int foot) const;
    int HipsJoint(int branch, const Vec3& thighs) const;
    QString TrunkProblem(const LimbPair& legs, const LimbPair& arms);
    int DetachedFoot(int thigh, int shin) const;
    // Orders each pair of parses left first; answers the body's left (unit, world space) and
    // how far the cues that decided it can be trusted (0..1). Where nothing decides, the
    // sides are a guess at a low confidence.
    Vec3 DecideSides(const LimbPair& legs, const LimbPair& arms, LimbParse* legParse,
                     LimbParse* armParse, double& sideConfidence);
    // How far (degrees, signed) the middle joints of a pair of limbs stand out of their
    // upper-end lines towards `ahead`: knees forward, elbows back in a rest pose.
    double BendTowards(const LimbParse* pair, const Vec3& ahead) const;
    // How far the thumbs stand off the fingers towards `ahead`: the mean cosine over the hands
    // whose thumb is named or clearly told by geometry, 0 when there is none.
    double ThumbsTowards(const LimbParse* arms, const Vec3& ahead) const;
    // Rigs built for inverse kinematics aim each knee at a target joint kept outside the body's
    // hierarchy, in front of the knee. +1 when each leg has its own such joint (at its knee's
    // level along the leg, off the leg's line across `lateral`) and both stand towards `ahead`,
    // -1 when both stand against it, 0 otherwise. `body` is the legs' branch joint.
    int KneeTargetsTowards(const LimbParse* legs, int body, const Vec3& lateral,
                           const Vec3& ahead) const;
    // +1 when the names along the limbs say parses[0] is the left one, -1 when they say it is
    // the right one, 0 when they say nothing or disagree.
    int NamedSide(const LimbParse* parses) const;
    // `shoulder` holds the two upper arm joints.
    void ProposeTrunk(int hips, int legBranch, const LimbPair& arms, const int* shoulder);
    std::vector<std::vector<int>> DigitChains(int joint, double reach = 0.0) const;
    bool NamedDigit(const std::vector<int>& chain) const;
    // Whether `j` lies along the segment from `a` to `b` (within 15 % of its length).
    bool LiesOn(int j, int a, int b) const;

    // Binds `joint` to `node` unless either is taken or the confidence is below the threshold;
    // `alternative` is the step's own next-best joint for the slot, if it had one.
    void Propose(NodeId node, int joint, double confidence, const QString& reason,
                 int alternative = -1);
    // Fills each proposed slot's runner-ups (see AutoMapSlot::runnerUps).
    void AddRunnerUps(double sideConfidence);
    void ProposeLimb(const LimbParse& limb, const LimbSlots& slots, double sideConfidence,
                     const char* limbWord, const char* endWord);
    void ProposeLeafRolls(const LimbParse& limb, int fromIndex, int toIndex, int limbColumn,
                          double sideConfidence, const QString& segmentWord);
    // The digit chains of an arm's hand (its end joint); with `palmBases`, also the palm bones
    // starting with the hand whose chains were added.
    std::vector<std::vector<int>> HandChains(const LimbParse& arm,
                                             std::vector<int>* palmBases = nullptr) const;
    void ProposeHand(const LimbParse& arm, Side side, double sideConfidence);
    void ProposeFoot(int foot, int toe, Side side, const Vec3& left, double sideConfidence);
    bool HasBase(const std::vector<int>& chain, std::size_t minBaseChain) const;
    void ProposeDigits(const std::vector<int>& chain, bool hasBase, NodeId firstSegment,
                       NodeId base, double confidence, const QString& reason);

    const QVector<SkeletonJoint>& m_joints;
    const int m_count;
    std::vector<std::vector<int>> m_children;
    std::vector<int> m_order;    // parents before children
    std::vector<int> m_size;     // joints in the subtree, itself included
    std::vector<double> m_reach; // longest path length below the joint
    double m_scale = 0.0;
    Vec3 m_up;
    int m_armBranch = -1;
    double m_thighSpread = 0.0; // mean distance of the thighs from the legs' branch, across up
    Vec3 m_forward;
    QString m_sideReason;        // what decided left and right, for the rows' reasons
    QString m_note;              // why required slots stay empty, when they do
    bool m_sidesGuessed = false; // nothing in the pose or the names told left from right

    std::vector<AutoMapSlot> m_slots; // by node id; joint -1 when empty
    std::vector<bool> m_used;         // by joint
    std::vector<int> m_alternative;   // by node id: the step's next-best joint, or -1
};

} // namespace automap
