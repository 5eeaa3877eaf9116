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

// Turns a name from a file into a valid node name a person can read: every character outside
// ASCII letters, digits, '_' and ':' becomes '_' ("thigh.L" -> "thigh_L", "Bip01 L Hand" ->
// "Bip01_L_Hand", "é" -> "_"). No quote or blank survives, so the result can be pasted into a
// script text. The root's name "world" becomes "_world"; an empty name stays empty (callers
// reject it). Two names may give one result ("a.b" and "a_b"): importers keep names unique
// with ImportedNames, which also keeps the file's own name in "originalName".
KESTREL_EXPORT QString EscapeNodeName(const QString& name);

// True for a non-empty attribute name of ASCII letters, digits and '_' not starting with a
// digit.
KESTREL_EXPORT bool IsValidAttributeName(const QString& name);

} // namespace kestrel
