#include "checks/pruefung.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>

#include "messages/m_rivola_error.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_files.h"
#include "support/m_strings.h"
#include "messages/m_realwin.h"

namespace rivola::checks {

namespace {


const std::string& des(const Plant& p, int i) {
    const Element& e = p.el[i];
    return e.bez_lang.empty() ? e.bez : e.bez_lang;
}

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

bool stopped(const RunContext& ctx) { return ctx.run.ierr >= 2; }

// The failure line of a check on the screen log when it ends at error level 2.
void failure_line(RunContext& ctx, int key) {
    if (stopped(ctx)) ui::screen_dlgedit(ctx, key);
}

bool weir_or_wall(int ityp) { return ityp == T_U || ityp == T_W; }

bool nonneg(float v) { return v > -kTiny; }

// ---- profiles as prepared by the GEO set-up (before normalisation) ----

float top_h(const EndProfile& pr) { return pr.n > 0 ? pr.H[pr.n] : kMissing; }
float top_b(const EndProfile& pr) { return pr.n > 0 ? pr.B[pr.n] : kMissing; }
bool closed(const EndProfile& pr) { return pr.T[0] == 'g'; }

// The profiles of an element that carry its geometry: a division its upstream
// end and two branch profiles, a confluence its downstream end and two branch
// profiles, any other element its two end profiles (upstream first).
int element_profiles(const Element& e, int slots[3]) {
    const char c = letter(e);
    if (e.ityp == T_A && c == 'A') {
        slots[0] = kProfUp, slots[1] = kProfBranch1, slots[2] = kProfBranch2;
        return 3;
    }
    if (e.ityp == T_Z && c == 'Z') {
        slots[0] = kProfDown, slots[1] = kProfBranch1, slots[2] = kProfBranch2;
        return 3;
    }
    slots[0] = kProfUp, slots[1] = kProfDown;
    return 2;
}

// Shape tests of one profile. `openRiseTest`: for divisions and confluences an
// open profile must not carry a rise; otherwise weirs, V and S flumes must not
// be closed. `heightWidth`: G21/G22 are tested.
void shape_checks(RunContext& ctx, int i, const EndProfile& pr, bool branchSet,
                  bool heightWidth) {
    const Plant& p = ctx.plant;
    const Element& e = p.el[i];
    const std::string& d = des(p, i);
    if (pr.T[1] != 'T' && pr.T[1] != 'K') report(ctx, "G14", d);
    if (branchSet) {
        if (!closed(pr) && given(pr.HS) && pr.HS > kTiny) report(ctx, "G15", d);
    } else {
        const char c = letter(e);
        if ((e.ityp == T_U || c == 'V' || c == 'S') && closed(pr)) report(ctx, "G15", d);
    }
    const float tb = top_b(pr);
    if (closed(pr) && given(pr.HS) && given(tb) && pr.HS > 0.5f * tb + kTiny) report(ctx, "G16", d);
    if (!branchSet && pr.T[1] == 'K' && given(pr.H[1]) && given(pr.B[1]) &&
        pr.H[1] > 0.5f * pr.B[1] + kTiny)
        report(ctx, "G17", d);
    for (int j = 2; j <= pr.n; ++j) {
        if (pr.H[j] < pr.H[j - 1] - kTiny) {
            report(ctx, "G19", d);
            break;
        }
    }
    if (heightWidth) {
        const float th = top_h(pr);
        if (!given(th) || th <= kTiny) report(ctx, "G21", d);
        if (!given(tb) || tb <= -kTiny) report(ctx, "G22", d);
    }
}

// Top width of the upstream profile of an element (its crest or wall width).
float upstream_width(const Element& e) { return top_b(e.prof[kProfUp]); }

// Profile of element u through which the water reaches element i: for a
// division (letter A) the branch towards i, otherwise u's downstream end.
const EndProfile& outflow_profile(const Plant& p, int u, int i) {
    const Element& eu = p.el[u];
    if (eu.ityp == T_A && letter(eu) == 'A')
        return eu.prof[eu.iab[2] == i && eu.iab[1] != i ? kProfBranch2 : kProfBranch1];
    return eu.prof[kProfDown];
}

// Invert at which element i discharges into element d: for a confluence
// (letter Z) the invert of the branch through which i enters.
float inflow_invert(const Plant& p, int d, int i) {
    const Element& ed = p.el[d];
    if (ed.ityp == T_Z && letter(ed) == 'Z')
        return ed.prof[ed.izu[2] == i && ed.izu[1] != i ? kProfBranch2 : kProfBranch1].Z;
    return ed.prof[kProfUp].Z;
}

// Height of the top of a normalised profile above its invert.
float profile_height(const EndProfile& pr) {
    if (pr.n < 0 || pr.n > 6) return 0.0f;
    return pr.H[pr.n] + (closed(pr) ? pr.HS : 0.0f);
}

}  // namespace

// ---------------------------------------------------------------------------

void prumax(RunContext& ctx) {
    Plant& p = ctx.plant;
    struct Cap {
        int count;
        int cap;
        const char* de;
        const char* en;
    };
    const Cap caps[] = {
        {p.ntyp[T_G], cmn::maxG, "Gerinnen", "G-elements(flumes)"},
        {p.ntyp[T_D], cmn::maxD, "Rohrleitungen", "D-elements(pressure pipes)"},
        {p.ntyp[T_B], cmn::maxB, "Becken", "B-elements(basins)"},
        {p.ntyp[T_V], cmn::maxV, "Verteilrinnen", "V-elements(distribution flumes)"},
        {p.ntyp[T_S], cmn::maxS, "Sammelrinnen", "S-elements(collection flumes)"},
        {p.ntyp[T_Q], cmn::maxQ, "Einzeleinleitungen", "Q-elements(in-/outlets)"},
        {p.ntyp[T_R], cmn::maxR, "Rechen", "R-elements(screens)"},
        {p.ntyp[T_U], cmn::maxU, "Überfällen", "U-elements(weirs)"},
        {p.ntyp[T_W], cmn::maxW, "Wänden", "W-elements(walls)"},
        {p.ntyp[T_T], cmn::maxT, "Tauchrohren", "T-elements(immersion tubes)"},
        {p.ntyp[T_M], cmn::maxM, "Meßstellen", "M-elements(measurement flumes)"},
        {p.ntyp[T_P], cmn::maxP, "Pumpen", "P-elements(pumps"},
        {p.ntyp[T_A], cmn::maxA, "Aufteilungen", "A-elements(divisions)"},
        {p.ntyp[T_Z], cmn::maxZ, "Zusammenflüssen", "Z-elements(confluences)"},
        {p.niter, cmn::maxIter, "offenen Aufteilg.", "free divisions"},
    };
    const bool en = !support::contains(ctx.settings.language, "DEU") &&
                    support::contains(ctx.settings.language, "ENG");
    for (const Cap& c : caps)
        if (c.count > c.cap) report(ctx, "max", en ? c.en : c.de, {}, {}, c.cap);
    if (!stopped(ctx)) p.hasAZ = p.ntyp[T_A] + p.ntyp[T_Z] >= 1;
}

// ---------------------------------------------------------------------------

void prusys(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    const bool en = ctx.english();
    auto finish = [&]() { failure_line(ctx, 31); };

    // Elements without a 1st inlet (system inlets) and without a 1st outlet
    // (system outlets): the plant may have only one of each.
    for (int pass = 0; pass < 2; ++pass) {
        const char* what = pass == 0 ? (en ? "system inlet:" : "Systemeingang:")
                                     : (en ? "system outlet:" : "Systemausgang:");
        int count = 0, first = 0;
        for (int i = 1; i <= n; ++i) {
            const Element& e = p.el[i];
            if ((pass == 0 ? e.izu[1] : e.iab[1]) != 0) continue;
            if (++count == 1) {
                first = i;
                continue;
            }
            if (count == 2) report(ctx, "S01", des(p, first), what, {}, 1);
            report(ctx, "S01", des(p, i), what, {}, count);
        }
    }
    if (stopped(ctx)) return finish();
    if (n < 1 || p.el[1].ityp != T_Q) report(ctx, "S04");
    if (n > cmn::maxsys) report(ctx, "S06", des(p, cmn::maxsys + 1), {}, {}, n);
    if (stopped(ctx)) return finish();

    std::unordered_set<std::string> names;
    names.reserve(static_cast<size_t>(n) * 2 + 1);
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        const std::string& d = des(p, i);
        if (!names.insert(e.bez).second) report(ctx, "S09", d);
        if (stopped(ctx)) return finish();
        if (i == 1) {
            if (e.izu[1] != 0 || e.izu[2] != 0) report(ctx, "S10", d);
        } else {
            if (e.izu[1] == 0) report(ctx, "S11", d, {}, {}, 1);
            if (stopped(ctx)) return finish();
            if (e.iab[1] == 0 && i != n) report(ctx, "S12", d, {}, {}, 1);
        }
        if (stopped(ctx)) return finish();

        auto typ = [&](int k) { return k > 0 ? p.el[k].ityp : -1; };
        switch (e.ityp) {
            case T_D:
                if (weir_or_wall(typ(e.iab[1]))) report(ctx, "S08", d, des(p, e.iab[1]));
                break;
            case T_V:
                if (!weir_or_wall(typ(e.iab[1]))) report(ctx, "S19", d);
                break;
            case T_S:
                if (!weir_or_wall(typ(e.izu[1]))) report(ctx, "S20", d);
                break;
            case T_A:
                if (e.iab[2] == 0) report(ctx, "S12", d, {}, {}, 2);
                else if (e.izu[2] != 0) report(ctx, "S13", d);  // a division has one inlet
                break;
            case T_Z:
                if (e.izu[2] == 0) report(ctx, "S11", d, {}, {}, 2);
                if (stopped(ctx)) return finish();
                for (int j = 1; j <= 2; ++j)
                    if (typ(e.izu[j]) == T_A) {
                        report(ctx, "S17", d, des(p, e.izu[j]));
                        break;
                    }
                if (!stopped(ctx) && e.iab[2] != 0) report(ctx, "S13", d);  // one outlet
                break;
            case T_Q: break;
            default:
                if (e.izu[2] != 0 || e.iab[2] != 0) report(ctx, "S13", d);
                break;
        }
        if (stopped(ctx)) return finish();
        if (e.ityp == T_A && letter(e) == 'V') {
            const DivisionSetting& s = p.aufteilung[e.iord];
            if (!s.out1WeirOrWall && !s.out2WeirOrWall) report(ctx, "S19", d);
        } else if (e.ityp == T_Z && letter(e) == 'S') {
            const ConfluenceSetting& s = p.zusammen[e.iord];
            if (!s.in1WeirOrWall && !s.in2WeirOrWall) report(ctx, "S20", d);
        }
        if (stopped(ctx)) return finish();
    }

    // The last element must be able to hand the water out of the plant.
    const int lt = p.el[n].ityp;
    if ((lt >= T_Q && lt <= T_T) || lt == T_P || lt >= T_A) report(ctx, "S18", des(p, n));
    if (stopped(ctx)) return finish();

    // The order of the table is the order of the flow: inlets come earlier,
    // outlets later. This also rules out an element feeding itself and any
    // cycle of elements.
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        const int links = e.ityp >= T_A ? 2 : 1;
        for (int j = 1; j <= links; ++j) {
            const int k = e.izu[j];
            if (k != 0 && k >= i) {
                report(ctx, "S23", des(p, k), des(p, i), des(p, k));
                return finish();
            }
            const int m = e.iab[j];
            if (m != 0 && m <= i) {
                report(ctx, "S24", des(p, m), des(p, i), des(p, m));
                return finish();
            }
        }
    }

    // Every link must be named from both sides.
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        for (int j = 1; j <= 2; ++j) {
            const int k = e.izu[j];
            if (k != 0 && p.el[k].iab[1] != i && p.el[k].iab[2] != i) {
                report(ctx, "S25", des(p, i), des(p, k));
                return finish();
            }
        }
        if (i == n) continue;
        for (int j = 1; j <= 2; ++j) {
            const int k = e.iab[j];
            if (k != 0 && p.el[k].izu[1] != i && p.el[k].izu[2] != i) {
                report(ctx, "S26", des(p, i), des(p, k));
                return finish();
            }
        }
    }
    finish();
}

// ---------------------------------------------------------------------------

void prudim(RunContext& ctx, int i) {
    const Element& e = ctx.plant.el[i];
    const GeoInput& g = e.geo;
    const std::string& d = des(ctx.plant, i);
    // A value not given is no value; invert levels and roughness may be of any sign.
    auto check = [&](float v, const std::string& column) {
        if (given(v) && v < -kTiny) report(ctx, "G53", d, column, {}, 0, v);
    };
    check(g.L, "GEO_L");
    const GeoProfileInput* profiles[4] = {&g.o1, &g.u1, &g.o2, &g.u2};
    for (int p = 0; p < 4; ++p) {
        const std::string side = p % 2 == 0 ? "o" : "u", branch = std::to_string(p / 2 + 1);
        const GeoProfileInput& q = *profiles[p];
        check(q.HS, "GEO_" + side + "HS" + branch);
        for (int k = 1; k <= cmn::maxLayers; ++k) {
            check(q.H[k], "GEO_" + side + "H" + branch + std::to_string(k));
            check(q.B[k], "GEO_" + side + "B" + branch + std::to_string(k));
        }
    }
}

// ---------------------------------------------------------------------------

void prugeo(RunContext& ctx) {
    Plant& p = ctx.plant;
    const BaseSettings& all = p.all;
    const int n = p.nsys;
    auto finish = [&]() { failure_line(ctx, 32); };

    // First pass: each element by itself.
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        const std::string& d = des(p, i);
        const char c = letter(e);
        const bool trueAZ = (e.ityp == T_A && c == 'A') || (e.ityp == T_Z && c == 'Z');
        const EndProfile& up = e.prof[kProfUp];
        const EndProfile& dn = e.prof[kProfDown];
        const float L = e.geo.L;

        if (i != 1 && !trueAZ && (up.T[0] != dn.T[0] || up.T[1] != dn.T[1])) report(ctx, "G10", d);
        if (c == 'G' && up.Z < dn.Z) report(ctx, "W27", d);
        if (L > all.Lmax) report(ctx, "W20", d, {}, {}, 0, all.Lmax);
        if ((e.ityp == T_B || e.ityp == T_M || c == 'V' || c == 'S') && L <= kTiny)
            report(ctx, "G24", d);
        if ((e.ityp == T_U || e.ityp == T_W || c == 'A' || c == 'Z') && L > kTiny)
            report(ctx, "G23", d);

        const bool rough = (e.ityp >= T_G && e.ityp <= T_S) || e.ityp == T_R || e.ityp == T_M ||
                           (e.ityp == T_A && c == 'V') || (e.ityp == T_Z && c == 'S');
        if (rough) {
            const float k = e.geo.K;
            if (k <= 19.0f) {
                if (k < 0.009f || k > 5.01f) report(ctx, "G12", d);
            } else if (k < 19.9f || k > 100.1f) {
                report(ctx, "G11", d);
            }
        }
        for (float cb : {e.geo.C, e.ityp == T_A ? e.geo.C2 : 0.0f}) {
            if (cb > 2.0f) report(ctx, "G13", d);
            if (cb > 1.25f) report(ctx, "W28", d);
        }

        if (e.ityp < T_A || c == 'V' || c == 'S') {
            shape_checks(ctx, i, up, false, true);
            shape_checks(ctx, i, dn, false, i != 1);
        } else if (trueAZ) {
            int slots[3];
            element_profiles(e, slots);
            for (int s : slots) shape_checks(ctx, i, e.prof[s], true, true);
        }
    }
    if (stopped(ctx)) return finish();

    // Second pass: a distribution flume is as long as the walls or weirs it
    // feeds are wide; a collection flume likewise.
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        const char c = letter(e);
        if (c != 'V' && c != 'S') continue;
        for (int j = 1; j <= 2; ++j) {
            const int k = c == 'V' ? e.iab[j] : e.izu[j];
            if (k == 0) continue;
            const bool single = (c == 'V' && e.ityp == T_V) || (c == 'S' && e.ityp == T_S);
            if (single && j == 2) continue;
            if (!single && !weir_or_wall(p.el[k].ityp)) continue;
            const float w = upstream_width(p.el[k]);
            if (std::fabs(e.geo.L - w) > kTiny) report(ctx, c == 'V' ? "G41" : "G42", des(p, k));
        }
    }
    if (stopped(ctx)) return finish();

    // Third pass: measurement flumes are rectangular and open.
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        if (e.ityp != T_M) continue;
        const EndProfile& up = e.prof[kProfUp];
        const EndProfile& dn = e.prof[kProfDown];
        const std::string& d = des(p, i);
        if (up.T[0] != dn.T[0] || up.T[1] != dn.T[1]) {
            report(ctx, "G30", d);
        } else if (closed(up) || up.T[1] == 'K' || dn.T[1] == 'K') {
            report(ctx, "G32", d);
        } else {
            bool rect = up.T[1] == 'T' && dn.T[1] == 'T';
            for (const EndProfile* pr : {&up, &dn})
                if (pr->n >= 1 && top_b(*pr) > pr->B[1] + kTiny) rect = false;
            if (!rect) report(ctx, "G31", d);
        }
    }
    if (stopped(ctx)) return finish();

    // Fourth pass: the whole plant.
    float zmin = 0.0f, zmax = 0.0f;
    int imin = 0, imax = 0;
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        int slots[3];
        int ns = element_profiles(e, slots);
        for (int s = 0; s < ns; ++s) {
            const float z = e.prof[slots[s]].Z;
            if (!given(z)) continue;
            if (imin == 0 || z < zmin) zmin = z, imin = i;
            if (imax == 0 || z > zmax) zmax = z, imax = i;
        }
    }
    if (imin > 0 && zmax - zmin > all.DIFFmax)
        report(ctx, "W21", des(p, imin), des(p, imax), {}, 0, zmax - zmin);

    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        const char c = letter(e);
        if (c == 'U' && e.iab[1] > 0 && e.prof[kProfDown].Z < inflow_invert(p, e.iab[1], i) + 0.005f)
            report(ctx, "G52", des(p, i));
        if (c == 'B' || c == 'Q' || c == 'U' || c == 'W' || c == 'P' || c == 'A') continue;
        int slots[3];
        int ns = element_profiles(e, slots);
        if (c == 'Z') ns = 1;
        else ns = std::min(ns, 2);
        for (int s = 0; s < ns; ++s) {
            const EndProfile& pr = e.prof[slots[s]];
            // The height of a closed conduit includes its crown: a pipe
            // given by its diameter is as high as it is wide.
            const float tb = top_b(pr);
            const float th = top_h(pr) + (closed(pr) && given(pr.HS) ? pr.HS : 0.0f);
            const std::string& d = des(p, i);
            if (tb > all.Bmax) report(ctx, "W23", d, {}, {}, 0, all.Bmax);
            if (tb < all.Bmin) report(ctx, "W24", d, {}, {}, 0, all.Bmin);
            if (th > all.Hmax + kTiny) report(ctx, "W25", d, {}, {}, 0, all.Hmax);
            if (th < all.Hmin) report(ctx, "W26", d, {}, {}, 0, all.Hmin);
        }
    }

    // What is not given counts as 0 in the computations.
    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        if (!given(e.geo.L)) e.geo.L = 0.0f;
        for (int s = 1; s <= 4; ++s) {
            EndProfile& pr = e.prof[s];
            if (!given(pr.HS)) pr.HS = 0.0f;
            if (!given(pr.Z)) pr.Z = 0.0f;
            for (int j = 0; j <= 6; ++j) {
                if (!given(pr.H[j])) pr.H[j] = 0.0f;
                if (!given(pr.B[j])) pr.B[j] = 0.0f;
            }
        }
    }
    finish();
}

// ---------------------------------------------------------------------------

void pruhve(RunContext& ctx) {
    Plant& p = ctx.plant;
    indx(p, p.nsys);
    const int n = p.nsys;
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        const HveInput& h = e.hve;
        const std::string& d = des(p, i);
        const char c = letter(e);
        const int t = e.ityp;
        const bool azLetter = c == 'A' || c == 'Z';
        const bool vsLetter = c == 'V' || c == 'S';
        const bool hve = given(h.HVE), z1 = given(h.zeta1[1]), z1b = given(h.zeta2[1]);
        const bool hD = nonneg(h.H), bu = nonneg(h.BU), bo = nonneg(h.BO), nn = nonneg(h.N),
                   aa = nonneg(h.A);
        const bool dims = hD || bu || bo || nn || aa;
        const char kind = h.T.empty() ? ' ' : h.T[0];

        if (t != T_R && hve) report(ctx, "H14", d);
        if (vsLetter) {
            if (dims || hve || z1) report(ctx, "H20", d);
        } else if (t == T_G || t == T_D || t == T_B || t == T_Q || t == T_R || azLetter) {
            if (dims) report(ctx, "H10", d);
        }
        if (t == T_R) {
            if (!hve && !z1) report(ctx, "H30", d);
            if (hve && h.HVE < 0.001f) report(ctx, "H32", d);
        } else if (azLetter) {
            if (hve && (z1 || z1b)) report(ctx, "H11", d);
        } else if (t != T_U) {
            if (hve && z1) report(ctx, "H11", d);
        }
        switch (t) {
            case T_U:
                if (hve) report(ctx, "H40", d);
                if (kind != 'T') report(ctx, "H41", d);
                if (given(h.n_c) && (h.n_c < 1.39f || h.n_c > 16.1f))
                    report(ctx, "H45", d, {}, {}, 0, h.n_c);
                break;
            case T_W:
                if (kind != 'T' && kind != 'K') report(ctx, "H50", d);
                if (!dims) report(ctx, "H51", d);
                if (kind == 'T' && (!given(h.H) || !given(h.BU))) report(ctx, "H52", d);
                if (kind == 'K' && (given(h.BU) || given(h.BO))) report(ctx, "H53", d);
                break;
            case T_T:
                if (!nn) report(ctx, "H60", d);
                if (z1) {
                    if (kind != 'T' && kind != 'K') report(ctx, "H61", d);
                    if (!given(h.H)) report(ctx, "H62", d);
                    if (kind == 'T' && (!given(h.H) || !given(h.BU))) report(ctx, "H63", d);
                    if (kind == 'K' && (given(h.BU) || given(h.BO))) report(ctx, "H64", d);
                    if (!given(h.A)) report(ctx, "H65", d);
                    if (given(h.H) && profile_height(e.prof[kProfUp]) <= h.H + kTiny)
                        report(ctx, "H69", d);
                }
                break;
            case T_M:
                if (kind != 'T') report(ctx, "H70", d);
                if (!given(h.BU)) report(ctx, "H71", d);
                if (nn || given(h.A)) report(ctx, "H72", d);
                break;
            case T_P:
                if (aa || nn || bu || bo || hve || z1) report(ctx, "H80", d);
                if (!given(h.H)) report(ctx, "H81", d);
                break;
            default: break;
        }
        if (azLetter && z1) {
            if (!z1b) {
                report(ctx, "H12", d);
            } else {
                const bool second = given(h.zeta1[2]) || given(h.zeta2[2]);
                const bool sixth = given(h.zeta1[6]) && given(h.zeta2[6]);
                if (second && !sixth) report(ctx, "H13", d);
            }
        }
    }
    if (stopped(ctx)) return;

    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        const HveInput& h = e.hve;
        const char c = letter(e);
        const bool kindBlank = h.T.empty() || h.T[0] == ' ';
        e.hveData = !(!given(h.HVE) && !given(h.zeta1[1]) && !given(h.H) && !given(h.BU) &&
                      !given(h.BO) && !given(h.A) && !nonneg(h.N) && kindBlank);
        if (e.ityp >= T_R && e.ityp <= T_P && !e.hveData) report(ctx, "H02", des(p, i));
        if (c == 'A' || c == 'Z') {
            if (!given(h.HVE) && !given(h.zeta1[1])) e.hveData = false;
            if (!e.hveData) report(ctx, "W35", des(p, i));
        }
    }
}

// ---------------------------------------------------------------------------

void prumuw(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    auto finish = [&]() { failure_line(ctx, 34); };
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        const std::string& d = des(p, i);
        const int k = e.iord;
        switch (e.ityp) {
            case T_U: {
                const WeirData& w = p.ueb[k];
                if (!(w.mue >= 0.5f && w.mue <= 0.81f)) report(ctx, "H42", d);
                if (w.BO - w.BU < 0.0f) report(ctx, "H43", d);
                if (w.BO < kTiny) report(ctx, "H44", d);
                const float B = upstream_width(e);
                const float nt = w.N;
                if (w.A * (nt - 1.0f) + w.BO - kTiny - B > kTiny) {
                    report(ctx, "W30", d);
                } else if (w.A * nt + kTiny > kTiny && w.A * nt + kTiny - B < -kTiny) {
                    report(ctx, "W30", d);
                }
                break;
            }
            case T_W: {
                const WallData& w = p.wand[k];
                if (w.H < kTiny) report(ctx, "H51", d);
                if (w.T == 'T' && std::max(w.BU, w.BO) < kTiny) report(ctx, "H52", d);
                const float B = upstream_width(e);
                if ((w.T == 'K' && B < w.H * w.n) || (w.T == 'T' && B < std::max(w.BU, w.BO) * w.n))
                    report(ctx, "W31", d);
                if (e.zeta < 1.0f && !(e.hvs > kTiny)) report(ctx, "H55", d);
                break;
            }
            case T_M: {
                const HveInput& h = e.hve;
                const MeasFlumeData& m = p.mes[k];
                const float dz = e.prof[kProfUp].Z - e.prof[kProfDown].Z;
                if (m.s - dz > kTiny) report(ctx, "H73", d);
                const char kind = h.T.empty() ? ' ' : h.T[0];
                const float bo = given(h.BO) ? h.BO : h.BU;
                if (kind == 'T' && std::fabs(h.BU - bo) > kTiny) report(ctx, "H74", d);
                if (kind == 'K' && h.BU > kTiny) report(ctx, "H75", d);
                break;
            }
            case T_P: {
                const PumpData& pu = p.pumpe[k];
                if (pu.H < kTiny) {
                    report(ctx, "H81", d);
                    break;
                }
                const float E = e.prof[kProfUp].Z + pu.H;
                bool warn = false;
                if (e.izu[1] > 0) {
                    const EndProfile& pin = outflow_profile(p, e.izu[1], i);
                    const float G = pin.Z + (pin.n > 0 ? pin.H[pin.n] : 0.0f);
                    if (E > G && !closed(pin)) warn = true;
                }
                if (e.iab[1] > 0 && E > inflow_invert(p, e.iab[1], i)) warn = true;
                if (warn) report(ctx, "W32", d);
                break;
            }
            default: break;
        }
    }
    finish();
}

// ---------------------------------------------------------------------------

void del_pru(RunContext&) {
    for (const char* f : {"####.WEG", "####.GEO", "####.HVE", "####.ALL", "####.VAR"})
        if (support::file_exists(f)) support::remove_file(f);
}

}  // namespace rivola::checks
