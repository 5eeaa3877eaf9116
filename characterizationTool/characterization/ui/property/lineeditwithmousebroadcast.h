// The joint field of the property view: a line edit that reports double-clicks instead of
// selecting a word.
#pragma once

#include <QLineEdit>

class QMouseEvent;

// A QLineEdit whose double-click only emits mouseDoubleClickSent; the usual word selection
// does not happen, so a read-only field can open a chooser without flashing a selection.
class LineEditWithMouseBroadcast : public QLineEdit
{
    Q_OBJECT

public:
    explicit LineEditWithMouseBroadcast(QWidget* parent = nullptr);

signals:
    // Every double-click, with the event (owned by Qt, valid during the emission only).
    void mouseDoubleClickSent(QMouseEvent* event);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
