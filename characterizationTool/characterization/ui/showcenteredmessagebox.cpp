#include "showcenteredmessagebox.h"

int ShowCenteredMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                           QWidget* parent, QMessageBox::StandardButtons buttons,
                           QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (parent) {
        const QWidget* window = parent->window();
        const QSize hint = box.sizeHint();
        box.move(window->mapToGlobal(QPoint(window->width() / 2 - hint.width() / 2,
                                            window->height() / 2 - hint.height() / 2)));
    }
    box.setModal(true);
    return box.exec();
}
