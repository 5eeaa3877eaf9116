// Answers the next modal dialogs of a widget test, recording what they showed.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>

// Queue answers before the code that opens dialogs runs. For each modal widget that appears,
// the next answer runs: a message box gets its named button clicked and its title and text
// recorded; any other dialog is handed to a callback.
class ModalAnswerer
{
public:
    // Clicks the button whose text is `button` ("&Yes", "OK"... mnemonics are ignored).
    void Click(const QString& button)
    {
        Push([this, button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
                return false;
            m_seen << box->windowTitle() + QLatin1Char('|') + box->text();
            for (QAbstractButton* candidate : box->buttons()) {
                if (candidate->text().remove(QLatin1Char('&')) == button) {
                    candidate->click();
                    return true;
                }
            }
            return false;
        });
    }

    // Hands the next modal dialog to `handle`, which must close it.
    void Handle(std::function<void(QDialog*)> handle)
    {
        Push([handle](QWidget* modal) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            if (!dialog)
                return false;
            handle(dialog);
            return true;
        });
    }

    // "title|text" of every message box answered so far.
    const QStringList& Seen() const { return m_seen; }
    bool AllAnswered() const { return m_pending.isEmpty(); }

private:
    void Push(std::function<bool(QWidget*)> answer)
    {
        m_pending.append(std::move(answer));
        if (m_pending.size() == 1)
            Poll();
    }

    void Poll()
    {
        QTimer::singleShot(0, &m_context, [this] {
            if (m_pending.isEmpty())
                return;
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible()) {
                auto answer = m_pending.takeFirst();
                if (!answer(modal))
                    modal->close(); // an unexpected dialog: close it so the test can fail
            }
            if (!m_pending.isEmpty())
                Poll();
        });
    }

    QObject m_context; // cancels the polling timer when the answerer goes away
    QList<std::function<bool(QWidget*)>> m_pending;
    QStringList m_seen;
};
