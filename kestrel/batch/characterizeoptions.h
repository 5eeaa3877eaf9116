// The command line of kestrel's folder characterization mode.
#pragma once

#include "kestrelexport.h"

#include <QString>
#include <QStringList>

namespace kestrel {

// kestrel --characterize [--template NAME] [--fix-stance] [--kntc DIR] [--big-endian]
//                        [--report FILE.json] [--html FILE.html] [-q] INPUT...
struct KESTREL_EXPORT CharacterizeOptions
{
    QStringList inputs;   // files and folders, in command-line order
    QString templateName; // a naming template to apply instead of auto-characterizing
    bool fixStance = false;
    QString kntcFolder;     // where the characterization files go; empty for none
    bool bigEndian = false; // byte order of the written .kntc files
    QString reportFile;     // the JSON report; empty for none
    QString htmlFile;       // the HTML page; empty for none
    bool quiet = false;     // no progress lines on stderr

    // True when the arguments ask for this mode (one of them is --characterize).
    static bool Requested(const QStringList& arguments);
    // Reads the arguments after the program name, --characterize included. False with a
    // one-line `error` for an unknown option, an option without its value, an option that
    // needs another one (--big-endian without --kntc) or no INPUT.
    static bool Parse(const QStringList& arguments, CharacterizeOptions* options, QString* error);
    static QString Usage();
};

} // namespace kestrel
