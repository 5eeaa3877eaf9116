// Every message box of the tool: modal, fixed size, centred on its parent.
#pragma once

#include <QMessageBox>

// Shows a modal message box with the given icon, title, text and buttons, centred on
// `parent` (which may be null), and returns the button pressed (QMessageBox::StandardButton).
int ShowCenteredMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                           QWidget* parent, QMessageBox::StandardButtons buttons);
