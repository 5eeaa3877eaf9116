#include "showcenteredmessagebox.h"

#include <QPointer>

int ShowCenteredMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                           QWidget* parent, QMessageBox::StandardButtons buttons,
                           QMessageBox::StandardButton defaultButton)
{
    // On the heap: the host may delete `parent`, and the box with it, while the box runs its
    // event loop; a box on the stack would then be freed twice.
    const QPointer<QMessageBox> box = new QMessageBox(
        icon, title, text, buttons, parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
    if (parent) {
        const QWidget* window = parent->window();
        const QSize hint = box->sizeHint();
        box->move(window->mapToGlobal(QPoint(window->width() / 2 - hint.width() / 2,
                                             window->height() / 2 - hint.height() / 2)));
    }
    box->setModal(true);
    const int answer = box->exec(); // Rejected when the box went with its parent
    delete box.data();
    return answer;
}
