// The outliner's tree view: a QTreeView that can reveal many rows at once.
#pragma once

#include <QTreeView>

namespace kestrel {

// A QTreeView made for selections of any size: QTreeView's own select-all and row-by-row
// expansion grow quadratically with the number of rows involved.
class SceneTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit SceneTreeView(QWidget* parent = nullptr);

    // Expands every ancestor of `rows` (indexes of this view's model) with a single layout of
    // the tree afterwards, instead of one per expanded row.
    void ExpandAncestors(const QModelIndexList& rows);
    // Selects every shown row (under expanded parents) as one range per parent.
    void selectAll() override;
};

} // namespace kestrel
