// The tree of the "Name Match" page: a QTreeWidget that also reports right clicks.
#pragma once

#include <QTreeWidget>

class QMouseEvent;

// A QTreeWidget whose right click first does what a tree does (the clicked row becomes
// current) and then emits MouseRightClicked, so the owner's context menu acts on that row.
class NameMatchTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit NameMatchTreeWidget(QWidget* parent = nullptr);

signals:
    // A right-button press, after the tree handled it. The event is Qt's, valid during the
    // emission only.
    void MouseRightClicked(QMouseEvent* event);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
