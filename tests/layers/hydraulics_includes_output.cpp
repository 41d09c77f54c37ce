// Must not build: the hydraulics may not see the output above them.
#include "output/output.h"
