// m_rivola_wand: the wall table (W elements, by wall ordinal, 1-based).
#pragma once

#include <array>

namespace rivola {

struct WallData {
    char T = ' ';                    // kind of the openings: 'T' trapezoid/rectangle, 'K' circle
    float H = 0.0f;                  // "h,D": height of an opening, diameter for kind 'K'
    float BU = 0.0f;                 // smaller width of an opening
    float BO = 0.0f;                 // larger width of an opening
    int n = 1;                       // number of openings (at least 1)
    float mue = 0.0f;                // discharge coefficient of the outflow formula (0 = none)
    bool formula = false;            // the outflow formula is to be tried (µ given)
    float zetaVC = 0.0f;             // inflow loss coefficient after the jet contraction (sluice gate)
    bool formulaGoverns = false;     // the outflow formula governed in the last pass
};

// The contraction table of the jet behind sluice-gate openings (12 points,
// 1-based; slot 0 unused): contraction coefficient psi over the ratio h/a of
// the water depth upstream to the height of the opening.
struct VenaContractaTable {
    static constexpr int kPoints = 12;
    std::array<float, kPoints + 1> ha{};   // ratio h/a
    std::array<float, kPoints + 1> psi{};  // contraction coefficient ψ
    int n = 0;                             // points in use (0 = not set up)
};

}  // namespace rivola
