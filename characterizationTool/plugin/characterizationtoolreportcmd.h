// The host command that reports why the current characterization is or is not valid.
#pragma once

#include "script/command.h"

// characterizationToolReport: answers, as one line of JSON text, the validation of the live
// tool's current characterization after a fresh revalidation:
//   {"character": name, "code": n, "status": word, "message": text,
//    "missing": [required slot names nothing is bound to], "nodes": [{"id": n, "name": slot,
//    "joint": joint, "status": word, "message": text}, ...]}
// "code" is the number -curcharstatus answers (0 valid, 1 nothing to judge, 2 warning,
// 3 error); a status word is "valid", "warning", "error" or "not set". "nodes" lists, in id
// order, every node whose status is not "not set". Takes no arguments; fails with an error
// when no tool is open. Changes nothing, so it is not undoable.
class CharacterizationToolReportCmd : public kestrel::Command
{
public:
    static const QString& CommandName();

    kestrel::Status Run(const kestrel::ArgumentList& arguments) override;
};
