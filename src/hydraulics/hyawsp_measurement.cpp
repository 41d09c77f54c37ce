// Element computation of the water-level walk for measurement flumes: the
// critical depth in the throat sets the upstream level when the flume runs free.
#include "hydraulics/hyawsp.h"

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul_wsp.h"
#include "model/context.h"

namespace rivola::hyd {

// ---------------------------------------------------------------------------
// Measurement flume

void hyames(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    const MeasFlumeData& m = p.mes[static_cast<size_t>(k)];
    auto& rec = p.wsp.throat[static_cast<size_t>(k)];

    // what the halves change and the end restores
    const float L0 = e.L, zeta0 = e.zeta, hvs0 = e.hvs;
    const EndProfile down0 = e.prof[kProfDown], up0 = e.prof[kProfUp];

    // the throat: a rectangle of the throat width between the means of the
    // first two heights of both ends
    EndProfile throat;
    throat.T[0] = down0.T[0];
    throat.T[1] = 'T';
    throat.HS = 0.5f * (down0.HS + up0.HS);
    throat.n = 1;
    throat.H[0] = 0.5f * (down0.H[0] + up0.H[0]);
    throat.H[1] = 0.5f * (down0.H[1] + up0.H[1]);
    throat.B[0] = throat.B[1] = m.b;
    const float zThroat = 0.5f * (down0.Z + up0.Z - m.s);

    auto restore = [&] {
        e.L = L0;
        e.zeta = zeta0;
        e.hvs = hvs0;
        e.prof[kProfDown] = down0;
        e.prof[kProfUp] = up0;
        cs.loaded = 0;
    };

    // 1. first half: from the outlet to below the throat
    e.L = 0.5f * L0;
    e.zeta = 0.0f;
    e.hvs = 0.0f;
    e.prof[kProfUp] = throat;
    e.prof[kProfUp].Z = zThroat;
    cs.loaded = 0;
    float x = 0.0f, sumR1 = 0.0f, sumL1 = 0.0f;
    ber0i(ctx, "HYAMES", i, x, e.L, sumR1, sumL1);
    if (ctx.failed()) return restore();
    {
        const Section& c = cs.sec[2];
        ThroatRecord& t = rec[1];
        t.wsp = zThroat + c.h;
        t.h = c.h;
        t.A = c.A;
        t.v = c.v;
        t.Tau = tau(c.dhy, c.I);
        t.he = c.he;
        t.hvk = sumR1;
        t.hve = sumL1;
    }

    // 2. the sill: a step of the sill height at no length
    prf21(ctx);
    e.L = 0.0f;
    e.prof[kProfDown] = throat;
    e.prof[kProfDown].Z = zThroat;
    e.prof[kProfUp] = throat;
    e.prof[kProfUp].Z = zThroat + m.s;
    cs.loaded = 0;
    cs.len = 0.0f;
    cs.dx = 0.0f;
    qergeo(ctx, "HYAMES", 2, i, 0.0f);
    hevgl(ctx, "HYAMES", 2, i, 0.0f);
    if (ctx.failed()) return restore();
    const float throatLoss = sumL1 + cs.hB + cs.hL;
    if (cs.bem[1] != "gr") cs.bem[5] = "uv";
    {
        const Section& c = cs.sec[2];
        ThroatRecord& t = rec[2];
        t.wsp = zThroat + m.s + c.h;
        t.h = c.h;
        t.A = c.A;
        t.v = c.v;
        t.Tau = tau(c.dhy, c.I);
        t.he = c.he;
        t.hvk = sumR1;
        t.hve = throatLoss;
    }
    report_section(ctx, i, "M");

    // 3. second half: from the sill to the inlet
    e.prof[kProfDown] = throat;
    e.prof[kProfDown].Z = zThroat + m.s;
    e.prof[kProfUp] = up0;
    e.zeta = zeta0;
    e.hvs = hvs0;
    e.L = 0.5f * L0;
    cs.loaded = 0;
    x = 0.0f;
    float sumR2 = 0.0f, sumL2 = 0.0f;
    ber0i(ctx, "HYAMES", i, x, e.L, sumR2, sumL2);
    if (ctx.failed()) return restore();

    e.HVK = sumR1 + sumR2;
    e.HVE1 = sumL2 + throatLoss;
    finish_inlet(ctx, i);
    restore();
}

}  // namespace rivola::hyd
