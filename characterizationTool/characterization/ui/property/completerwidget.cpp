#include "completerwidget.h"

#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kButtonHeight = 17;
constexpr int kDialogHeight = 42;

} // namespace

CompleterWidget::CompleterWidget(QWidget* parent, const QStringList& names, const QString& current)
    : QDialog(parent, Qt::FramelessWindowHint)
    , m_comboBox(new QComboBox(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_comboBox->setEditable(true);
    // The list is the scene's; Return accepts the text rather than adding it as an item.
    m_comboBox->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox->addItems(names);
    m_comboBox->setCurrentIndex(current.isEmpty() ? -1 : names.lastIndexOf(current));
    if (m_comboBox->currentIndex() == -1)
        m_comboBox->setEditText(QString());
    connect(m_comboBox->lineEdit(), &QLineEdit::returnPressed, this, &CompleterWidget::accept);

    // Completion searches a case-insensitively sorted copy, so each key stroke is a binary
    // search instead of a scan of every name: skeletons run to tens of thousands of joints.
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    auto* completer = new QCompleter(this);
    completer->setModel(new QStringListModel(sorted, completer));
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    m_comboBox->setCompleter(completer);

    int longest = 0;
    for (const QString& name : names)
        longest = std::max(longest, int(name.size()));
    m_comboBox->setMinimumContentsLength(longest);
    layout->addWidget(m_comboBox);

    auto* buttons = new QFrame(this);
    auto* buttonLayout = new QHBoxLayout(buttons);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    auto* ok = new QPushButton(tr("Ok"), buttons);
    ok->setFixedHeight(kButtonHeight);
    connect(ok, &QPushButton::clicked, this, &CompleterWidget::accept);
    auto* cancel = new QPushButton(tr("Cancel"), buttons);
    cancel->setFixedHeight(kButtonHeight);
    connect(cancel, &QPushButton::clicked, this, &CompleterWidget::reject);
    buttonLayout->addWidget(ok);
    buttonLayout->addWidget(cancel);
    buttonLayout->addStretch();
    layout->addWidget(buttons);
    layout->addStretch();

    setFixedHeight(kDialogHeight);
}

bool CompleterWidget::Choose(QWidget* parent, const QStringList& names, const QString& current,
                             const QPoint& globalPos, QString& chosen)
{
    // Owned by `parent`, so it goes with the parent if that is destroyed during exec().
    QPointer<QWidget> guard(parent);
    QPointer<CompleterWidget> chooser = new CompleterWidget(parent, names, current);
    // Kept inside the window: the panel sits at its right edge, and a chooser opened at a part
    // on the panel's right would hang over it.
    chooser->adjustSize();
    const QRect window = parent->window()->geometry();
    QPoint at = globalPos;
    at.setX(std::max(window.left(), std::min(at.x(), window.right() + 1 - chooser->width())));
    at.setY(std::max(window.top(), std::min(at.y(), window.bottom() + 1 - chooser->height())));
    chooser->move(at);
    const int result = chooser->exec();
    if (!guard)
        return false;
    chosen = chooser->ChosenText();
    delete chooser.data();
    return result == QDialog::Accepted;
}

void CompleterWidget::accept()
{
    m_chosenText = m_comboBox->lineEdit()->text();
    QDialog::accept();
}
