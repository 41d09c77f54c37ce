// Must not build: the set-up may not see the hydraulics above it.
#include "hydraulics/hydraul.h"
