// m_rivola_vena_contracta: the contraction of the jet behind a sluice-gate
// opening. The table gives the contraction coefficient ψ over the ratio h/a of
// the water depth upstream to the height of the opening; it is set up once per
// run when the plant has sluice gates.
#pragma once


namespace rivola {
struct RunContext;
}  // namespace rivola

namespace rivola::hyd {

// Fills the contraction table of the plant.
void vena_contracta_define(RunContext& ctx);

// Inflow loss coefficient of sluice-gate wall i (wall row k) corrected for the
// contraction of the jet: iterates the upstream depth in the opening with the
// coefficient zeta0/psi^2 (zeta0 = the wall's loss coefficient minus the
// velocity head), stores the coefficient in the wall row and adds the extra
// energy to the single loss of the wall. Expects the outlet-end state of the
// wall (energy height and velocity in the opening) stored, the opening loaded
// and the inlet state by the plain coefficient as the current section; leaves
// the corrected inlet state there (area of all openings together).
void vena_contracta(RunContext& ctx, int i, int k);

}  // namespace rivola::hyd
