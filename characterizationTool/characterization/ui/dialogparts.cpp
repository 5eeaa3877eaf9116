#include "dialogparts.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>

namespace DialogParts {

QPushButton* HelpButton(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("?"), parent);
    button->setMaximumSize(23, 23);
    return button;
}

QFrame* OkCancelRow(QDialog* dialog)
{
    auto* frame = new QFrame(dialog);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    auto* ok = new QPushButton(QDialog::tr("OK"), frame);
    auto* cancel = new QPushButton(QDialog::tr("Cancel"), frame);
    ok->setDefault(true);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return frame;
}

} // namespace DialogParts
