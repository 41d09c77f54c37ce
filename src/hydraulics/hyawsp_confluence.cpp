// Element computation of the water-level walk for confluences: the energy of
// the joined flow carried to both inlets.
#include "hydraulics/hyawsp.h"

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul_wsp.h"
#include "model/context.h"

namespace rivola::hyd {

// ---------------------------------------------------------------------------
// Confluence

void hyazus(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const size_t k = static_cast<size_t>(ordinal(ctx, i));
    ConfluenceState& cf = p.wsp.conf[k];
    ConfluenceData& cd = p.zus[k];
    for (int j = 1; j <= 2; ++j) {
        blank(cs.bem);
        sysdwn(ctx, i);
        qerzus(ctx, j, i);
        prf21(ctx);
        cs.len = e.L;
        cs.dx = e.L;
        qergeo(ctx, "HYAZUS", 2, i, e.L);
        hevgl(ctx, "HYAZUS", 2, i, e.L);
        if (ctx.failed()) return;
        BranchState& c = cd.inlet[j];
        c.hR = cs.hR;
        c.hv = cs.hB + cs.hL + cs.hR;
        put_branch(c, state_of(cs.sec[2]));
        c.z = e.prof[j == 1 ? kProfBranch1 : kProfBranch2].Z;
        cf.Tau[j] = tau(c.dhy, c.I);
        velocity_remarks(ctx, c.v);
        cf.bem[j] = cs.bem;
        report_section(ctx, i, "Z");
        blank(cs.bem);
    }
    // the inlet end shows the first inlet
    put_end(e.res[2], hyd_of(cd.inlet[1]));
    e.res[2].z = cd.inlet[1].z;
    e.res[2].Tau = cf.Tau[1];
    e.res[2].bem = cf.bem[1];
    e.HVK = cd.inlet[1].hR;
    e.HVE1 = cd.inlet[1].hv - cd.inlet[1].hR;
}

}  // namespace rivola::hyd
