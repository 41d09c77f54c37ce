// Must not build: the output may not see the set-up and the reader's callers.
#include "input/input.h"
