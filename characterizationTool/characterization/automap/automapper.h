// Proposes a characterization for a skeleton from its structure and rest geometry.
#pragma once

#include "automapproposal.h"
#include "skeleton.h"

// Reads a biped from the shape of its hierarchy and where its joints stand at rest; joint
// names serve only as hints (a digit chain named like a thumb). The steps:
//   1. limbs: pairs of sibling branches of matching size and length; the two largest pairs
//      are the legs and the arms, most likely the pair whose ends reach farther from the
//      other pair's branch joint, else the other way round;
//   2. trunk: the legs' branch joint is the hips (or a pelvis just below it, nearer the
//      thighs), the arms' branch joint the chest, the joints between them the spine, and up
//      points from hips to chest; legs that do not run against the spine mean a four-legged
//      body, which is refused. Arms hanging from the neck make the chest the neck;
//   3. each limb: the upper joint, the middle joint and the end joint whose two segments
//      come closest to a biped's proportions; joints before them are collars, joints between
//      them in-line rolls, leaf joints lying on a segment leaf rolls. A leg of two joints
//      looks for its foot below the shin elsewhere in the hierarchy; palm bones starting
//      together stand for a wrist without a joint;
//   4. facing: forward from the heels to the toes (or, without toes, from how the knees
//      stand out of the hip-ankle lines), left = up x forward;
//   5. hands and feet: the thumb lies farthest from the hand's axis, the other fingers follow
//      in order across the hand; the big toe is the innermost toe.
// Each step lives in its own file (mapper*.cpp) over the shared state in mapper.h.
// Works in any unit and for any up axis: every tolerance is a fraction of the skeleton's
// size. Runs in time linear in the number of joints.
class AutoMapper
{
public:
    // The proposal for `skeleton`; never fails, but answers a refusal for what is not a biped.
    static AutoMapProposal Propose(const Skeleton& skeleton);
};
