// Answers the modal dialogs of a headless run, so that no dialog ever waits for a user.
#pragma once

#include "kestrelexport.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QDialog;
class QFileDialog;
class QMessageBox;

namespace kestrel {

// Watches every widget of the application. Each modal dialog that opens takes the next answer
// of the queue, in order:
// - a message box: the answer names a button ("Yes", "No", "OK", "Cancel"; case and '&'
//   ignored); with no answer left its default button is clicked;
// - a file dialog: "PATH", optionally followed by "::little" or "::big" (the name filter that
//   contains that word) and "::nolimits" (clears the check box about rotation limits); with
//   no answer left it is cancelled;
// - any other dialog is accepted as it was proposed, without taking an answer, unless the next
//   answer is "choose:ENTRY": ENTRY is then selected in the first of its lists that has it
//   (case ignored) before it is accepted.
// Every dialog answered is reported to the report sink as `"TITLE": TEXT -> ANSWER`. An answer
// that does not fit its dialog is reported as an error and the dialog is cancelled, so nothing is
// done on a guess.
class KESTREL_EXPORT BatchDialogAnswerer : public QObject
{
    Q_OBJECT

public:
    using Sink = std::function<void(const QString&)>;

    // Installs itself on the running QApplication until destroyed.
    BatchDialogAnswerer(const QStringList& answers, Sink report, Sink error,
                        QObject* parent = nullptr);
    ~BatchDialogAnswerer() override;

    int RemainingAnswers() const { return m_answers.size(); }
    // True once an answer did not fit its dialog; cleared by the call.
    bool TakeFailure();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Answer(QDialog* dialog);
    void AnswerMessageBox(QMessageBox* box);
    void AnswerFileDialog(QFileDialog* dialog);
    void AcceptAsProposed(QDialog* dialog);
    bool Choose(QDialog* dialog, const QString& entry);
    void Fail(QDialog* dialog, const QString& why);
    void Report(const QDialog* dialog, const QString& text, const QString& answer);

    QStringList m_answers;
    Sink m_report;
    Sink m_error;
    bool m_failed = false;
};

} // namespace kestrel
