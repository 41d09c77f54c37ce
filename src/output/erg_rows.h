// The rows of the "ERG_" table and the CSV file: the lines of the result
// listing (output/listing_rows.h) as values, one row per line, with NULL for
// what a line leaves blank.
//
// Element tables are 1-based (isys = 1..nsys).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::output {

struct ErgRow {
    int iz = 0;                      // line number within the element, 1, 2, ...
    std::optional<int> ord;          // strand; none on a line without flow ("**")
    float Q = 0.0f;                  // discharge of the row's section, m3/s
    std::optional<float> L;          // length (a pump: its delivery head), m
    float Lges = 0.0f;               // flow length from the system inlet
    std::optional<float> B;          // largest layer width of the section's profile
    std::optional<float> z, hges, h, WSP, A, v, E, Tau;
    std::string profil;              // profile type letter of the section
    std::optional<float> HVK, HVE1, HVE2, HVU;
    std::array<std::string, 6> bem;  // remark codes 1..5 of the line
    std::optional<float> Freibord;   // top of the open section above the water level, m

    // The five remark codes as one text: each code in two columns, trailing
    // blanks removed.
    std::string remarks() const;
};

// The rows of element i (k = its type ordinal), one per listing line; the
// warnings of the listing are not raised again.
std::vector<ErgRow> erg_rows(RunContext& ctx, int i, int k);

// Discharge of element i that the shares of its branches refer to: the
// upstream section of a division, the downstream section of a confluence.
float branch_base_discharge(const RunContext& ctx, int i);
// Discharge of branch j of division or confluence i: the inflow of the outlet
// element j of a division, the outflow of the inlet element j of a confluence.
float branch_discharge(const RunContext& ctx, int i, int j);
// Share of branch j in percent; 50.0 when the element carries no discharge.
float branch_share(const RunContext& ctx, int i, int j);

}  // namespace rivola::output
