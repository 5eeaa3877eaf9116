// What the viewport draws of the scene: every transform with its parent and world position.
#pragma once

#include "scene/vector3.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace kestrel {

class CharacterNodes;
class Node;
class Scene;
class Selection;

// A copy of the scene's DAG in a form that draws fast: one item per transform or joint in
// depth-first scene order (a parent always comes before its children), with its world
// position (scene units) and whether it is bound to the current character node or selected.
// Joints bound to other character nodes are drawn as plain joints: the viewport shows one
// characterization at a time, the one the tool and the scene work on. The Node
// pointers stay valid only until the scene removes a node; the owner rebuilds after every
// structural change before it reads them again.
class ViewportSkeleton
{
public:
    enum class Kind : std::uint8_t
    {
        Transform,
        Joint,
        BoundJoint, // a transform or joint whose "Character" attribute leads to the current
                    // character node
    };

    // Which side of the body a node's name puts it on.
    enum class Side : std::uint8_t
    {
        Centre,
        Left,
        Right,
    };

    struct Item
    {
        const Node* node = nullptr;
        int parent = -1; // index of the parent item, -1 directly under the root
        Vector3 world;   // world position, scene units
        Kind kind = Kind::Transform;
        Side side = Side::Centre;
        bool selected = false;
    };

    // Reads every transform and joint of the scene, the current character node and the active
    // selection.
    void Rebuild(const Scene& scene, const CharacterNodes& characters);
    // The current character node at the last Rebuild (null: none), to tell when it changed.
    const Node* Character() const { return m_character; }
    // Reads only the active selection again.
    void UpdateSelection(const Selection& selection);

    const std::vector<Item>& Items() const { return m_items; }
    bool IsEmpty() const { return m_items.empty(); }
    // Index of the node's item, or -1. The index by node is made on the first call after a
    // Rebuild: drawing a scene with nothing selected never needs it.
    int IndexOf(const Node* node) const;

    // The world-space box around every item; false (and nothing written) when there is none.
    bool Bounds(Vector3* minimum, Vector3* maximum) const;
    // The box around the selected items; false when none is selected.
    bool SelectedBounds(Vector3* minimum, Vector3* maximum) const;
    // Half the diagonal of Bounds(), 0 when empty.
    double Radius() const;

    // The side a node name says, namespace ignored: "Left"/"Right" at the start or after a
    // separator ("LeftUpLeg", "rig:RightHand", "Bip_Left_Arm"), an "L" or "R" before an
    // upper-case letter or a separator at the start ("LHipJoint", "R_Hand"), or an "l"/"L"/"r"/
    // "R" ending after a separator ("upperarm_l", "hand.R"). Everything else is the centre
    // ("LowerBack", "Root").
    static Side SideOfName(const QString& name);

    // "Slot: LeftArm (Character1)" for a bound item, empty for others.
    static QString SlotDescription(const Node& node, const CharacterNodes& characters);

private:
    std::vector<Item> m_items;
    const Node* m_character = nullptr; // compared, never dereferenced
    mutable QHash<const Node*, int> m_indexByNode;
    mutable bool m_indexed = false;
    Vector3 m_minimum; // Bounds(), valid when there are items
    Vector3 m_maximum;
};

} // namespace kestrel
