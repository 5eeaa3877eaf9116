// The solver's table of node slot names.
#pragma once

#include "noderestate.h"

namespace kinetra {

// Name of node slot `id` (static ASCII, case-sensitive). Never null: ids outside
// 0..NodeCount-1 answer "".
const char* NodeName(NodeId id);

} // namespace kinetra
