// The Kestrel host: one object owning the scene, the script interpreter and everything plug-ins
// use.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "script/scriptinterpreter.h"

#include <QString>

#include <memory>

namespace kestrel {

class CharacterNodes;
class CharacterizationReconciler;
class CharacterizationSync;
class CommandRegistry;
class PanelRegistry;
class PluginManager;
class Scene;
class SceneDocument;
class StringResources;
class TextLog;
class UiLayouts;
class UndoQueue;

struct HostOptions
{
    // Mirror printed output to stdout, and errors and warnings ("// Error: ", "// Warning: ")
    // to stderr. The logs are kept either way.
    bool writeToStandardStreams = true;
    // The default plug-in folder; empty for the build's plug-in folder.
    QString pluginFolder;
};

// There is at most one Host at a time; plug-ins reach it through Host::Current() (or
// Plugin::GetHost()). Creating it registers the built-in commands and the character-node
// procedures. Destroying it unloads the plug-ins (last loaded first) before anything else goes.
class KESTREL_EXPORT Host
{
public:
    explicit Host(const HostOptions& options = HostOptions());
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The living host, or nullptr.
    static Host* Current();

    Scene& GetScene();
    SceneDocument& GetDocument();
    CommandRegistry& GetCommands();
    UndoQueue& GetUndoQueue();
    ScriptInterpreter& GetInterpreter();
    PluginManager& GetPlugins();
    StringResources& GetStringResources();
    PanelRegistry& GetPanels();
    UiLayouts& GetLayouts();
    CharacterNodes& GetCharacterNodes();
    // Tells the characterization tool what the scene's character nodes hold; the host runs it
    // after a scene is opened or made new and when the tool's panel opens.
    CharacterizationSync& GetCharacterizationSync();
    // Keeps the tool and the character nodes in line after every statement, undo, redo and
    // panel action (the interpreter's settle hook).
    CharacterizationReconciler& GetCharacterizationReconciler();

    // Every text given to ExecuteScript, in order and unchanged (written by --log FILE).
    TextLog& GetScriptLog();
    // Every error displayed, without the "// Error: " prefix.
    TextLog& GetErrorLog();
    // Every warning displayed, without the "// Warning: " prefix.
    TextLog& GetWarningLog();
    // Every line printed (print, echo, printTransforms).
    TextLog& GetOutputLog();

    // Runs a script text for a plug-in: records it in the script log, then executes it
    // (echo off and not undoable by default). Returns the status and result of the last
    // statement that ran.
    ScriptResult ExecuteScript(const QString& text,
                               const ExecuteOptions& options = ExecuteOptions());
    // The host's error display: "// Error: text" on stderr, kept in the error log.
    void DisplayError(const QString& text);
    void DisplayWarning(const QString& text);
    // Writes a line of output.
    void Print(const QString& line);

    // Asks the session to end: the application's event loop quits once it runs (a request made
    // before it starts is kept for it), and batch runs stop after the current script.
    void RequestQuit();
    bool QuitRequested() const;

    QString PluginFolder() const;
    const HostOptions& Options() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kestrel
