// Characterizes every skeleton file of a list of files and folders in one host session.
#pragma once

#include "batch/characterizedfile.h"
#include "batch/characterizeoptions.h"
#include "kestrelexport.h"

#include <QStringList>
#include <QVector>

#include <cstdio>

namespace kestrel {

class Host;

// Drives the characterization tool only through its script commands, one file after another:
// open the file, make a characterization named after it, auto-characterize it (or apply a
// naming template), optionally fix its stance, validate it and save it when it is not in
// error. A file that fails at any step becomes one row with the reason; the batch goes on.
// Needs a QApplication (the tool's panel and its save dialog are widgets, answered offscreen
// the way BatchDialogAnswerer answers a batch run's dialogs).
class KESTREL_EXPORT BatchCharacterizer
{
public:
    // The host should not write to the standard streams: every error it shows is taken into
    // the row of the file that caused it.
    explicit BatchCharacterizer(Host& host);

    // Where progress lines go (one per file); nullptr for none. Not owned.
    void SetProgressStream(FILE* stream) { m_progress = stream; }

    // The files to characterize: every file input as given, and every file below a folder
    // input whose extension the host opens, sorted by path. Inputs that do not exist are
    // kept, so that they become unreadable rows.
    static QStringList CollectFiles(const QStringList& inputs);

    // Checks that every output folder (the --kntc folder, made when missing, and the folders
    // of the report and the page) can be written. False with a one-line `error` otherwise.
    static bool CheckOutputs(const CharacterizeOptions& options, QString* error);

    // Loads the tool and characterizes each file; the rows are in the order of `files`.
    // False with `error` when the tool itself cannot be loaded or opened.
    bool Run(const CharacterizeOptions& options, const QStringList& files, QString* error);

    const QVector<CharacterizedFile>& Files() const { return m_files; }
    double TotalMilliseconds() const { return m_totalMilliseconds; }

    // The whole mode: checks, collects, runs, writes the report and the page and answers the
    // exit status (0 all valid or warning, 1 otherwise or when an output cannot be written).
    int Execute(const CharacterizeOptions& options);

private:
    bool RunScript(const QString& text, QString* result = nullptr, QStringList* list = nullptr);
    QString TakeErrors();
    CharacterizedFile Characterize(const QString& path, const CharacterizeOptions& options);
    bool AutoCharacterize(CharacterizedFile& row);
    bool ApplyTemplate(CharacterizedFile& row, const QString& templateName);
    void Validate(CharacterizedFile& row);
    void Save(CharacterizedFile& row, const CharacterizeOptions& options);
    void Snapshot(CharacterizedFile& row);
    void ReportProgress(int index, int count, const CharacterizedFile& row) const;
    QString UniqueCharacterName(const QString& path);

    Host& m_host;
    FILE* m_progress = nullptr;
    int m_errorMark = 0; // errors in the host's log before the current step
    QStringList m_usedNames;
    QString m_scratchFolder; // thumbnails pass through here
    QString m_stagingFolder; // saved files pass through here, inside the output folder
    QVector<CharacterizedFile> m_files;
    double m_totalMilliseconds = 0;
};

} // namespace kestrel
