#include "desktop/consoleoutput.h"

#include <QContextMenuEvent>
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
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kBackground);
    colours.setColor(QPalette::Text, kPlainText);
    setPalette(colours);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    connect(&m_flushTimer, &QTimer::timeout, this, &ConsoleOutput::Flush);
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
    m_queue.push_back({kind, text});
    // Older texts would only be dropped again by the block limit.
    if (m_queue.size() > static_cast<std::size_t>(kMaximumLines))
        m_queue.pop_front();
    m_flushTimer.start();
}

void ConsoleOutput::Flush()
{
    m_flushTimer.stop();
    if (m_queue.empty())
        return;
    QScrollBar* const bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    for (const QueuedText& queued : m_queue) {
        const QTextCharFormat format = FormatFor(queued.kind);
        if (!document()->isEmpty())
            cursor.insertBlock(QTextBlockFormat(), format);
        cursor.insertText(queued.text, format);
    }
    cursor.endEditBlock();
    m_queue.clear();
    if (atEnd)
        ScrollToEnd();
}

void ConsoleOutput::Clear()
{
    m_queue.clear();
    m_flushTimer.stop();
    clear();
}

void ConsoleOutput::ScrollToEnd()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ConsoleOutput::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    menu->addSeparator();
    QAction* const clear = menu->addAction(tr("Clear"), this, &ConsoleOutput::Clear);
    clear->setEnabled(!document()->isEmpty());
    menu->exec(event->globalPos());
}

} // namespace kestrel
