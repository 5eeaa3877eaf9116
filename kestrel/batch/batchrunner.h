// Runs the kestrel executable's scene, statements and scripts against a host.
#pragma once

#include "batch/batchoptions.h"
#include "kestrelexport.h"
#include "script/textlog.h"

#include <memory>

namespace kestrel {

class BatchDialogAnswerer;
class Host;

// Opens the scene (if any), then runs each -c text and -s file in order. After each top-level
// statement that set a result, "// Result: VALUE" goes to the host's output. The first error
// (displayed as "// Error: ..." by the host) stops the run. The script log is written to the
// --log file at the end, whether the run succeeded or not.
//
// Before anything runs, the main window gets the host's standard panel layouts. In a batch run
// no modal dialog waits for a user: each takes the next --answer (BatchDialogAnswerer), is
// reported in the dialog log (stderr when the host writes to the standard streams), and an
// answer that fits no dialog fails the statement that opened it.
class KESTREL_EXPORT BatchRunner
{
public:
    // The layout the host's character tools are embedded in.
    static const char* const kCharacterToolLayout;

    explicit BatchRunner(Host& host);
    ~BatchRunner();
    BatchRunner(const BatchRunner&) = delete;
    BatchRunner& operator=(const BatchRunner&) = delete;

    // Before the QApplication exists: batch runs use the offscreen platform, with a private
    // runtime folder when the session has none (so Qt has nothing to warn about).
    static void PrepareBatchEnvironment();

    // 0 when everything succeeded, 1 after an error.
    int Run(const BatchOptions& options);

    // The dialogs answered in batch runs, one line each: `"TITLE": TEXT -> ANSWER`.
    TextLog& DialogLog() { return m_dialogLog; }

private:
    void ProvideStandardLayouts();
    bool RunText(const QString& text);
    bool RunActions(const BatchOptions& options);

    Host& m_host;
    TextLog m_dialogLog{QStringLiteral("// Dialog ")};
    std::unique_ptr<BatchDialogAnswerer> m_answerer; // during a batch run with a user interface
};

} // namespace kestrel
