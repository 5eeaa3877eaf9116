// rigcorpus: builds the auto-mapper's corpus (the shared skeletons under every trait, generated
// bipeds and non-bipeds), measures the auto-mapper on it and prints the calibration report, or
// writes the rigs as scene files to look at in the desktop or to characterize as a folder.
#include "corpusmeasure.h"
#include "rigscenewriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Measures the auto-mapper on a generated corpus of rigs, or writes the corpus out.");
    parser.addHelpOption();
    const QCommandLineOption shared("shared",
                                    "The shared folder holding skeletons/ (default: "
                                    "$CT_SHARED_DIR; without it, generated rigs only).",
                                    "dir");
    const QCommandLineOption seed("seed", "The random seed (default 2026).", "n", "2026");
    const QCommandLineOption generated("generated", "Generated bipeds (default 300).", "n", "300");
    const QCommandLineOption renamed("renamed", "Rename every joint at random before mapping.");
    const QCommandLineOption dump("dump", "Print the rows of every rig whose label holds TEXT.",
                                  "text");
    const QCommandLineOption failures("failures", "Failing rigs to list (default 12).", "n", "12");
    const QCommandLineOption write("write", "Write every rig as a scene file into DIR instead.",
                                   "dir");
    parser.addOptions({shared, seed, generated, renamed, dump, failures, write});
    parser.process(app);

    bool seedOk = false, countOk = false, failuresOk = false;
    const quint32 seedValue = parser.value(seed).toUInt(&seedOk);
    const int count = parser.value(generated).toInt(&countOk);
    const int shown = parser.value(failures).toInt(&failuresOk);
    if (!seedOk || !countOk || count < 0 || !failuresOk || shown < 0) {
        std::fprintf(stderr, "rigcorpus: --seed, --generated and --failures take whole numbers "
                             ">= 0\n");
        return 2;
    }
    if (parser.isSet(shared))
        qputenv("CT_SHARED_DIR", QFile::encodeName(parser.value(shared)));

    QStringList problems;
    const std::vector<TruthRig> corpus = BuildCorpus(seedValue, count, &problems);
    for (const QString& problem : problems)
        std::fprintf(stderr, "rigcorpus: %s\n", qPrintable(problem));

    if (parser.isSet(write)) {
        const QDir dir(parser.value(write));
        if (!QDir().mkpath(dir.path())) {
            std::fprintf(stderr, "rigcorpus: cannot make %s\n", qPrintable(dir.path()));
            return 1;
        }
        for (int k = 0; k < int(corpus.size()); ++k) {
            QString error;
            const QString path = dir.filePath(RigSceneWriter::FileName(corpus[k], k));
            if (!RigSceneWriter::Write(corpus[k], path, &error)) {
                std::fprintf(stderr, "rigcorpus: %s\n", qPrintable(error));
                return 1;
            }
        }
        std::printf("%d rigs written to %s\n", int(corpus.size()), qPrintable(dir.path()));
        return problems.isEmpty() ? 0 : 1;
    }
    const bool scramble = parser.isSet(renamed);
    CorpusMeasure::Of(corpus, scramble, parser.value(dump))
        .Print(stdout, scramble ? "renamed" : "named", shown);
    return problems.isEmpty() ? 0 : 1;
}
