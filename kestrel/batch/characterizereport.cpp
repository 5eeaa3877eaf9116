#include "batch/characterizereport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>

namespace kestrel {

namespace {

using Status = CharacterizedFile::Status;

const Status kAllStatuses[] = {Status::Unreadable, Status::Error, Status::Refused, Status::Warning,
                               Status::Valid};

QJsonValue TextOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

bool WriteBytes(const QByteArray& data, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush() ||
        !file.commit()) {
        *error = QStringLiteral("cannot write \"%1\": %2.").arg(path, file.errorString());
        return false;
    }
    return true;
}

// Colours of the tool's diagram; every status also has its own symbol, so the page reads
// without telling red from green.
struct Look
{
    const char* colour;
    const char* symbol;
};

Look LookOf(Status status)
{
    switch (status) {
    case Status::Unreadable:
        return {"#6b6b6b", "&#9632;"}; // filled square
    case Status::Error:
        return {"#c62828", "&#10006;"}; // heavy cross
    case Status::Refused:
        return {"#6a1b9a", "&#8856;"}; // circled slash
    case Status::Warning:
        return {"#b26a00", "&#9650;"}; // triangle
    case Status::Valid:
        break;
    }
    return {"#2e7d32", "&#10004;"}; // check mark
}

QString Escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString Card(const CharacterizedFile& row)
{
    const Look look = LookOf(row.status);
    QString html = QStringLiteral("<section class=\"card\" style=\"border-left-color:%1\">")
                       .arg(QLatin1String(look.colour));
    if (!row.thumbnailPng.isEmpty())
        html += QStringLiteral("<img alt=\"body diagram\" src=\"data:image/png;base64,%1\">")
                    .arg(QString::fromLatin1(row.thumbnailPng.toBase64()));
    else
        html += QStringLiteral("<div class=\"noimg\">no diagram</div>");
    html +=
        QStringLiteral("<div class=\"body\"><h2><span class=\"badge\" style=\"background:%1\">"
                       "%2 %3</span> %4</h2><p class=\"path\">%5</p>")
            .arg(QLatin1String(look.colour), QLatin1String(look.symbol),
                 CharacterizedFile::StatusWord(row.status),
                 Escaped(row.character.isEmpty() ? row.file : row.character), Escaped(row.file));
    html += QStringLiteral("<p class=\"facts\">%1 joints &middot; %2 slots bound &middot; "
                           "%3 ms%4</p>")
                .arg(row.jointCount)
                .arg(row.boundSlots)
                .arg(row.milliseconds, 0, 'f', 1)
                .arg(row.kntc.isEmpty() ? QString()
                                        : QStringLiteral(" &middot; saved ") + Escaped(row.kntc));
    if (!row.message.isEmpty())
        html += QStringLiteral("<p class=\"msg\">%1</p>").arg(Escaped(row.message));
    if (!row.missing.isEmpty())
        html += QStringLiteral("<p><b>Missing:</b> %1</p>")
                    .arg(Escaped(row.missing.join(QStringLiteral(", "))));
    QStringList problems;
    for (const QJsonValue& value : row.slotReports) {
        const QJsonObject slot = value.toObject();
        const QString message = slot.value(QStringLiteral("message")).toString();
        if (!message.isEmpty())
            problems << QStringLiteral("<li><b>%1</b> (%2): %3</li>")
                            .arg(Escaped(slot.value(QStringLiteral("name")).toString()),
                                 Escaped(slot.value(QStringLiteral("joint")).toString()),
                                 Escaped(message));
    }
    if (!problems.isEmpty())
        html += QStringLiteral("<ul>%1</ul>").arg(problems.join(QString()));
    if (!row.unsure.isEmpty()) {
        // One line for the lead; each item's tooltip carries the mapper's reason.
        QStringList items;
        for (const QJsonValue& value : row.unsure) {
            const QJsonObject unsure = value.toObject();
            items << QStringLiteral("<span title=\"%1\">%2 (slot %3) &larr; %4 (%5)</span>")
                         .arg(Escaped(unsure.value(QStringLiteral("reason")).toString()),
                              Escaped(unsure.value(QStringLiteral("name")).toString()))
                         .arg(unsure.value(QStringLiteral("id")).toInt())
                         .arg(Escaped(unsure.value(QStringLiteral("joint")).toString()))
                         .arg(unsure.value(QStringLiteral("confidence")).toDouble(), 0, 'f', 2);
        }
        html += QStringLiteral("<p><b>Left unbound, unsure:</b> %1</p>")
                    .arg(items.join(QStringLiteral(", ")));
    }
    QStringList angles;
    for (auto it = row.stance.begin(); it != row.stance.end(); ++it)
        angles << QStringLiteral("%1 %2&deg;")
                      .arg(Escaped(it.key()))
                      .arg(it.value().toDouble(), 0, 'f', 1);
    if (!angles.isEmpty())
        html += QStringLiteral("<p class=\"facts\">Stance: %1</p>")
                    .arg(angles.join(QStringLiteral(", ")));
    return html + QStringLiteral("</div></section>\n");
}

} // namespace

QJsonObject CharacterizeReport::RowToJson(const CharacterizedFile& file)
{
    QJsonArray missing;
    for (const QString& slot : file.missing)
        missing.append(slot);
    return QJsonObject{
        {QStringLiteral("file"), file.file},
        {QStringLiteral("status"), CharacterizedFile::StatusWord(file.status)},
        {QStringLiteral("message"), file.message},
        {QStringLiteral("kntc"), TextOrNull(file.kntc)},
        {QStringLiteral("character"), TextOrNull(file.character)},
        {QStringLiteral("joints"), file.jointCount},
        {QStringLiteral("code"), file.code < 0 ? QJsonValue(QJsonValue::Null) : file.code},
        {QStringLiteral("boundSlots"), file.boundSlots},
        {QStringLiteral("slots"), file.slotReports},
        {QStringLiteral("unsure"), file.unsure},
        {QStringLiteral("missing"), missing},
        {QStringLiteral("stance"),
         file.stance.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(file.stance)},
        {QStringLiteral("milliseconds"), file.milliseconds},
    };
}

QJsonObject CharacterizeReport::ToJson(const QVector<CharacterizedFile>& files,
                                       double totalMilliseconds)
{
    QJsonArray rows;
    QJsonObject summary;
    for (Status status : kAllStatuses)
        summary.insert(CharacterizedFile::StatusWord(status), 0);
    for (const CharacterizedFile& file : files) {
        rows.append(RowToJson(file));
        const QString word = CharacterizedFile::StatusWord(file.status);
        summary.insert(word, summary.value(word).toInt() + 1);
    }
    summary.insert(QStringLiteral("files"), files.size());
    summary.insert(QStringLiteral("milliseconds"), totalMilliseconds);
    summary.insert(QStringLiteral("filesPerSecond"),
                   totalMilliseconds > 0 ? files.size() * 1000.0 / totalMilliseconds : 0.0);
    return QJsonObject{{QStringLiteral("files"), rows}, {QStringLiteral("summary"), summary}};
}

QByteArray CharacterizeReport::ToHtml(const QVector<CharacterizedFile>& files,
                                      double totalMilliseconds)
{
    QVector<const CharacterizedFile*> order;
    for (const CharacterizedFile& file : files)
        order.append(&file);
    // Worst first; within a status, the rows with most to read first, then by path.
    std::stable_sort(order.begin(), order.end(),
                     [](const CharacterizedFile* a, const CharacterizedFile* b) {
                         if (a->status != b->status)
                             return a->status < b->status;
                         const int aCount = a->missing.size() + a->unsure.size();
                         const int bCount = b->missing.size() + b->unsure.size();
                         if (aCount != bCount)
                             return aCount > bCount;
                         return a->file < b->file;
                     });
    QStringList counts;
    for (Status status : kAllStatuses) {
        const int count =
            std::count_if(files.begin(), files.end(), [status](const CharacterizedFile& file) {
                return file.status == status;
            });
        const Look look = LookOf(status);
        counts << QStringLiteral("<span class=\"badge\" style=\"background:%1\">%2 %3 %4</span>")
                      .arg(QLatin1String(look.colour), QLatin1String(look.symbol))
                      .arg(count)
                      .arg(CharacterizedFile::StatusWord(status));
    }
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<title>Characterization report</title><style>"
        "body{font:14px sans-serif;margin:16px;background:#fafafa;color:#222}"
        ".card{display:flex;gap:12px;background:#fff;border:1px solid #ddd;"
        "border-left:8px solid;margin:8px 0;padding:8px}"
        ".card img,.noimg{width:120px;height:160px;object-fit:contain;flex:none;"
        "background:#eee}.noimg{display:flex;align-items:center;justify-content:center;"
        "color:#888}h2{font-size:16px;margin:0 0 4px}.path,.facts{color:#666;margin:2px 0}"
        ".badge{color:#fff;padding:1px 6px;border-radius:3px;margin-right:6px}"
        ".msg{margin:4px 0}ul{margin:2px 0;padding-left:20px}"
        "</style></head><body>\n");
    html +=
        QStringLiteral("<h1>Characterization report</h1><p>%1 files in %2 ms (%3 files per "
                       "second)</p><p>%4</p>\n")
            .arg(files.size())
            .arg(totalMilliseconds, 0, 'f', 0)
            .arg(totalMilliseconds > 0 ? files.size() * 1000.0 / totalMilliseconds : 0.0, 0, 'f', 1)
            .arg(counts.join(QString()));
    for (const CharacterizedFile* file : order)
        html += Card(*file);
    return (html + QStringLiteral("</body></html>\n")).toUtf8();
}

bool CharacterizeReport::WriteJson(const QVector<CharacterizedFile>& files,
                                   double totalMilliseconds, const QString& path, QString* error)
{
    return WriteBytes(QJsonDocument(ToJson(files, totalMilliseconds)).toJson(), path, error);
}

bool CharacterizeReport::WriteHtml(const QVector<CharacterizedFile>& files,
                                   double totalMilliseconds, const QString& path, QString* error)
{
    return WriteBytes(ToHtml(files, totalMilliseconds), path, error);
}

} // namespace kestrel
