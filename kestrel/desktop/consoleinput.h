// The script console's input editor: where a person types statements.
#pragma once

#include "desktop/consolehistory.h"

#include <QPlainTextEdit>

namespace kestrel {

// Enter (either key) submits the text; Shift+Enter starts a new line, for multi-line entry. Up on
// the first line walks the history back, Down on the last line forward again, ending at the text
// that was being typed.
class ConsoleInput : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit ConsoleInput(QWidget* parent = nullptr);

    ConsoleHistory& History() { return m_history; }

signals:
    // A text that is not blank was entered. It is in the history already and the editor is empty.
    void Submitted(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Submit();
    void ShowRecalled(const QString& text);
    bool CursorOnFirstLine() const;
    bool CursorOnLastLine() const;

    ConsoleHistory m_history;
};

} // namespace kestrel
