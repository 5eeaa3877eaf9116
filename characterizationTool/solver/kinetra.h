// The biped solver library: node names, rest records, characters and their serialization.
#pragma once

#include "character.h"
#include "characterblob.h"
#include "nodenames.h"
#include "noderestate.h"
