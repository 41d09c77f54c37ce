// Loaders of the current cross-section for parts of elements: the branches of
// divisions and confluences, the openings of walls and the tubes of immersion
// tubes; and the hand-over of the state below an element.
#include <algorithm>
#include <cmath>

#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_wsp.h"
#include "support/constants.h"
#include "model/context.h"

namespace rivola::hyd {

namespace {

// Loss coefficient from a table of six values at the discharge ratios 0, 0.2,
// ..., 1.0 (slots 1..6), linear between them; r is capped at 0.999.
float zeta_from_table(const std::array<float, 7>& t, float r) {
    r = std::clamp(r, 0.0f, 0.999f);
    const int m = static_cast<int>(5.0f * r + 1.0f);
    return t[m] + (r - 0.2f * static_cast<float>(m - 1)) * 5.0f * (t[m + 1] - t[m]);
}

// Copies the shape, invert, rise and break points of one profile into another.
void copy_profile(const EndProfile& from, EndProfile& to) { to = from; }

// Section values common to the loaders of openings and tubes: a section of
// its own at the outlet invert of element i, with discharge Q.
void load_own_section(RunContext& ctx, int i, float Q) {
    Qercmn& cs = ctx.cs;
    const Element& e = ctx.plant.el[i];
    const float k = given(e.geo.K) ? e.geo.K : 0.0f;
    cs.K = (k <= 19.0f) ? k * 0.001f : k;
    cs.c = given(e.geo.C) ? e.geo.C : 0.0f;
    cs.hve = e.hvs;
    cs.zeta1 = e.zeta;
    cs.L = 0.0f;
    cs.I0 = 0.0f;
    cs.f = 0.0f;
    const float z = e.prof[kProfDown].Z;
    cs.Zend[1] = cs.Zend[2] = z;
    cs.Zx = z;
    cs.sec[1].z = cs.sec[2].z = z;
    cs.dz = 0.0f;
    cs.Qx = Q;
    cs.sec[2].Q = Q;
    cs.ident = cs.toponly = cs.plain = true;
    cs.similar = false;
    cs.nbrm = 0;
    cs.brm = {};
    cs.hfull[1] = cs.hfull[2] = 9999.9f;
    cs.hvoll = 9999.9f;
}

}  // namespace

// ---------------------------------------------------------------------------

void qerdwn(RunContext& ctx, int j, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    const Element& e = p.el[i];
    Section& s1 = ctx.cs.sec[1];
    if (e.ityp == T_A) {
        const int d = e.iab[j];
        if (d < 1) return;
        const EndResult& r = p.el[d].res[2];
        s1.z = r.z;
        s1.h = r.h;
        s1.A = r.A;
        s1.v = r.v;
        s1.dhy = r.dhy;
        s1.I = r.I;
        s1.he = r.he;
        return;
    }
    const int d = e.iab[1];
    if (d < 1) return;
    const Element& de = p.el[d];
    if (de.ityp != T_Z) {
        const EndResult& r = de.res[2];
        s1.h = r.h;
        s1.A = r.A;
        s1.v = r.v;
        s1.dhy = r.dhy;
        s1.I = r.I;
        s1.he = r.he;
        return;
    }
    const int inlet = (de.izu[2] == i && de.izu[1] != i) ? 2 : 1;
    const BranchState& st = p.zus[static_cast<size_t>(de.iord)].inlet[inlet];
    s1.h = st.h;
    s1.A = st.A;
    s1.v = st.v;
    s1.I = st.I;
    s1.he = st.he;
}

void qerzus(RunContext& ctx, int j, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    ConfluenceData& cd = p.zus[static_cast<size_t>(e.iord)];
    const int u = e.izu[j];
    if (u >= 1) e.res[2].Q = p.el[u].res[1].Q;
    const EndProfile& br = e.prof[j == 2 ? kProfBranch2 : kProfBranch1];
    BranchLoss& bl = cd.br[j];
    if (cd.tflag == 'T') {
        const int u2 = e.izu[2];
        const float qout = e.res[1].Q;
        const float r = (qout < 1e-4f || u2 < 1) ? 1.0f : p.el[u2].res[1].Q / qout;
        bl.zeta = zeta_from_table(bl.zt, r);
    }
    e.hvs = bl.hvs;
    e.zeta = bl.zeta;
    copy_profile(br, e.prof[kProfUp]);
    ctx.cs.loaded = 0;
}

void geoauf(RunContext& ctx, int k, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    const int u = e.izu[1];
    if (u < 1 || p.el[u].ityp != T_A) return;
    const Element& de = p.el[u];
    DivisionData& dd = p.auf[static_cast<size_t>(de.iord)];
    BranchLoss& bl = dd.br[k];
    e.L = 0.0f;
    copy_profile(de.prof[k == 2 ? kProfBranch2 : kProfBranch1], e.prof[kProfDown]);
    e.geo.C = bl.c;
    if (dd.tflag == 'T') {
        const float qd = de.res[2].Q;
        const float r = (qd <= 1e-4f) ? 1.0f : e.res[2].Q / qd;
        bl.zeta = zeta_from_table(bl.zt, r);
    }
    e.hvs = bl.hvs;
    e.zeta = bl.zeta;
    ctx.cs.loaded = 0;
    qerdwn(ctx, 1, i);
}

void qerauf(RunContext& ctx, int j, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    DivisionData& dd = p.auf[static_cast<size_t>(e.iord)];
    BranchLoss& bl = dd.br[j];
    qerdwn(ctx, j, i);
    // the branch profile stands in the division's otherwise unused downstream
    // slot while the section is loaded
    const EndProfile keep = e.prof[kProfDown];
    copy_profile(e.prof[j == 2 ? kProfBranch2 : kProfBranch1], e.prof[kProfDown]);
    const float qb = e.iab[j] >= 1 ? p.el[e.iab[j]].res[2].Q : 0.0f;
    const float qd = e.res[2].Q;
    if (dd.tflag == 'T') {
        const float r = (qd <= 1e-4f) ? 1.0f : qb / qd;
        bl.zeta = zeta_from_table(bl.zt, r);
    }
    ctx.cs.loaded = 0;
    qergeo(ctx, "QERAUF", 2, i, e.L);
    e.prof[kProfDown] = keep;
    Qercmn& cs = ctx.cs;
    cs.c = bl.c;
    cs.hve = bl.hvs;
    cs.zeta1 = bl.zeta;
    cs.loaded = 0;
}

void qerver(RunContext& ctx, std::string_view name, int j, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    const Element& e = p.el[i];
    const int d = e.iab[j];
    if (d < 1) return;
    const Element& de = p.el[d];
    Qercmn& cs = ctx.cs;
    const EndResult& r = de.res[2];
    cs.sec[1].z = r.z;
    const bool freeWeir = de.ityp == T_U && de.iord >= 1 &&
                          static_cast<size_t>(de.iord) < p.ueb.size() &&
                          p.ueb[static_cast<size_t>(de.iord)].kind == 'F';
    if (de.ityp == T_W || de.ityp == T_T || freeWeir) {
        hvonhe(ctx, name, 1, i, 0.0f, r.he);
        return;
    }
    Section& s1 = cs.sec[1];
    s1.h = r.h;
    s1.A = r.A;
    s1.v = r.v;
    s1.dhy = r.dhy;
    s1.I = r.I;
    s1.he = r.he;
    qergeo(ctx, name, 1, i, 0.0f);
    if (ctx.failed()) return;
    cs.dx = 0.0f;
    hevgl(ctx, name, 1, i, 0.0f);
}

// ---------------------------------------------------------------------------

void qerwan(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    const Element& e = p.el[i];
    const WallData& w = p.wand[static_cast<size_t>(e.iord)];
    const int nOpen = std::max(w.n, 1);
    load_own_section(ctx, i, e.res[1].Q / static_cast<float>(nOpen));
    Qercmn& cs = ctx.cs;
    cs.T[0] = 'g';
    cs.n = 1;
    if (w.T == 'K') {
        // circular opening of diameter "h,D"
        cs.T[1] = 'K';
        cs.X = 0.5f * w.H;
        cs.H[1] = kTiny;
        cs.B[1] = kTiny;
        cs.H[2] = 0.5f * w.H;
        cs.B[2] = w.H;
    } else {
        cs.T[1] = 'T';
        cs.X = 0.0f;
        cs.H[1] = kTiny;
        cs.B[1] = std::min(w.BU, w.BO);
        cs.H[2] = w.H;
        cs.B[2] = std::max(w.BU, w.BO);
    }
    cs.Htop = cs.X + cs.H[2];
    profile_type(cs);
    mquer(ctx);
    hgrenz(ctx);
    cs.loaded = 0;
}

void qertau(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    const Element& e = p.el[i];
    const TubeData& t = p.tau[static_cast<size_t>(e.iord)];
    const int nTubes = std::max(t.n, 1);
    load_own_section(ctx, i, e.res[1].Q / static_cast<float>(nTubes));
    Qercmn& cs = ctx.cs;
    const EndProfile& pr = e.prof[kProfDown];
    cs.T[0] = pr.T[0];
    cs.T[1] = pr.T[1];
    qerprf(ctx, 1, i, 0.0f);
    mquer(ctx);
    hgrenz(ctx);
    cs.loaded = 0;
}

}  // namespace rivola::hyd
