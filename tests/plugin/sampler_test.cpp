#include "pluginhosttest.h"
