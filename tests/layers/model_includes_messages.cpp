// Must not build: the plant model may not see the messages above it.
#include "messages/m_rivola_error.h"
