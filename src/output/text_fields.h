// Text fields of the ";"-separated output files.
#pragma once

#include <string>
#include <string_view>

#include "support/m_strings.h"

namespace rivola::output {

// A text as one field of a ";"-separated line: trailing blanks removed, and a
// ";" or a line break inside the text (a description may hold one) replaced,
// so that the text cannot shift the fields after it.
inline std::string csv_text(std::string_view s) {
    std::string r = support::rtrim(s);
    for (char& c : r) {
        if (c == ';') c = ',';
        else if (c == '\n' || c == '\r' || c == '\t' || c == '\f') c = ' ';
    }
    return r;
}

}  // namespace rivola::output
