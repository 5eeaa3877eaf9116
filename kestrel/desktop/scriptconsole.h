// The script console of the kestrel desktop: where a person types commands and reads what the host
// says.
#pragma once

#include "script/textlog.h"

#include <QWidget>

#include <utility>
#include <vector>

namespace kestrel {

class ConsoleInput;
class ConsoleOutput;
class Host;

// An output pane above an input editor. The pane shows the texts the person ran, each statement's
// result and everything the host prints, warns or reports as an error while the console exists,
// whoever caused it (a script, a menu, the viewport, a plug-in). Entered texts run as one
// undoable script each, exactly as a script's statements would. The input history is kept
// between sessions in the desktop's settings (DesktopSettings(), key kHistoryKey).
//
// The host must outlive the console. Focusing the console focuses its input editor.
class ScriptConsole : public QWidget
{
    Q_OBJECT

public:
    static const char kHistoryKey[];

    explicit ScriptConsole(Host& host, QWidget* parent = nullptr);
    ~ScriptConsole() override;

public slots:
    // Echoes `text` after a prompt and runs it undoable, adding "// Result: VALUE" after each
    // statement that answered something; a failing statement ends the text. While a text runs
    // (a command may spin an event loop) another one is refused with a warning line.
    void Run(const QString& text);
    // Empties the output pane.
    void Clear();

private:
    void ListenTo(TextLog& log, void (ScriptConsole::*show)(const QString&));
    void ShowOutput(const QString& text);
    void ShowWarning(const QString& text);
    void ShowError(const QString& text);
    void RunEntered(const QString& text);

    Host& m_host;
    ConsoleOutput* m_output = nullptr; // owned through the splitter, like every child widget
    ConsoleInput* m_input = nullptr;
    // The host logs followed, with the listener ids to remove on destruction.
    std::vector<std::pair<TextLog*, TextLog::ListenerId>> m_listening;
    bool m_running = false;
};

} // namespace kestrel
