#include "batch/batchoptions.h"

#include "io/sceneformats.h"

namespace kestrel {

bool BatchOptions::Parse(const QStringList& arguments, BatchOptions* options, QString* error)
{
    *options = BatchOptions();
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool takesValue =
            argument == QLatin1String("-c") || argument == QLatin1String("-s") ||
            argument == QLatin1String("--log") || argument == QLatin1String("--answer");
        if (takesValue && i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value.").arg(argument);
            return false;
        }
        if (argument == QLatin1String("--batch")) {
            options->batch = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options->help = true;
        } else if (argument == QLatin1String("-c")) {
            options->actions.append({false, arguments.at(++i)});
        } else if (argument == QLatin1String("-s")) {
            options->actions.append({true, arguments.at(++i)});
        } else if (argument == QLatin1String("--log")) {
            options->logFile = arguments.at(++i);
        } else if (argument == QLatin1String("--answer")) {
            options->answers.append(arguments.at(++i));
        } else if (argument.startsWith(QLatin1Char('-'))) {
            *error = QStringLiteral("unknown option %1.").arg(argument);
            return false;
        } else if (!options->scene.isEmpty()) {
            *error = QStringLiteral("only one scene can be opened (%1 and %2).")
                         .arg(options->scene, argument);
            return false;
        } else {
            options->scene = argument;
        }
    }
    return true;
}

QString BatchOptions::Usage()
{
    return QStringLiteral(
               "usage: kestrel [--batch] [SCENE] [-c STATEMENTS]... [-s SCRIPT]... [--answer "
               "TEXT]...\n"
               "               [--log FILE]\n"
               "  --batch        run headless and exit (offscreen user interface); without it\n"
               "                 kestrel opens its desktop window and runs -c and -s in it\n"
               "  SCENE          a scene or skeleton file to open first: %1\n"
               "                 or another format Assimp reads\n"
               "  -c STATEMENTS  script statements to run\n"
               "  -s SCRIPT      a script file to run\n"
               "  --answer TEXT  the next modal dialog's answer in a batch run: a message box\n"
               "                 button (Yes, No, OK, Cancel) or a file dialog's PATH, optionally\n"
               "                 with ::little or ::big (file type) and ::nolimits; without an\n"
               "                 answer a message box takes its default button, a file dialog is\n"
               "                 cancelled and other dialogs are accepted as proposed;\n"
               "                 choose:ENTRY picks ENTRY in another dialog's list first\n"
               "  --log FILE     write every script text plug-ins send to FILE\n"
               "-c and -s run in the order given; each result prints as \"// Result: VALUE\".\n"
               "In a batch run the first error stops the run with exit status 1; \"quit\" ends\n"
               "either kind of session.\n")
        .arg(SceneFormats::SuffixList());
}

} // namespace kestrel
