// Must not build: the plant model may not see the database layer above it.
#include "database/m_database.h"
