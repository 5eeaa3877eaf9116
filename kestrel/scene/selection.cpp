#include "scene/selection.h"

#include "scene/node.h"
#include "scene/scenenotifier.h"

#include <algorithm>

namespace kestrel {

Selection::Selection(SceneNotifier& notifier)
    : m_notifier(notifier)
{}

QStringList Selection::Names() const
{
    QStringList names;
    for (const Node* node : m_items)
        names.append(node->Name());
    return names;
}

bool Selection::Contains(const Node* node) const
{
    return std::find(m_items.begin(), m_items.end(), node) != m_items.end();
}

void Selection::Replace(const std::vector<Node*>& nodes)
{
    std::vector<Node*> items;
    for (Node* node : nodes) {
        if (std::find(items.begin(), items.end(), node) == items.end())
            items.push_back(node);
    }
    SetItems(std::move(items));
}

void Selection::Add(const std::vector<Node*>& nodes)
{
    std::vector<Node*> items = m_items;
    for (Node* node : nodes) {
        if (std::find(items.begin(), items.end(), node) == items.end())
            items.push_back(node);
    }
    SetItems(std::move(items));
}

void Selection::Remove(const std::vector<Node*>& nodes)
{
    std::vector<Node*> items;
    for (Node* node : m_items) {
        if (std::find(nodes.begin(), nodes.end(), node) == nodes.end())
            items.push_back(node);
    }
    SetItems(std::move(items));
}

void Selection::Clear()
{
    SetItems({});
}

void Selection::SetItems(std::vector<Node*> items)
{
    if (items == m_items)
        return;
    m_items = std::move(items);
    m_notifier.NotifySelectionChanged();
}

} // namespace kestrel
