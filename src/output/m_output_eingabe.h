// m_output_eingabe: outputs that describe the plant rather than its hydraulic
// results. The input echo prints the base settings, the element links, the GEO
// and the HVE data as read, in paginated tables (file base + ".EIN"); the plot
// data file (base + "_plot.csv") lists every element with its links, profile
// heights, inverts and ground levels for drawing the longitudinal section.
//
// Element tables are 1-based (isys = 1..nsys), as in the plant model.
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::output {

// Value written for a ground level that no rule sets.
inline constexpr float kNoGround = -9999.99f;

// Ground levels of the plot data, [isys][1] upstream end, [isys][2] downstream
// end. Elements other than pressure pipes and immersion tubes stand on their own
// profile tops; a run of pipes carries the ground of the element upstream of it
// to its upstream ends and that of the element downstream of it to its
// downstream ends.
std::vector<std::array<float, 3>> ground_levels(const RunContext& ctx);

// Writes the plot data file base + "_plot.csv", replacing an existing one.
void o_plot(RunContext& ctx);

// --- input echo ---

// State of the echo file while it is written: its stream, line and page
// counters and the table width of the current section.
struct Echo {
    std::ostream* out = nullptr;
    int line = 0;                    // lines used on the current page
    int page = 0;                    // pages begun
    int width = 0;                   // table width of the current section
    std::string kind;                // "ALL", "WEG", "GEO", "HVE"
};

// Page start of an echo section: form feed, the title lines and the banner.
void head(RunContext& ctx, Echo& e, const std::string& kind);
// Column header of an echo section.
void kopf(RunContext& ctx, Echo& e, const std::string& kind);
// Closing separator of an echo section.
void fuss(RunContext& ctx, Echo& e);

void o_all(RunContext& ctx, Echo& e);
void o_weg(RunContext& ctx, Echo& e);
void o_geo(RunContext& ctx, Echo& e);
void o_hve(RunContext& ctx, Echo& e);

// The whole input echo: writes base + ".EIN" with the sections of the element
// links, the geometry, the single losses and the base settings, in that order.
// Called by the system set-up once the element links are resolved.
void write_input_echo(RunContext& ctx);

}  // namespace rivola::output
