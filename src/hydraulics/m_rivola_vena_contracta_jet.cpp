// The jet behind a sluice-gate opening contracts to psi times the opening
// height; the inflow loss of the opening grows accordingly.
#include <cmath>

#include "hydraulics/hydraul.h"
#include "hydraulics/m_rivola_vena_contracta.h"
#include "run/context.h"
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
    if (zeta0 <= 0.0f || t.n <= 0 || a <= 2e-5f) return;

    const float base = e.res[1].he;  // energy height in the opening at the outlet end
    const float v = e.res[1].v;      // velocity in the opening
    const float vh = v * v * 0.05098581f;

    float zeta = zeta0;
    float hE = base + vh * zeta;
    for (int it = 0; it < 200; ++it) {
        const float psi = support::rkennl_4(&t.ha[1], &t.psi[1], t.n, ctx.cs.sec[2].h / a);
        const float prev = zeta;
        zeta = zeta0 / (psi * psi);
        hE = base + vh * zeta;
        hvonhe(ctx, "VenaContracta", 2, i, 0.0f, hE);
        if (ctx.failed()) return;
        if (std::fabs(zeta - prev) < 0.001f) break;
    }

    w.zetaVC = zeta;
    e.HVE1 += hE - e.res[2].he;
    // The inlet end takes the state of the contracted jet.
    const Section& s = ctx.cs.sec[2];
    EndResult& r = e.res[2];
    r.h = s.h;
    r.A = static_cast<float>(w.n) * s.A;
    r.v = s.v;
    r.dhy = s.dhy;
    r.I = s.I;
    r.he = hE;
}

}  // namespace rivola::hyd
