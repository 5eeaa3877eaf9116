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
// position (scene units) and whether it is bound to a character node or selected. The Node
// pointers stay valid only until the scene removes a node; the owner rebuilds after every
// structural change before it reads them again.
class ViewportSkeleton
{
public:
    enum class Kind : std::uint8_t
    {
        Transform,
        Joint,
        BoundJoint, // a transform or joint whose "Character" attribute leads to a character
    };

    struct Item
    {
        const Node* node = nullptr;
        int parent = -1; // index of the parent item, -1 directly under the root
        Vector3 world;   // world position, scene units
        Kind kind = Kind::Transform;
        bool selected = false;
    };

    // Reads every transform and joint of the scene and the active selection.
    void Rebuild(const Scene& scene, const CharacterNodes& characters);
    // Reads only the active selection again.
    void UpdateSelection(const Selection& selection);

    const std::vector<Item>& Items() const { return m_items; }
    bool IsEmpty() const { return m_items.empty(); }
    // Index of the node's item, or -1.
    int IndexOf(const Node* node) const { return m_indexByNode.value(node, -1); }

    // The world-space box around every item; false (and nothing written) when there is none.
    bool Bounds(Vector3* minimum, Vector3* maximum) const;
    // The box around the selected items; false when none is selected.
    bool SelectedBounds(Vector3* minimum, Vector3* maximum) const;
    // Half the diagonal of Bounds(), 0 when empty.
    double Radius() const;

    // "Slot: LeftArm (Character1)" for a bound item, empty for others.
    static QString SlotDescription(const Node& node, const CharacterNodes& characters);

private:
    std::vector<Item> m_items;
    QHash<const Node*, int> m_indexByNode;
    Vector3 m_minimum; // Bounds(), valid when there are items
    Vector3 m_maximum;
};

} // namespace kestrel
