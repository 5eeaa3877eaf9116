#include "showcenteredmessagebox.h"

int ShowCenteredMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                           QWidget* parent, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    if (parent) {
        const QSize hint = box.sizeHint();
        box.move(parent->mapToGlobal(QPoint(parent->width() / 2 - hint.width() / 2,
                                            parent->height() / 2 - hint.height() / 2)));
    }
    box.setModal(true);
    return box.exec();
}
