// m_rivola_aufzus: the per-division and per-confluence tables (by division or
// confluence ordinal, 1-based; slot 0 unused). The division settings derived
// from aufteilung1/aufteilung2 are in Plant::aufteilung; the branch profiles are
// kept with the element itself (Element::prof, slots kProfBranch1/kProfBranch2).
#pragma once

#include <array>

namespace rivola {

// Single-loss data of one branch: of a division towards its outlet j, of a
// confluence from its inlet j.
struct BranchLoss {
    float c = 0.0f;                  // Borda coefficient of the branch profile
    float hvs = 0.0f;                // single-loss head (m)
    float zeta = 0.0f;               // loss coefficient ζ1
    std::array<float, 7> zt{};       // ζ at discharge ratios 0, 0.2, ..., 1.0 (slots 1..6)
};

// Hydraulic state of one branch: of a division, computed upstream through
// its branch j; of a confluence, at its inlet j.
struct BranchState {
    float z = 0.0f;                  // invert level
    float h = 0.0f, A = 0.0f, v = 0.0f, dhy = 0.0f, I = 0.0f, he = 0.0f;
    float hR = 0.0f;                 // friction loss
    float hv = 0.0f;                 // single loss (all losses of a confluence inlet)
};

// One division (A element or V element with a second outlet).
struct DivisionData {
    int isys = 0;                    // the element
    char tflag = 'F';                // 'T': the branch coefficients follow the six-value tables
    std::array<BranchLoss, 3> br{};  // 1..2
    // discharge bounds of the two outlets (m3/s)
    float Qa1min = 0, Qa2min = 0, Qa1max = 0, Qa2max = 0;
    bool visited = false;            // bounds computed at least once
    std::array<BranchState, 3> branch{};  // 1..2: state upstream through each branch
};

// One confluence (Z element or S element with a second inlet).
struct ConfluenceData {
    int isys = 0;                    // the element
    char tflag = 'F';                // 'T': the branch coefficients follow the six-value tables
    std::array<BranchLoss, 3> br{};  // 1..2
    std::array<float, 3> flaenge{};  // flow length from the system inlet to inlet 1, 2 (m)
    std::array<BranchState, 3> inlet{};  // 1..2: state at each inlet
};

}  // namespace rivola
