// The label a node carries in the diagram and the node tree.
#pragma once

#include <QString>

// The solver's node name with every "FootExtraFinger" shown as "FootBigToe" (node 118
// "LeftFootExtraFinger1" reads LeftFootBigToe1); "" for ids below 0 or beyond the catalogue.
QString NodeDisplayName(int node);
