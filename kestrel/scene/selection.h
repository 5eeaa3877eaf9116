// The scene's ordered active selection list.
#pragma once

#include "kestrelexport.h"

#include <QStringList>

#include <vector>

namespace kestrel {

class Node;
class SceneNotifier;

// Selected nodes in selection order, without duplicates. Every change that alters the list
// runs the selection-changed callbacks once; operations that leave it as it was run none.
class KESTREL_EXPORT Selection
{
public:
    explicit Selection(SceneNotifier& notifier);
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    const std::vector<Node*>& Items() const { return m_items; }
    QStringList Names() const;
    bool Contains(const Node* node) const;

    // The list becomes `nodes` (duplicates dropped, first occurrence kept).
    void Replace(const std::vector<Node*>& nodes);
    // Appends the nodes not selected yet.
    void Add(const std::vector<Node*>& nodes);
    // Removes the nodes that are selected.
    void Remove(const std::vector<Node*>& nodes);
    void Clear();

private:
    void SetItems(std::vector<Node*> items);

    SceneNotifier& m_notifier;
    std::vector<Node*> m_items;
};

} // namespace kestrel
