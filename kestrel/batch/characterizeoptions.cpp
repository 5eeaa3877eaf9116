#include "batch/characterizeoptions.h"

namespace kestrel {

namespace {

const QString kMode = QStringLiteral("--characterize");

} // namespace

bool CharacterizeOptions::Requested(const QStringList& arguments)
{
    return arguments.contains(kMode);
}

bool CharacterizeOptions::Parse(const QStringList& arguments, CharacterizeOptions* options,
                                QString* error)
{
    *options = CharacterizeOptions();
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        QString* value = nullptr;
        if (argument == QLatin1String("--template"))
            value = &options->templateName;
        else if (argument == QLatin1String("--kntc"))
            value = &options->kntcFolder;
        else if (argument == QLatin1String("--report"))
            value = &options->reportFile;
        else if (argument == QLatin1String("--html"))
            value = &options->htmlFile;
        if (value) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
                *error = QStringLiteral("%1 needs a value.").arg(argument);
                return false;
            }
            *value = arguments.at(++i);
        } else if (argument == kMode) {
            continue;
        } else if (argument == QLatin1String("--fix-stance")) {
            options->fixStance = true;
        } else if (argument == QLatin1String("--big-endian")) {
            options->bigEndian = true;
        } else if (argument == QLatin1String("-q") || argument == QLatin1String("--quiet")) {
            options->quiet = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            *error = QStringLiteral("unknown option %1 for --characterize.").arg(argument);
            return false;
        } else {
            options->inputs.append(argument);
        }
    }
    if (options->bigEndian && options->kntcFolder.isEmpty()) {
        *error = QStringLiteral("--big-endian needs --kntc DIR.");
        return false;
    }
    if (options->inputs.isEmpty()) {
        *error = QStringLiteral("--characterize needs at least one file or folder.");
        return false;
    }
    return true;
}

QString CharacterizeOptions::Usage()
{
    return QStringLiteral(
        "usage: kestrel --characterize [--template NAME] [--fix-stance] [--kntc DIR]\n"
        "               [--big-endian] [--report FILE.json] [--html FILE.html] [-q] INPUT...\n"
        "  INPUT              skeleton files and folders (searched recursively for every\n"
        "                     format kestrel opens)\n"
        "  --template NAME    apply this naming template instead of auto-characterizing\n"
        "  --fix-stance       turn hips and arms so the pose rules pass before validating\n"
        "  --kntc DIR         save NAME.kntc and NAME.bones.xml of every characterization\n"
        "                     that is not in error into DIR (little endian by default)\n"
        "  --big-endian       write the .kntc files big endian\n"
        "  --report FILE      a JSON report of every file (docs/characterize-report.md)\n"
        "  --html FILE        one self-contained page of the same, worst first\n"
        "  -q                 no progress line per file on stderr\n"
        "Exit status 0 when every file is valid or warning, 1 otherwise, 2 for bad usage.\n");
}

} // namespace kestrel
