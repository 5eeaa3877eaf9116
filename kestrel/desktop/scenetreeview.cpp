#include "desktop/scenetreeview.h"

#include <QItemSelection>

#include <vector>

namespace kestrel {

SceneTreeView::SceneTreeView(QWidget* parent)
    : QTreeView(parent)
{}

void SceneTreeView::ExpandAncestors(const QModelIndexList& rows)
{
    bool scheduled = false;
    for (const QModelIndex& row : rows) {
        // An expanded ancestor may still sit under a collapsed one: look at all of them.
        for (QModelIndex ancestor = row.parent(); ancestor.isValid();
             ancestor = ancestor.parent()) {
            if (isExpanded(ancestor))
                continue;
            if (!scheduled) {
                // While a layout is pending, expand() only records the row.
                scheduleDelayedItemsLayout();
                scheduled = true;
            }
            expand(ancestor);
        }
    }
}

void SceneTreeView::selectAll()
{
    if (!model() || !selectionModel() || selectionMode() == NoSelection ||
        selectionMode() == SingleSelection)
        return;
    QItemSelection all;
    std::vector<QModelIndex> parents{rootIndex()};
    while (!parents.empty()) {
        const QModelIndex parent = parents.back();
        parents.pop_back();
        const int rows = model()->rowCount(parent);
        if (rows == 0)
            continue;
        all.append(
            QItemSelectionRange(model()->index(0, 0, parent), model()->index(rows - 1, 0, parent)));
        for (int row = 0; row < rows; ++row) {
            const QModelIndex child = model()->index(row, 0, parent);
            if (isExpanded(child))
                parents.push_back(child);
        }
    }
    // Against an empty selection the selection model compares nothing, range by range.
    selectionModel()->clearSelection();
    selectionModel()->select(all, QItemSelectionModel::Select);
}

} // namespace kestrel
