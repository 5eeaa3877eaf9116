// The range of the numbers a scene holds, and the checks every way into the scene shares.
#pragma once

#include "kestrelexport.h"
#include "scene/transformvalues.h"

#include <QString>

namespace kestrel {

class Node;
class Scene;
class Value;

// The largest magnitude of a stored number: translations in scene units, angles in radians,
// scales, limits and double attributes. Far beyond any real rig, yet small enough that world
// transforms of ordinary depth built from such numbers stay finite.
constexpr double kLargestSceneNumber = 1e12;

// True for a finite number no larger in magnitude than kLargestSceneNumber.
KESTREL_EXPORT bool IsSceneNumber(double value);

// The first number of a transform that IsSceneNumber refuses, by the name its channel has in
// files ("translate", "rotate", "rotateAxis", "scale", "jointOrient", "limits").
struct KESTREL_EXPORT RefusedNumber
{
    QString channel; // empty when every number is accepted
    double value = 0.0;

    bool IsRefused() const { return !channel.isEmpty(); }
    // `"CHANNEL" holds NaN` (an infinite number, a number beyond +-1e+12), for messages that
    // name the node before it.
    QString Text() const;
};
KESTREL_EXPORT RefusedNumber FindRefusedNumber(const TransformValues& values);
// For an attribute value: a double (or each double of an array) must be a scene number;
// other kinds of values hold no numbers to refuse. `channel` is the attribute's name.
KESTREL_EXPORT RefusedNumber FindRefusedNumber(const QString& attribute, const Value& value);

// True when every entry of the matrix fits single precision, which the characterization tool
// computes in: a world transform beyond it would reach the tool as infinity.
KESTREL_EXPORT bool IsUsableWorldMatrix(const Matrix4& matrix);
// The first node of the subtree under `node` (itself first, then depth first) whose world
// matrix is not usable; nullptr when all are.
KESTREL_EXPORT const Node* FindUnusableWorld(const Node& node);

// Gives `node` the transform `values` unless a number is refused (FindRefusedNumber) or the
// world transform of the node or of a node below it would become unusable; then the node keeps
// its transform and `error` names the node and the channel. For commands that change
// transforms on a person's or a script's request.
KESTREL_EXPORT bool SetCheckedTransform(Scene& scene, Node* node, const TransformValues& values,
                                        QString* error);

} // namespace kestrel
