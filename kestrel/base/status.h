// Status codes of host operations, commands and plug-in entry points, with the host's texts.
#pragma once

#include "kestrelexport.h"

#include <QString>

namespace kestrel {

// Outcome of a host operation. Success is the only value that is not a failure. The values
// are stable: plug-ins built against this header compare them.
enum class Status
{
    Success = 0,
    Failure,          // unexpected failure
    InvalidParameter, // an argument is missing, mistyped or out of range
    UnknownParameter, // an unknown flag, type or keyword
    NotFound,         // no such node, attribute, command, file or plug-in
    AlreadyExists,    // the name is already in use
    InvalidState,     // not possible now (nothing to undo, no user interface, ...)
};

// The host's text for a status, inserted into messages at "^1s" (e.g. "name already in use").
KESTREL_EXPORT QString StatusText(Status status);

inline bool Succeeded(Status status)
{
    return status == Status::Success;
}

} // namespace kestrel
