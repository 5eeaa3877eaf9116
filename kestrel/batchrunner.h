// Runs the kestrel executable's scene, statements and scripts against a host.
#pragma once

#include "batchoptions.h"
#include "kestrelexport.h"

namespace kestrel {

class Host;

// Opens the scene (if any), then runs each -c text and -s file in order. After each top-level
// statement that set a result, "// Result: VALUE" goes to the host's output. The first error
// (displayed as "// Error: ..." by the host) stops the run. The script log is written to the
// --log file at the end, whether the run succeeded or not.
class KESTREL_EXPORT BatchRunner
{
public:
    explicit BatchRunner(Host& host)
        : m_host(host)
    {}

    // Before the QApplication exists: batch runs use the offscreen platform, with a private
    // runtime folder when the session has none (so Qt has nothing to warn about).
    static void PrepareBatchEnvironment();

    // 0 when everything succeeded, 1 after an error.
    int Run(const BatchOptions& options);

private:
    bool RunText(const QString& text);

    Host& m_host;
};

} // namespace kestrel
