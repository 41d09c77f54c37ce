// The jet behind a sluice-gate opening contracts to psi times the opening
// height; the inflow loss of the opening grows accordingly.
#include <algorithm>
#include <cmath>

#include "hydraulics/hydraul.h"
#include "hydraulics/m_rivola_vena_contracta.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_interpol.h"

namespace rivola::hyd {

void vena_contracta(RunContext& ctx, int i, int k) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    WallData& w = p.wand[k];
    const VenaContractaTable& t = p.vc;
    const float a = w.H;
    // Inflow loss without contraction: the coefficient less the velocity head
    // that the outflow loses anyway.
    const float zeta0 = e.zeta - 1.0f;
    w.zetaVC = zeta0;
    // Without an inflow loss above the velocity head (or without a table, or
    // without an opening height) there is nothing the contraction could raise.
    if (zeta0 <= 0.0f || t.n <= 0 || a <= kTiny) return;

    Section& in = ctx.cs.sec[2];
    const float heIn = in.he;        // inlet energy height by the plain coefficient
    const float base = e.res[1].he;  // energy height in the opening at the outlet end
    const float v = e.res[1].v;      // velocity in the opening
    const float vh = v * v * 0.05098581f;

    float zeta = zeta0;
    float hE = base + vh * zeta;
    for (int it = 0; it < 200; ++it) {
        const float psi = support::rkennl_4(&t.ha[1], &t.psi[1], t.n, in.h / a);
        const float prev = zeta;
        zeta = zeta0 / (psi * psi);
        hE = base + vh * zeta;
        hvonhe(ctx, "VenaContracta", 2, i, 0.0f, hE);
        if (ctx.failed()) return;
        if (std::fabs(zeta - prev) < 0.001f) break;
    }

    w.zetaVC = zeta;
    e.HVE1 += hE - heIn;
    // The current section is the inlet state again, its area that of all
    // openings together.
    in.A *= static_cast<float>(std::max(w.n, 1));
}

}  // namespace rivola::hyd
