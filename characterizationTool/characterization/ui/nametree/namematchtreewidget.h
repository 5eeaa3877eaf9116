// The tree of the "Name Match" page: a QTreeWidget that also reports right clicks.
#pragma once

#include <QTreeWidget>

class QMouseEvent;

// A QTreeWidget whose right click leaves the current row alone and only emits
// MouseRightClicked: making the row current would edit its node and select that node's joint
// in the host, replacing the selection the user opened the menu for.
class NameMatchTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit NameMatchTreeWidget(QWidget* parent = nullptr);

signals:
    // A right-button press, which the tree itself ignores. The event is Qt's, valid during the
    // emission only.
    void MouseRightClicked(QMouseEvent* event);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
