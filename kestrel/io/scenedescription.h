// A scene as plain records: what files are read into, written from, and undo rebuilds from.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "scene/attribute.h"
#include "scene/node.h"
#include "scene/transformvalues.h"

#include <QString>

#include <vector>

namespace kestrel {

class Scene;

// One node. `parent` names a transform declared earlier in the description, or is empty for
// the root (character nodes always leave it empty).
struct NodeRecord
{
    QString name;
    NodeType type = NodeType::Transform;
    QString parent;
    TransformValues transform;
    std::vector<Attribute> attributes;
};

// One connection between attributes of described nodes.
struct ConnectionRecord
{
    QString fromNode;
    QString fromAttribute;
    QString toNode;
    QString toAttribute;
};

// Nodes in an order where every parent comes before its children, and connections.
class KESTREL_EXPORT SceneDescription
{
public:
    std::vector<NodeRecord> nodes;
    std::vector<ConnectionRecord> connections;
    // The character node the host had as current; empty for none. Not checked by Validate:
    // a name that is no character node is ignored when the scene is built.
    QString currentCharacter;

    // Checks names (valid, unique), parents (declared before, transforms), attributes (valid
    // names, unique, values of their type) and connections (both ends described, one incoming
    // connection per attribute). False with a message naming the culprit.
    // Also checks the numbers (ValidateNumbers).
    bool Validate(QString* error) const;
    // Every transform number and double attribute is a scene number (IsSceneNumber) and every
    // world transform, parents taken from the description, is usable (IsUsableWorldMatrix).
    // False with a message naming the node and the channel or attribute.
    bool ValidateNumbers(QString* error) const;
    // Whether BuildInto validates the description first. Every file reader validates what it
    // returns, so a description just read needs no second pass (a whole pass over a large
    // scene); one edited since must be checked again.
    enum class Checks
    {
        Validate,
        AlreadyValidated,
    };
    // Adds the nodes and connections to `scene`. Validates first (unless `checks` says it was),
    // and also fails without touching the scene when a described name is already used in it.
    Status BuildInto(Scene& scene, QString* error, Checks checks = Checks::Validate) const;
    // The whole scene, in scene order.
    static SceneDescription Capture(const Scene& scene);
    // The record of one node with its parent name from the scene.
    static NodeRecord CaptureNode(const Node& node);
    // Index of the node record named `name`, or -1.
    int IndexOf(const QString& name) const;

private:
    // `parents[i]` is the index of node i's parent record, -1 for a root.
    bool ValidateNumbers(const std::vector<int>& parents, QString* error) const;
    // The same, working out every world matrix.
    bool ValidateWorlds(const std::vector<int>& parents, QString* error) const;
};

} // namespace kestrel
