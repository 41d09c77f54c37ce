#include "model/context.h"

namespace rivola {

bool RunContext::english() const {
    return settings.language.find("ENGL") != std::string::npos;
}

}  // namespace rivola
