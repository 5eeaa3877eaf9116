// The kestrel executable's command line.
#pragma once

#include "kestrelexport.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace kestrel {

// kestrel [--batch] [SCENE] [-c STATEMENTS]... [-s SCRIPT]... [--answer TEXT]... [--log FILE]
//         [--help]
struct KESTREL_EXPORT BatchOptions
{
    // One -c or -s, in command-line order.
    struct Action
    {
        bool isScriptFile = false;
        QString text; // the statements, or the script file's path
    };

    bool batch = false;
    bool help = false;
    QString scene;
    QVector<Action> actions;
    QString logFile;
    // The answers to the modal dialogs of a batch run, in order (see BatchDialogAnswerer).
    QStringList answers;

    // Reads the arguments after the program name. False with `error` for an unknown option,
    // an option without its value, or a second scene.
    static bool Parse(const QStringList& arguments, BatchOptions* options, QString* error);
    static QString Usage();
};

} // namespace kestrel
