// Answers the next modal dialogs and context menus of a widget test, recording what they showed.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
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

// Runs `open`, which must open a context menu, and answers the menu from a zero-delay timer:
// closes it, then triggers `entry` when it is enabled. Returns every entry as "text" or
// "text (off)"; "no menu" when none opened.
inline QStringList ChooseInMenu(const std::function<void()>& open, const QString& entry = QString())
{
    QStringList entries;
    bool shown = false;
    QObject context; // no menu: the answer is dropped with the locals it writes to
    QTimer::singleShot(0, &context, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        shown = true;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            entries << action->text() + (action->isEnabled() ? "" : " (off)");
            if (action->text() == entry && action->isEnabled())
                chosen = action;
        }
        menu->close();
        if (chosen)
            chosen->trigger();
    });
    open();
    if (!shown)
        entries << "no menu";
    return entries;
}
