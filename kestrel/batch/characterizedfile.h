// What the folder characterization decided about one input file.
#pragma once

#include "kestrelexport.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace kestrel {

// One row of the report. `status` is one of the words below; everything else is filled as
// far as the file got (a file that could not be opened has only its message).
struct KESTREL_EXPORT CharacterizedFile
{
    enum class Status
    {
        Unreadable,
        Error,
        Refused,
        Warning,
        Valid
    };

    QString file; // the path as found (folder inputs joined with the relative path)
    Status status = Status::Unreadable;
    QString message;   // why it was refused or unreadable, else the validation message
    QString kntc;      // the written characterization file; empty when none was written
    QString character; // the characterization's name, made from the file name
    int jointCount = 0;
    int code = -1; // the tool's status code (0, 2, 3), -1 when never judged
    int boundSlots = 0;
    QJsonArray slotReports;  // {id, name, joint, status, message} per slot in use
    QJsonArray unsure;       // {id, joint, confidence, reason} left unbound
    QStringList missing;     // required slots nothing was bound to
    QJsonObject stance;      // rule -> degrees off; empty when no rule could be measured
    double milliseconds = 0; // wall time spent on this file
    QByteArray thumbnailPng; // the body diagram, only when a page is made

    static QString StatusWord(Status status);
    // True for the statuses that make the run fail (error, refused, unreadable).
    bool Failed() const { return status != Status::Valid && status != Status::Warning; }
};

} // namespace kestrel
