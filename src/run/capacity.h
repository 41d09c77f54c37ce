// The hydraulic capacity of a plant: the largest factor on its inflows (all
// Q elements scaled together) at which the water stays the required
// freeboard (tbl_all.Freibord, 0 when none: no overtopping) below the top of
// every open section and no closed section runs under pressure that is not
// built for it; the element end where the freeboard runs out first; and the
// next elements that would limit after it.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::run {

// Where the freeboard is least at one factor.
struct Limit {
    int isys = 0;                  // element (0: none found)
    int end = 0;                   // 1 outlet end, 2 inlet end
    float level = 0.0f;            // water level there, m a.s.l.
    float top = 0.0f;              // top of the section there
    float margin = 0.0f;           // freeboard left beyond the required one, m (negative: short)
};

// One computed factor.
struct Trial {
    double factor = 0.0;
    bool computed = false;         // the run ended without errors and with balanced divisions
    std::string why;               // what went wrong when not computed
    Limit limit;
    bool holds() const { return computed && limit.margin >= 0.0f; }
};

struct Capacity {
    bool found = false;            // a capacity was computed
    double factor = 0.0;           // the largest factor that holds (to 0.5 %)
    double below = 0.0, above = 0.0;  // the bracket reached: holds at below, fails at above (0: none)
    Limit limit;                   // the limiting element end just above the capacity
    std::string note;              // why the search could not decide, or what it found first
    int runs = 0;                  // calculations made
};

// Freeboard left at the computed state of ctx: the least margin over every
// element end that is not in `ignored`; surcharge counts as short.
Limit least_freeboard(const RunContext& ctx, const std::vector<int>& ignored);

// Computes the variant read into `ctx` with its inflows times `factor`
// (nothing written); the plant as read stays unchanged. `lanes`: the threads
// its walk may use (0: one per core).
Trial trial(const RunContext& ctx, double factor, const std::vector<int>& ignored, int lanes = 0);

// Brackets and bisects the factor to 0.5 %, computing `threads` trial
// factors at once where the bracket allows.
Capacity find_capacity(const RunContext& ctx, const std::vector<int>& ignored, int threads);

// The capacity search of a run (rivola --capacity): the capacity and the next
// three limiting elements told on the screen and in the check list, and the
// run at the capacity computed and written as the flow case "Kapazitaet".
void run_capacity(RunContext& ctx);

}  // namespace rivola::run
