// Rules for node names and the escaping of foreign names into them.
#pragma once

#include "kestrelexport.h"

#include <QString>

namespace kestrel {

// Name of the scene root. No node can take it.
KESTREL_EXPORT QString WorldName();

// True for a non-empty name made only of ASCII letters, digits, '_' and ':' that is not the
// scene root's name.
KESTREL_EXPORT bool IsValidNodeName(const QString& name);

// Turns a name from a file into a valid node name: every UTF-8 byte outside letters, digits,
// '_' and ':' becomes "XFRASC" followed by its three-digit decimal code, so a blank becomes
// "XFRASC032" and "é" becomes "XFRASC195XFRASC169". No quote or blank survives, so the result
// can be pasted into a script text. The root's name "world" is escaped as "XFRASC119orld";
// an empty name stays empty (callers reject it).
KESTREL_EXPORT QString EscapeNodeName(const QString& name);

// True for a non-empty attribute name of ASCII letters, digits and '_' not starting with a
// digit.
KESTREL_EXPORT bool IsValidAttributeName(const QString& name);

} // namespace kestrel
