// Element computation of the water-level walk for walls with openings and
// sluice gates: orifice and free-surface flow through the openings.
#include "hydraulics/hyawsp.h"

#include <algorithm>

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_weir.h"
#include "hydraulics/m_rivola_vena_contracta.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

// ---------------------------------------------------------------------------
// Wall with openings

void hyawan(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    WallData& w = p.wand[static_cast<size_t>(k)];
    const bool gate = e.kurzbez == "Schuetz";
    const int n = std::max(w.n, 1);
    const float a = w.H;
    const float Q = e.res[1].Q;
    w.formulaGoverns = false;
    clear_remarks(ctx);

    // 1.-2. the energy height below the wall, measured from the wall's invert
    const Downstream d = downstream(ctx, i);
    const float zw = e.res[1].z;
    float dz, heOut, hOut;
    if (d.type == T_Z) {
        dz = zw - d.z;
    } else {
        dz = zw - d.zmean;
    }
    heOut = d.he - dz;
    hOut = d.h - dz;
    (void)hOut;

    // 3. the state in one opening
    cs.dE = 0.0f;
    hvonhe(ctx, "HYAWAN", 1, i, 0.0f, heOut);
    if (ctx.failed()) return;
    const float deficit = cs.dE;
    Section& c = cs.sec[2];
    EndResult& ro = e.res[1];
    ro.v = c.v;
    ro.h = c.h;
    ro.he = c.he;
    ro.dhy = c.dhy;
    ro.I = c.I;
    ro.A = n * c.A;

    // 4. the jet's velocity head is lost below the wall, unless the jet
    // leaves at critical depth
    if (deficit <= 0.00004f && !gate) {
        ro.h = ro.he;
        float A = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
        qerhya(ctx, cs.Qx, ro.h, A, B, dhy, v, I, he);
        ro.A = n * A;
        ro.v = v;
        ro.dhy = dhy;
        ro.I = I;
        ro.he = vhead(v) + ro.h;
        e.HVU = vhead(v);
    } else if (deficit > 0.00004f) {
        e.HVU = deficit;
        cs.bem[1] = "gr";
    }
    ro.Tau = tau(ro.dhy, ro.I);

    // 5. remarks at the outlet
    if (ro.h > profile_top(e.prof[kProfDown])) cs.bem[3] = "ü";
    if (ro.v < p.all.Vmin) cs.bem[4] = "v";
    if (ro.h < a) cs.bem[5] = "FS";
    move_remarks(ctx, i, 1);
    report_end(ctx, i, 1);

    // 6. single loss through the opening
    const float vh = vhead(ro.v);
    if (e.hvs <= kTiny)
        e.HVE1 = ro.v * ro.v * (e.zeta - 1.0f) * 0.5f * kInvGravity;
    else
        e.HVE1 = std::max(e.hvs - vh, kTiny);
    const float heIn = ro.he + e.HVE1;
    if (deficit <= 0.00004f && ro.h > a) {
        e.HVE1 += e.HVU;
        e.HVU = 0.0f;
    }

    // 7. the state at the inlet
    hvonhe(ctx, "HYAWAN", 2, i, 0.0f, heIn);
    if (ctx.failed()) return;
    c.A = n * c.A;
    if (gate && c.h > a) {
        vena_contracta(ctx, i, k);
        if (ctx.failed()) return;
    }

    // 8. the outflow formula, when the opening runs free
    if (w.formula && ro.bem[1] == "gr") {
        float A = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
        qerwan(ctx, i);
        qerhya(ctx, cs.Qx, a, A, B, dhy, v, I, he);
        const float Aa = n * A;
        const float qcap = schuetzformel('Q', a, Aa, w.mue);
        if (qcap < Q) {
            w.formulaGoverns = true;
            const float hreq = schuetzformel('h', Q, Aa, w.mue);
            const Section inlet = cs.sec[2];
            const int u = e.izu[1];
            if (u >= 1 && u <= p.nsys) {
                qergeo(ctx, "HYAWAN", 1, u, 0.0f);
                if (ctx.failed()) return;
            }
            qerhya(ctx, Q, hreq, A, B, dhy, v, I, he);
            if (he < inlet.he) {
                cs.sec[2] = inlet;
                cs.bem[5] = "ZT";
            } else {
                c.h = hreq;
                c.A = A;
                c.B = B;
                c.dhy = dhy;
                c.v = v;
                c.I = I;
                c.he = he;
                e.HVE1 = he - ro.he;
                cs.bem[5] = "µ";
            }
        }
    }

    // 9. remarks at the inlet
    if (c.v < p.all.Vmin) cs.bem[4] = "v";
    if (c.h < a) cs.bem[5] = "FS";
    if (c.h > profile_top(e.prof[kProfUp])) cs.bem[3] = "ü";
    store_end(ctx, i, 2);
    e.res[2].Tau = tau(c.dhy, c.I);
    move_remarks(ctx, i, 2);
    report_end(ctx, i, 2);
}

}  // namespace rivola::hyd
