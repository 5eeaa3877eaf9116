#include "desktop/consoleinput.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>

namespace kestrel {

namespace {

// The visual line of the cursor within its block; 0 when the block has no layout yet.
int LineInBlock(const QTextCursor& cursor)
{
    const QTextLayout* layout = cursor.block().layout();
    if (!layout || layout->lineCount() == 0)
        return 0;
    const QTextLine line = layout->lineForTextPosition(cursor.positionInBlock());
    return line.isValid() ? line.lineNumber() : 0;
}

int LineCountInBlock(const QTextCursor& cursor)
{
    const QTextLayout* layout = cursor.block().layout();
    return layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
}

} // namespace

ConsoleInput::ConsoleInput(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("scriptConsoleInput"));
    setTabChangesFocus(true);
    setPlaceholderText(
        tr("Type a command: Enter runs it, Shift+Enter starts a new line, Up and Down recall "
           "earlier ones"));
}

void ConsoleInput::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers == Qt::NoModifier) {
            Submit();
            return;
        }
        if (modifiers == Qt::ShiftModifier) {
            // A paragraph, not the line separator QPlainTextEdit inserts for Shift+Enter.
            textCursor().insertBlock();
            return;
        }
        break;
    case Qt::Key_Up:
        if (modifiers == Qt::NoModifier && CursorOnFirstLine()) {
            QString text;
            if (m_history.Older(toPlainText(), &text))
                ShowRecalled(text);
            return;
        }
        break;
    case Qt::Key_Down:
        if (modifiers == Qt::NoModifier && CursorOnLastLine()) {
            QString text;
            if (m_history.Newer(&text))
                ShowRecalled(text);
            return;
        }
        break;
    default:
        break;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ConsoleInput::Submit()
{
    const QString text = toPlainText();
    if (text.trimmed().isEmpty())
        return;
    m_history.Add(text);
    clear();
    emit Submitted(text);
}

void ConsoleInput::ShowRecalled(const QString& text)
{
    setPlainText(text);
    moveCursor(QTextCursor::End);
}

bool ConsoleInput::CursorOnFirstLine() const
{
    const QTextCursor cursor = textCursor();
    return cursor.blockNumber() == 0 && LineInBlock(cursor) == 0;
}

bool ConsoleInput::CursorOnLastLine() const
{
    const QTextCursor cursor = textCursor();
    return cursor.blockNumber() == document()->blockCount() - 1 &&
           LineInBlock(cursor) == LineCountInBlock(cursor) - 1;
}

} // namespace kestrel
