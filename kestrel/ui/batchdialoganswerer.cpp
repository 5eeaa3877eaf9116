#include "ui/batchdialoganswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace kestrel {

namespace {

QString ButtonText(const QAbstractButton* button)
{
    return button->text().remove(QLatin1Char('&'));
}

// The button Enter would press: the one set as default, else the one the dialog made default
// when it opened, else the first.
QAbstractButton* DefaultButton(QMessageBox* box)
{
    if (QPushButton* button = box->defaultButton())
        return button;
    const QList<QAbstractButton*> buttons = box->buttons();
    for (QAbstractButton* button : buttons) {
        auto* push = qobject_cast<QPushButton*>(button);
        if (push && push->isDefault())
            return push;
    }
    return buttons.isEmpty() ? nullptr : buttons.first();
}

QStringList ButtonTexts(const QMessageBox* box)
{
    QStringList texts;
    for (const QAbstractButton* button : box->buttons())
        texts << ButtonText(button);
    return texts;
}

} // namespace

BatchDialogAnswerer::BatchDialogAnswerer(const QStringList& answers, Sink report, Sink error,
                                         QObject* parent)
    : QObject(parent)
    , m_answers(answers)
    , m_report(std::move(report))
    , m_error(std::move(error))
{
    if (QCoreApplication* application = QApplication::instance())
        application->installEventFilter(this);
}

BatchDialogAnswerer::~BatchDialogAnswerer()
{
    if (QCoreApplication* application = QApplication::instance())
        application->removeEventFilter(this);
}

bool BatchDialogAnswerer::TakeFailure()
{
    const bool failed = m_failed;
    m_failed = false;
    return failed;
}

bool BatchDialogAnswerer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (!dialog || !dialog->isModal())
        return false;
    // exec() starts its event loop only after the dialog is shown: answering now would close
    // the dialog before the loop that waits for it runs.
    QPointer<QDialog> guard(dialog);
    QTimer::singleShot(0, this, [this, guard] {
        if (guard && guard->isVisible())
            Answer(guard);
    });
    return false;
}

void BatchDialogAnswerer::Answer(QDialog* dialog)
{
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
        AnswerMessageBox(box);
    else if (auto* files = qobject_cast<QFileDialog*>(dialog))
        AnswerFileDialog(files);
    else
        AcceptAsProposed(dialog);
}

void BatchDialogAnswerer::AnswerMessageBox(QMessageBox* box)
{
    QAbstractButton* chosen = nullptr;
    if (m_answers.isEmpty()) {
        chosen = DefaultButton(box);
    } else {
        const QString answer = m_answers.takeFirst().remove(QLatin1Char('&'));
        for (QAbstractButton* button : box->buttons()) {
            if (ButtonText(button).compare(answer, Qt::CaseInsensitive) == 0)
                chosen = button;
        }
        if (!chosen) {
            Fail(box, QStringLiteral("the answer \"%1\" names none of its buttons (%2)")
                          .arg(answer, ButtonTexts(box).join(QStringLiteral(", "))));
            return;
        }
    }
    if (!chosen) { // a box without buttons
        Report(box, box->text(), QStringLiteral("closed"));
        box->reject();
        return;
    }
    Report(box, box->text(), ButtonText(chosen));
    chosen->click();
}

void BatchDialogAnswerer::AnswerFileDialog(QFileDialog* dialog)
{
    if (m_answers.isEmpty()) {
        Report(dialog, QString(), QStringLiteral("cancelled, no answer left"));
        dialog->reject();
        return;
    }
    const QString answer = m_answers.takeFirst();
    QStringList parts = answer.split(QStringLiteral("::"));
    const QString path = parts.takeFirst();
    if (path.isEmpty()) {
        Fail(dialog, QStringLiteral("the answer \"%1\" names no file").arg(answer));
        return;
    }
    for (const QString& option : parts) {
        if (option == QLatin1String("little") || option == QLatin1String("big")) {
            const QStringList filters = dialog->nameFilters();
            const auto found = std::find_if(filters.begin(), filters.end(), [&](const QString& f) {
                return f.contains(option, Qt::CaseInsensitive);
            });
            if (found == filters.end()) {
                Fail(dialog, QStringLiteral("it has no \"%1\" file type").arg(option));
                return;
            }
            dialog->selectNameFilter(*found);
        } else if (option == QLatin1String("nolimits")) {
            QCheckBox* limits = nullptr;
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
                if (box->text().contains(QLatin1String("limits"), Qt::CaseInsensitive))
                    limits = box;
            }
            if (!limits) {
                Fail(dialog, QStringLiteral("it has no rotation-limits check box"));
                return;
            }
            limits->setChecked(false);
        } else {
            Fail(dialog, QStringLiteral("\"%1\" is not a file dialog option (little, big, "
                                        "nolimits)")
                             .arg(option));
            return;
        }
    }
    const QFileInfo file(QDir::current(), path);
    Report(dialog, dialog->selectedNameFilter(), QDir::toNativeSeparators(file.absoluteFilePath()));
    // The dialog cannot enter a missing folder: it would stay where it is and take the bare
    // file name there, so the answer is refused as a user's dialog would refuse it.
    if (!file.absoluteDir().exists()) {
        Report(dialog, QString(), QStringLiteral("cancelled"));
        dialog->reject();
        return;
    }
    dialog->setDirectory(file.absolutePath());
    dialog->selectFile(file.fileName());
    // Through the base: the file dialog's own accept() checks the file and may ask first.
    static_cast<QDialog*>(dialog)->accept();
    // The dialog stays open when it refused the file (an overwrite declined, a missing folder).
    if (dialog->isVisible()) {
        Report(dialog, QString(), QStringLiteral("cancelled"));
        dialog->reject();
    }
}

void BatchDialogAnswerer::AcceptAsProposed(QDialog* dialog)
{
    const QLatin1String choose("choose:");
    if (!m_answers.isEmpty() && m_answers.first().startsWith(choose)) {
        if (!Choose(dialog, m_answers.takeFirst().mid(choose.size())))
            return;
    } else {
        Report(dialog, QString(), QStringLiteral("accepted"));
    }
    dialog->accept();
    if (dialog->isVisible()) {
        Fail(dialog, QStringLiteral("it refused what it proposed"));
    }
}

// Selects `entry` in the first of the dialog's lists that has it (case ignored).
bool BatchDialogAnswerer::Choose(QDialog* dialog, const QString& entry)
{
    for (QComboBox* box : dialog->findChildren<QComboBox*>()) {
        const int index = box->findText(entry, Qt::MatchFixedString);
        if (index >= 0) {
            box->setCurrentIndex(index);
            Report(dialog, QString(), box->itemText(index));
            return true;
        }
    }
    Fail(dialog, QStringLiteral("it lists no \"%1\"").arg(entry));
    return false;
}

void BatchDialogAnswerer::Fail(QDialog* dialog, const QString& why)
{
    m_failed = true;
    if (m_error)
        m_error(QStringLiteral("Dialog \"%1\" cancelled: %2.").arg(dialog->windowTitle(), why));
    // Escape, as a user would press it: a message box answers with its cancelling button.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog, &escape);
    if (dialog->isVisible())
        dialog->reject();
}

void BatchDialogAnswerer::Report(const QDialog* dialog, const QString& text, const QString& answer)
{
    if (!m_report)
        return;
    QString line = QStringLiteral("\"%1\"").arg(dialog->windowTitle());
    if (!text.isEmpty()) // one line per dialog
        line += QStringLiteral(": ") + QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_report(line + QStringLiteral(" -> ") + answer);
}

} // namespace kestrel
