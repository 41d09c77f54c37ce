// m_rivola_vena_contracta: the contraction of the jet behind a sluice-gate
// opening. The table gives the contraction coefficient ψ over the ratio h/a of
// the water depth upstream to the height of the opening; it is set up once per
// run when the plant has sluice gates.
#pragma once

#include <array>

namespace rivola {
struct RunContext;

// The contraction table (12 points, 1-based; slot 0 unused).
struct VenaContractaTable {
    static constexpr int kPoints = 12;
    std::array<float, kPoints + 1> ha{};   // ratio h/a
    std::array<float, kPoints + 1> psi{};  // contraction coefficient ψ
    int n = 0;                             // points in use (0 = not set up)
};

}  // namespace rivola

namespace rivola::hyd {

// Fills the contraction table of the plant.
void vena_contracta_define(RunContext& ctx);

}  // namespace rivola::hyd
