#include "base/status.h"

namespace kestrel {

QString StatusText(Status status)
{
    switch (status) {
    case Status::Success:
        return QStringLiteral("no error");
    case Status::Failure:
        return QStringLiteral("unexpected failure");
    case Status::InvalidParameter:
        return QStringLiteral("invalid parameter");
    case Status::UnknownParameter:
        return QStringLiteral("unknown parameter");
    case Status::NotFound:
        return QStringLiteral("object not found");
    case Status::AlreadyExists:
        return QStringLiteral("name already in use");
    case Status::InvalidState:
        return QStringLiteral("not possible in the current state");
    }
    return QStringLiteral("unknown status");
}

} // namespace kestrel
