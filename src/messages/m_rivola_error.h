// m_rivola_error: the message reporter. Every warning and error about a variant
// is reported through fehler() by a three-character code; the message goes to
// the check list file of the run in the program's language, and fehler()
// returns the worst severity reported so far.
#pragma once

#include <string_view>

#include "model/check_list.h"

namespace rivola {
struct RunContext;
}

namespace rivola::checks {

inline constexpr float kNoReal = -9999.99f;

// Reports one message; "INIT" starts a check list (text1 = base name,
// text2 = title) and "OUTQQQ" opens it for a block of the caller's own lines
// (written to ctx.rep.unit afterwards). Returns the worst severity.
int fehler(RunContext& ctx, std::string_view code, std::string_view t1 = {},
           std::string_view t2 = {}, std::string_view t3 = {}, int ival = 0,
           float rval = kNoReal);

// Reports and stores the worst severity into the run's error level.
int report(RunContext& ctx, std::string_view code, std::string_view t1 = {},
           std::string_view t2 = {}, std::string_view t3 = {}, int ival = 0,
           float rval = kNoReal);

// Writes one line of the caller's own to the check list (opened through OUTQQQ).
void outqqq_line(RunContext& ctx, std::string_view line);

}  // namespace rivola::checks
