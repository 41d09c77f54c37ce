// Kept for the includes of other folders: the loader lives in common/variant_db.h.
#pragma once
#include "common/variant_db.h"
