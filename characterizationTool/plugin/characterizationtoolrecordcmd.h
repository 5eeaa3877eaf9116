// The host command that answers what the tool holds, for the host to compare with its scene.
#pragma once

#include "script/command.h"

// characterizationToolRecord: answers, as one line of JSON text, every characterization of the
// live tool, without revalidating or changing anything:
//   {"current": name, "mirror": bool,
//    "characters": [{"name": name, "locked": bool, "inverted": [b, b, b, b],
//                    "slots": [[id, joint], ...]}, ...]}
// in list order; "slots" lists the bound slots in id order, "inverted" the left knee, right
// knee, left elbow and right elbow flags. Without an open tool it answers an empty text, so the
// host can tell "no tool" from "a tool with nothing". Not undoable.
class CharacterizationToolRecordCmd : public kestrel::Command
{
public:
    static const QString& CommandName();

    kestrel::Status Run(const kestrel::ArgumentList& arguments) override;
};
