// The JSON report and the HTML page of a folder characterization.
#pragma once

#include "batch/characterizedfile.h"
#include "kestrelexport.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QVector>

namespace kestrel {

// Both outputs describe the same rows; docs/characterize-report.md documents the JSON and
// docs/characterize-report.schema.json pins it. Files are written through QSaveFile, so a
// failed write leaves any earlier report as it was.
class KESTREL_EXPORT CharacterizeReport
{
public:
    // {"files": [row, ...] in input order, "summary": {counts per status, files,
    // milliseconds, filesPerSecond}}. `totalMilliseconds` is the whole run's wall time.
    static QJsonObject ToJson(const QVector<CharacterizedFile>& files, double totalMilliseconds);
    static QJsonObject RowToJson(const CharacterizedFile& file);

    // One page with no external reference: the summary, then one card per file, worst status
    // first (unreadable, error, refused, warning, valid), each with its diagram inline.
    static QByteArray ToHtml(const QVector<CharacterizedFile>& files, double totalMilliseconds);

    // Write the outputs above; false with `error` naming the file.
    static bool WriteJson(const QVector<CharacterizedFile>& files, double totalMilliseconds,
                          const QString& path, QString* error);
    static bool WriteHtml(const QVector<CharacterizedFile>& files, double totalMilliseconds,
                          const QString& path, QString* error);
};

} // namespace kestrel
