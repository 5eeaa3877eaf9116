#include "desktop/viewportskeleton.h"

#include "scene/characternodes.h"
#include "scene/matrix4.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "scene/selection.h"
#include "scene/transformquery.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kestrel {

namespace {

void Extend(const Vector3& point, Vector3* minimum, Vector3* maximum)
{
    for (int axis = 0; axis < 3; ++axis) {
        (*minimum)[axis] = std::min((*minimum)[axis], point[axis]);
        (*maximum)[axis] = std::max((*maximum)[axis], point[axis]);
    }
}

} // namespace

void ViewportSkeleton::Rebuild(const Scene& scene, const CharacterNodes& characters)
{
    m_items.clear();
    m_indexByNode.clear();
    m_character = characters.Current();
    // Depth-first with an explicit stack, children pushed last first so they come out in order.
    m_items.reserve(scene.NodeCount());
    m_indexByNode.reserve(scene.NodeCount());
    // World matrices by item, each its parent's times its own local one: the product the
    // scene's world query makes, without the rotations and scales it also keeps per node.
    std::vector<Matrix4> worlds;
    worlds.reserve(scene.NodeCount());
    std::vector<std::pair<const Node*, int>> pending;
    const std::vector<Node*>& top = scene.TopLevelNodes();
    for (auto it = top.rbegin(); it != top.rend(); ++it)
        pending.emplace_back(*it, -1);
    while (!pending.empty()) {
        const auto [node, parent] = pending.back();
        pending.pop_back();
        worlds.push_back(parent < 0 ? LocalMatrix(*node) : worlds[parent] * LocalMatrix(*node));
        Item item;
        item.node = node;
        item.parent = parent;
        item.world = worlds.back().TranslationPart();
        item.side = SideOfName(node->Name());
        if (m_character && characters.CharacterOf(*node) == m_character)
            item.kind = Kind::BoundJoint;
        else
            item.kind = node->IsJoint() ? Kind::Joint : Kind::Transform;
        const int index = static_cast<int>(m_items.size());
        m_items.push_back(item);
        m_indexByNode.insert(node, index);
        const std::vector<Node*>& children = node->Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.emplace_back(*it, index);
    }
    if (!m_items.empty()) {
        m_minimum = m_maximum = m_items.front().world;
        for (const Item& item : m_items)
            Extend(item.world, &m_minimum, &m_maximum);
    }
    UpdateSelection(scene.GetSelection());
}

void ViewportSkeleton::UpdateSelection(const Selection& selection)
{
    for (Item& item : m_items)
        item.selected = false;
    for (const Node* node : selection.Items()) {
        const int index = IndexOf(node);
        if (index >= 0)
            m_items[index].selected = true;
    }
}

bool ViewportSkeleton::Bounds(Vector3* minimum, Vector3* maximum) const
{
    if (m_items.empty())
        return false;
    *minimum = m_minimum;
    *maximum = m_maximum;
    return true;
}

bool ViewportSkeleton::SelectedBounds(Vector3* minimum, Vector3* maximum) const
{
    bool found = false;
    for (const Item& item : m_items) {
        if (!item.selected)
            continue;
        if (!found)
            *minimum = *maximum = item.world;
        found = true;
        Extend(item.world, minimum, maximum);
    }
    return found;
}

double ViewportSkeleton::Radius() const
{
    Vector3 minimum;
    Vector3 maximum;
    if (!Bounds(&minimum, &maximum))
        return 0.0;
    const Vector3 half = (maximum - minimum) * 0.5;
    return std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
}

ViewportSkeleton::Side ViewportSkeleton::SideOfName(const QString& name)
{
    const QStringRef base = name.midRef(name.lastIndexOf(QLatin1Char(':')) + 1);
    const auto isSeparator = [](QChar c) {
        return c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char(' ') ||
               c == QLatin1Char('-');
    };
    for (const auto& [word, side] :
         {std::pair<QLatin1String, Side>{QLatin1String("left"), Side::Left},
          {QLatin1String("right"), Side::Right}}) {
        // Only where a word can start: every name of a scene is looked at when it is drawn.
        for (int at = 0; at + word.size() <= base.size(); ++at) {
            if ((at == 0 || isSeparator(base.at(at - 1))) &&
                base.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0)
                return side;
        }
    }
    const auto letterSide = [](QChar c) {
        const QChar upper = c.toUpper();
        return upper == QLatin1Char('L')   ? Side::Left
               : upper == QLatin1Char('R') ? Side::Right
                                           : Side::Centre;
    };
    if (base.size() >= 2 && (base.at(0) == QLatin1Char('L') || base.at(0) == QLatin1Char('R')) &&
        (base.at(1).isUpper() || isSeparator(base.at(1))))
        return letterSide(base.at(0));
    if (base.size() >= 2 && isSeparator(base.at(base.size() - 2)))
        return letterSide(base.back());
    return Side::Centre;
}

QString ViewportSkeleton::SlotDescription(const Node& node, const CharacterNodes& characters)
{
    const Node* character = characters.CharacterOf(node);
    if (!character)
        return QString();
    for (const Connection& connection : node.OutgoingConnections()) {
        if (connection.toNode == character)
            return QStringLiteral("Slot: %1 (%2)").arg(connection.toAttribute, character->Name());
    }
    return QString();
}

} // namespace kestrel
