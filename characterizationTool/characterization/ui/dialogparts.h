// Building blocks shared by the tool's small dialogs.
#pragma once

class QDialog;
class QFrame;
class QPushButton;
class QWidget;

namespace DialogParts {

// A "?" button of at most 23 x 23 pixels.
QPushButton* HelpButton(QWidget* parent);
// A frame with a stretch, "OK" (accept) and "Cancel" (reject), for the bottom of `dialog`.
QFrame* OkCancelRow(QDialog* dialog);

} // namespace DialogParts
