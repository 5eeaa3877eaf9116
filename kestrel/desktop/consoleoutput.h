// The script console's output pane: read-only lines, each drawn in the format of its kind.
#pragma once

#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTimer>

#include <deque>

namespace kestrel {

// Keeps at most kMaximumLines lines, dropping the oldest. Lines wait in a queue until control
// returns to the event loop, so a script printing thousands of lines costs one document edit
// instead of one each (nothing could be drawn while it runs anyway). Stays scrolled to the end
// while the end is in view, so a person reading further up is not pulled down by new lines. The
// context menu adds "Clear" to the usual copy and select entries. The pane draws on its own dark
// background, whatever the application palette, so the line colours stay readable.
class ConsoleOutput : public QPlainTextEdit
{
    Q_OBJECT

public:
    enum class LineKind
    {
        Input,   // the text a person ran, echoed after a prompt
        Output,  // printed by commands and plug-ins
        Result,  // "// Result: ..." of a statement
        Warning, // "// Warning: ..."
        Error,   // "// Error: ..."
    };

    static constexpr int kMaximumLines = 10000;

    explicit ConsoleOutput(QWidget* parent = nullptr);

    // Queues `text` as new lines of `kind` (a text holding newlines becomes several lines).
    void AppendLines(LineKind kind, const QString& text);
    // Shows the queued lines now.
    void Flush();
    // Empties the pane and the queue.
    void Clear();
    void ScrollToEnd();
    // The character format lines of `kind` are drawn in.
    static QTextCharFormat FormatFor(LineKind kind);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct QueuedText
    {
        LineKind kind;
        QString text;
    };

    std::deque<QueuedText> m_queue;
    QTimer m_flushTimer; // single shot, zero interval: fires once the event loop runs again
};

} // namespace kestrel
