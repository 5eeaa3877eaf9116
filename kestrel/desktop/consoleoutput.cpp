#include "desktop/consoleoutput.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <memory>

namespace kestrel {

namespace {

// Colours on the pane's background chosen for a contrast of at least 4.5:1; errors are also
// bold, so they stand out to a person who cannot tell red from amber.
const QColor kBackground(0x1e, 0x21, 0x26);
const QColor kPlainText(0xd8, 0xdb, 0xe0);
const QColor kInputText(0x7c, 0xb7, 0xff);
const QColor kResultText(0x9a, 0xa1, 0xab);
const QColor kWarningText(0xf0, 0xb4, 0x3c);
const QColor kErrorText(0xff, 0x70, 0x70);

} // namespace

ConsoleOutput::ConsoleOutput(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("scriptConsoleOutput"));
    setReadOnly(true);
    setMaximumBlockCount(kMaximumLines);
    setUndoRedoEnabled(false);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kBackground);
    colours.setColor(QPalette::Text, kPlainText);
    setPalette(colours);
}

QTextCharFormat ConsoleOutput::FormatFor(LineKind kind)
{
    QTextCharFormat format;
    switch (kind) {
    case LineKind::Input:
        format.setForeground(kInputText);
        break;
    case LineKind::Output:
        format.setForeground(kPlainText);
        break;
    case LineKind::Result:
        format.setForeground(kResultText);
        break;
    case LineKind::Warning:
        format.setForeground(kWarningText);
        break;
    case LineKind::Error:
        format.setForeground(kErrorText);
        format.setFontWeight(QFont::Bold);
        break;
    }
    return format;
}

void ConsoleOutput::AppendLines(LineKind kind, const QString& text)
{
    QScrollBar* const bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const QTextCharFormat format = FormatFor(kind);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), format);
    cursor.insertText(text, format);
    if (atEnd)
        ScrollToEnd();
}

void ConsoleOutput::ScrollToEnd()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ConsoleOutput::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    menu->addSeparator();
    QAction* const clear = menu->addAction(tr("Clear"), this, &QPlainTextEdit::clear);
    clear->setEnabled(!document()->isEmpty());
    menu->exec(event->globalPos());
}

} // namespace kestrel
