// The rows of the result listing of one element, as values: the lines that the
// *.ERG listing prints for an element, and the rows of the "ERG_" table and
// the CSV file, carry the same sections with the same numbers. Building them in
// one place keeps the listing, the table and the CSV in step.
//
// Element tables are 1-based (isys = 1..nsys); row sections 1 = outlet
// (downstream) end, 2 = inlet (upstream) end.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "run/context.h"

namespace rivola::output {

// One line of an element in the result listing.
struct ErgRow {
    int iz = 0;                      // line number within the element, 1, 2, ...
    bool first = false;              // first line of the element (carries the name)
    int ord = 0;                     // strand number
    bool noFlow = false;             // line of a branch that carries no flow ("**")
    float Q = 0.0f;                  // discharge of the row's section, m3/s
    std::optional<float> L;          // length (or a pump's delivery head), m
    std::string label;               // text printed in the length column instead
    float Lges = 0.0f;               // flow length from the system inlet
    float B = 0.0f;                  // largest layer width of the section's profile
    float z = 0.0f, hges = 0.0f, h = 0.0f, A = 0.0f, v = 0.0f, E = 0.0f;
    std::optional<float> Tau;        // shear stress, none for a division
    std::string profil;              // profile type letter of the section
    std::optional<float> HVK, HVE1, HVE2, HVU;
    std::array<std::string, 6> bem;  // remark codes 1..5 of the line

    float WSP() const { return z + h; }
    // The five remark codes as one text: each code in two columns, trailing
    // blanks removed.
    std::string remarks() const;
};

// Completes the remark codes of element i as the listing shows them: a pipe of
// a siphon weir gets "Hw" (and "Kv" where the depth is below -7.0 m, cavitation),
// any other pressure pipe "FS" where the depth is below the board height, and a
// basin has its fourth remark cleared. Applying it twice changes nothing.
void complete_remarks(RunContext& ctx, int i);

// The listing lines of element i by its type. Unknown types give no rows.
std::vector<ErgRow> erg_rows(RunContext& ctx, int i);

// Loss coefficient of branch j (1, 2) of a division or confluence i as the
// listing of discharges shows it; none for a distribution flume with two
// outlets, a collection flume with two inlets, or a branch without one.
std::optional<float> branch_zeta(const RunContext& ctx, int i, int j);

// Discharge of element i that the shares of its branches refer to: the
// upstream section of a division, the downstream section of a confluence.
float branch_base_discharge(const RunContext& ctx, int i);
// Discharge of branch j of division or confluence i: the inflow of the outlet
// element j of a division, the outflow of the inlet element j of a confluence.
float branch_discharge(const RunContext& ctx, int i, int j);
// Share of branch j in percent; 50.0 when the element carries no discharge.
float branch_share(const RunContext& ctx, int i, int j);

}  // namespace rivola::output
