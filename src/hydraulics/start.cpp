// The downstream boundary of the water-level walk: the water level at the
// outlet end of the last element.
#include "messages/m_rivola_error.h"
#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul.h"
#include "model/context.h"
#include "support/constants.h"
#include "messages/services.h"

namespace rivola::hyd {

void start(RunContext& ctx) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    const int n = p.nsys;
    if (n < 1) return;
    wsp_prepare(ctx);
    Element& e = p.el[n];
    EndResult& r = e.res[1];
    Qercmn& cs = ctx.cs;

    // 1. the outlet profile with its critical depth and height
    for (int k = 1; k <= 5; ++k) cs.bem[k].clear();
    cs.sec[2].Q = r.Q;
    cs.sec[2].z = r.z;
    cs.sec[1].z = r.z;
    cs.loaded = 0;
    qergeo(ctx, "START", 1, n, 0.0f);
    if (ctx.failed()) return;
    const bool open = cs.T[0] != 'g';
    const float hgr = cs.hc;
    const float H = open ? 9999.99f : cs.Htop;

    // A weir at the plant's outlet whose tail water does not reach its crest
    // (or none is given) overflows freely: the water falls away below the
    // crest, and no depth at its outlet end holds the overflow up.
    float& level = p.all.Wasserstand;
    if (e.ityp == T_U && (!given(level) || level <= r.z)) {
        r.h = r.A = r.v = r.dhy = r.I = r.he = r.Tau = 0.0f;
        cs.sec[2].h = cs.sec[2].A = cs.sec[2].v = cs.sec[2].dhy = cs.sec[2].I = cs.sec[2].he = 0.0f;
        if (ctx.ui) ctx.ui->log(ctx.english() ? "downstream water level set" : "Unterwasserstand gesetzt");
        report_end(ctx, n, 1);
        return;
    }

    // 2.-4. the depth of the given level, no lower than critical depth
    float h = level - r.z;
    if (!given(level) || h < hgr) {
        if (open || hgr < H - 0.00008f) {
            checks::report(ctx, "W40");
            h = hgr;
            cs.bem[1] = "gr";
        } else {
            checks::report(ctx, "W42");
            h = H - kTiny;
        }
        level = h + r.z;
    }
    if (h > H) checks::report(ctx, "W41");
    if (ctx.failed()) return;
    if (ctx.ui) ctx.ui->log(ctx.english() ? "downstream water level set" : "Unterwasserstand gesetzt");

    // 6.-7. the hydraulic state at that depth
    float A = 0, A2 = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
    fkthya(ctx, "START", r.Q, h, A, A2, B, dhy, v, I, he);
    if (ctx.failed()) return;
    r.h = h;
    r.A = A;
    r.v = v;
    r.dhy = dhy;
    r.I = I;
    r.he = he;
    r.Tau = tau(dhy, I);
    Section& c = cs.sec[2];
    c.h = h;
    c.A = A;
    c.B = B;
    c.v = v;
    c.dhy = dhy;
    c.I = I;
    c.he = he;

    // 8.-9. velocity remarks, screen line, remarks to the outlet end
    velocity_remarks(ctx, v);
    for (int k = 1; k <= 5; ++k) r.bem[k] = cs.bem[k];
    report_end(ctx, n, 1);
    for (int k = 1; k <= 5; ++k) cs.bem[k].clear();
}

}  // namespace rivola::hyd
