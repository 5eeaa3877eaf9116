#include "desktop/viewportskeleton.h"

#include "scene/characternodes.h"
#include "scene/matrix4.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "scene/selection.h"
#include "scene/transformquery.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
    m_indexed = false;
    m_character = characters.Current();
    // Depth-first with an explicit stack, children pushed last first so they come out in order.
    m_items.reserve(scene.NodeCount());
    // World matrices by depth, each its parent's times its own local one: the product the
    // scene's world query makes, without the rotations and scales it also keeps per node.
    // Depth first, a node's descendants all come before its next sibling overwrites its entry.
    std::vector<Matrix4> worlds;
    struct Pending
    {
        const Node* node;
        int parent;
        std::size_t depth;
    };
    std::vector<Pending> pending;
    const std::vector<Node*>& top = scene.TopLevelNodes();
    for (auto it = top.rbegin(); it != top.rend(); ++it)
        pending.push_back({*it, -1, 0});
    while (!pending.empty()) {
        const auto [node, parent, depth] = pending.back();
        pending.pop_back();
        if (worlds.size() <= depth)
            worlds.resize(depth + 1);
        worlds[depth] = depth == 0 ? LocalMatrix(*node) : worlds[depth - 1] * LocalMatrix(*node);
        Item item;
        item.node = node;
        item.parent = parent;
        item.world = worlds[depth].TranslationPart();
        item.side = SideOfName(node->Name());
        if (m_character && characters.CharacterOf(*node) == m_character)
            item.kind = Kind::BoundJoint;
        else
            item.kind = node->IsJoint() ? Kind::Joint : Kind::Transform;
        const int index = static_cast<int>(m_items.size());
        m_items.push_back(item);
        const std::vector<Node*>& children = node->Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back({*it, index, depth + 1});
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

int ViewportSkeleton::IndexOf(const Node* node) const
{
    if (!m_indexed) {
        m_indexByNode.reserve(static_cast<int>(m_items.size()));
        for (std::size_t i = 0; i < m_items.size(); ++i)
            m_indexByNode.insert(m_items[i].node, static_cast<int>(i));
        m_indexed = true;
    }
    return m_indexByNode.value(node, -1);
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
    // Every name of a scene is looked at when it is drawn: plain loops over its characters.
    int start = name.size();
    while (start > 0 && name.at(start - 1) != QLatin1Char(':'))
        --start;
    const QStringRef base = name.midRef(start);
    const auto isSeparator = [](QChar c) {
        return c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char(' ') ||
               c == QLatin1Char('-');
    };
    // No character outside ASCII folds to a letter of these words.
    const auto isWordAt = [&base](int at, const char* word) {
        for (; *word; ++word, ++at) {
            const ushort c = base.at(at).unicode();
            if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != static_cast<uchar>(*word))
                return false;
        }
        return true;
    };
    for (const auto& [word, side] :
         {std::pair<const char*, Side>{"left", Side::Left}, {"right", Side::Right}}) {
        // Only where a word can start.
        const int length = static_cast<int>(std::strlen(word));
        for (int at = 0; at + length <= base.size(); ++at) {
            if ((at == 0 || isSeparator(base.at(at - 1))) && isWordAt(at, word))
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
