// Every message box of the tool: modal, fixed size, centred on its parent's window.
#pragma once

#include <QMessageBox>

// Shows a modal message box with the given icon, title, text and buttons, centred on the window
// of `parent` (which may be null; the panel sits at a window's edge, and a box centred on it
// would hang over that edge), and returns the button pressed (QMessageBox::StandardButton).
// `defaultButton` is what Enter presses; questions that destroy something pass the button that
// keeps it.
int ShowCenteredMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                           QWidget* parent, QMessageBox::StandardButtons buttons,
                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
