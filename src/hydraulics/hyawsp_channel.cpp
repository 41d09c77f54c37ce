// Element computations of the water-level walk for the plain conduits: the
// junction, flumes, pressure pipes and basins, screens, in- and outlets inside
// the system and pumps. Each carries the state at the element's outlet end to
// its inlet end against the flow.
#include "hydraulics/hyawsp.h"

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_wsp.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

// ---------------------------------------------------------------------------
// Junction

void hyaneu(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    if (i == p.nsys) {
        cs.vab = e.res[1].v;
        return;
    }
    cs.dE = 0.0f;
    cs.len = 0.0f;
    cs.dx = 0.0f;
    cs.vab = 0.0f;
    clear_remarks(ctx);

    const int d = e.iab[1];
    const Element& de = p.el[d];
    const bool free = de.ityp == T_W || de.ityp == T_T ||
                      (de.ityp == T_U && p.ueb[static_cast<size_t>(ordinal(ctx, d))].kind == 'F');
    // a weir in the blend between free and submerged overflow: the energy
    // the junction holds passes steadily from the one to the other
    const float submerged =
        de.ityp == T_U && !free ? p.ueb[static_cast<size_t>(ordinal(ctx, d))].submerged : 1.0f;
    if (free) {
        // Nothing backs water up into i: its outlet state follows from the
        // energy height at the inlet of the downstream element.
        hvonhe(ctx, "HYANEU", 1, i, 0.0f, de.res[2].he);
        if (ctx.failed()) return;
        store_end(ctx, i, 1);
        e.HVU = cs.dE;
    } else {
        qerdwn(ctx, 1, i);
        qergeo(ctx, "HYANEU", 1, i, 0.0f);
        hevgl(ctx, "HYANEU", 1, i, 0.0f);
        if (ctx.failed()) return;
        if (submerged < 1.0f) {
            const float base = cs.Zx - cs.sec[1].z;
            const float hB = cs.hB;
            const float he = de.res[2].he + submerged * (cs.sec[2].he + base - de.res[2].he);
            cs.dE = 0.0f;
            hvonhe(ctx, "HYANEU", 1, i, 0.0f, he);
            if (ctx.failed()) return;
            cs.hB = cs.dE + submerged * hB;
        }
        store_end(ctx, i, 1);
        e.HVU = cs.hB;
    }
    EndResult& r = e.res[1];
    r.Tau = tau(r.dhy, r.I);
    velocity_remarks(ctx, r.v);
    report_end(ctx, i, 1);
    move_remarks(ctx, i, 1);
}

// ---------------------------------------------------------------------------
// Flumes, pressure pipes, basins and the channel of a screen

void hyatrs(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    if (e.prof[kProfDown].T[0] == 'g') {
        // a closed section: full heights over the length, then start again
        // from the outlet state
        qergeo(ctx, "HYATRS", 2, i, e.L);
        if (ctx.failed()) return;
        sysdwn(ctx, i);
    }
    float x = 0.0f, sumR = 0.0f, sumL = 0.0f;
    ber0i(ctx, "HYATRS", i, x, e.L, sumR, sumL);
    if (ctx.failed()) return;
    e.HVK = sumR;
    e.HVE1 = sumL;
    finish_inlet(ctx, i);
}

// ---------------------------------------------------------------------------
// Screen with a given water-level difference

void hyarec_wsp_diff(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    const float dh = screen_difference(ctx, i);
    const float hvOld = e.HVE1;
    // the inlet depth is the outlet depth raised by the given difference
    const float h = e.res[1].h + dh;
    qergeo(ctx, "HYAREC", 2, i, e.L);
    if (ctx.failed()) return;
    Section& c = ctx.cs.sec[2];
    float A = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
    qerhya(ctx, e.res[2].Q, h, A, B, dhy, v, I, he);
    c.h = h;
    c.A = A;
    c.B = B;
    c.dhy = dhy;
    c.v = v;
    c.I = I;
    c.he = he;
    e.HVE1 = he - e.res[1].he;
    finish_inlet(ctx, i);
    if (e.zeta > kTiny && dh > kTiny && e.HVE1 < hvOld) e.res[2].bem[5] = "he";
}

// ---------------------------------------------------------------------------
// In- and outlets inside the system

void hyaqzu(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    Qercmn& cs = ctx.cs;
    cs.len = e.L;
    cs.dx = e.L;
    prf21(ctx);
    qergeo(ctx, "HYAQZU", 2, i, e.L);
    hevgl(ctx, "HYAQZU", 2, i, e.L);
    if (ctx.failed()) return;
    e.HVK = cs.hR;
    e.HVE1 = cs.hB + cs.hL;
    finish_inlet(ctx, i);
    report_end(ctx, i, 2);
}

// ---------------------------------------------------------------------------
// Pump

void hyapum(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    const float h = p.pumpe[static_cast<size_t>(k)].H;
    clear_remarks(ctx);
    qergeo(ctx, "HYAPUM", 1, i, 0.0f);
    if (ctx.failed()) return;
    const float Q = e.res[1].Q;
    float A = 0, A2 = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
    fkthya(ctx, "HYAPUM", Q, h, A, A2, B, dhy, v, I, he);
    if (ctx.failed()) return;
    Section& c = cs.sec[2];
    c.h = h;
    c.A = A;
    c.B = B;
    c.dhy = dhy;
    c.v = v;
    c.I = I;
    c.he = he;
    store_end(ctx, i, 1);
    store_end(ctx, i, 2);
    e.res[1].Tau = e.res[2].Tau = tau(dhy, I);
    e.HVU = he;
    velocity_remarks(ctx, v);
    for (int s = 1; s <= 5; ++s) e.res[1].bem[s] = cs.bem[s];
    move_remarks(ctx, i, 2);
    report_end(ctx, i, 2);

    // the delivery head: energy difference to the element delivered into
    const Downstream d = downstream(ctx, i);
    if (d.type == T_Z)
        e.HVU = (e.res[1].z + e.res[1].he) - (d.he + d.z);
    else
        e.HVU = (e.res[2].z + e.res[2].he) - (d.he + d.z);
}

}  // namespace rivola::hyd
