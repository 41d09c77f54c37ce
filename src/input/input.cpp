#include "input/input.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "messages/m_rivola_error.h"
#include "checks/pruefung.h"
#include "input/logik.h"
#include "database/m_db_input.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"
#include "messages/m_realwin.h"

namespace rivola::input {

using checks::report;

namespace {


const std::string& des(const Plant& p, int i) {
    const Element& e = p.el[i];
    return e.bez_lang.empty() ? e.bez : e.bez_lang;
}

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }
char first_char(const std::string& s) { return s.empty() ? ' ' : s[0]; }
bool stopped(const RunContext& ctx) { return ctx.run.ierr >= 2; }

// A name of an inlet or outlet must begin with a type letter, "-" or "+".
bool link_name_ok(const std::string& name) {
    const char c = first_char(name);
    return (c != ' ' && std::string(kTypeLetters).find(c) != std::string::npos) || c == '-' ||
           c == '+';
}

bool true_division(const Element& e) { return e.ityp == T_A && letter(e) == 'A'; }
bool true_confluence(const Element& e) { return e.ityp == T_Z && letter(e) == 'Z'; }

}  // namespace

// ---------------------------------------------------------------------------

void inall(RunContext& ctx) {
    const BaseSettings& a = ctx.plant.all;
    if (a.Vmax < a.Vmin || a.Vmax < 0.01f) report(ctx, "W10");
    if (a.Bmax < a.Bmin || a.Bmax < 0.01f) report(ctx, "W11");
    if (a.Hmax < a.Hmin || a.Hmax < 0.01f) report(ctx, "W12");
}

// ---------------------------------------------------------------------------

void insys(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    p.anyOutErk = false;
    p.ntyp.fill(0);
    p.heber = SiphonWeirs{};
    p.schuetzPresent = false;
    p.niter = 0;

    bool endFound = false;
    bool prevDHeber = false;
    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        e.kurzbez.clear();
        const char c = letter(e);
        int t = ityp_of_letter(c);
        if (t == T_V && !e.ablauf2.empty()) t = T_A;
        if (t == T_S && !e.zulauf2.empty()) t = T_Z;
        e.ityp = t;
        if (t > 0) e.iord = ++p.ntyp[t];
        else e.iord = 0;
        if (t == T_A && c == 'V') ++p.ntyp[T_V];
        if (t == T_Z && c == 'S') ++p.ntyp[T_S];

        if (t == T_D) {
            const bool heber = support::contains(support::upper(e.beschreibung), "#HEBER");
            if (heber) {
                p.heber.present = true;
                e.kurzbez = "Heber";
                if (!prevDHeber) {
                    if (p.heber.n >= cmn::maxHeber) {
                        report(ctx, "max", ctx.english() ? "siphon weirs" : "Heberwehren", {}, {},
                               cmn::maxHeber);
                        ctx.run.ierr = std::max(ctx.run.ierr, 2);
                        return;
                    }
                    p.heber.first[++p.heber.n] = i;
                }
                p.heber.last[p.heber.n] = i;
            }
            prevDHeber = heber;
        }

        // Elements after the one that ends the system are not part of it;
        // the end element itself still is.
        if (endFound) continue;
        if (e.ablauf1 == "ENDE") endFound = true;

        if (t < 20 && (!e.zulauf2.empty() || !e.ablauf2.empty())) report(ctx, "S02", des(p, i));
        if (t == T_A && e.ablauf2.empty()) report(ctx, "S14", des(p, i));
        if (t == T_Z && e.zulauf2.empty()) report(ctx, "S15", des(p, i));
        if (stopped(ctx)) return;

        if (e.out_erk == 'J') p.anyOutErk = true;
        e.erk2 = e.out_erk == 'X' || e.out_erk == 'x';
        e.tauflag = e.out_tau == 'J';
    }

    if (!endFound) {
        ui::screen_dlgedit(ctx, 40);
        ctx.run.ierr = std::max(ctx.run.ierr, 2);
        return;
    }

    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        if (e.ityp == T_W && support::contains(support::upper(e.beschreibung), "#SCHUETZ")) {
            e.kurzbez = "Schuetz";
            p.schuetzPresent = true;
        }
    }

    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        if (!e.zulauf1.empty() && !link_name_ok(e.zulauf1)) report(ctx, "S07", des(p, i), e.zulauf1);
        if (!e.ablauf1.empty() && !link_name_ok(e.ablauf1)) report(ctx, "S08", des(p, i), e.ablauf1);
    }
    resolve_links(ctx);

    // Per-type tables by type ordinal.
    p.aufteilung.assign(static_cast<size_t>(p.ntyp[T_A]) + 1, DivisionSetting{});
    p.zusammen.assign(static_cast<size_t>(p.ntyp[T_Z]) + 1, ConfluenceSetting{});
    p.auf.assign(static_cast<size_t>(p.ntyp[T_A]) + 1, DivisionData{});
    p.zus.assign(static_cast<size_t>(p.ntyp[T_Z]) + 1, ConfluenceData{});
    p.ueb.assign(static_cast<size_t>(p.ntyp[T_U]) + 1, WeirData{});
    p.wand.assign(static_cast<size_t>(p.ntyp[T_W]) + 1, WallData{});
    p.tau.assign(static_cast<size_t>(p.ntyp[T_T]) + 1, TubeData{});
    p.mes.assign(static_cast<size_t>(p.ntyp[T_M]) + 1, MeasFlumeData{});
    p.pumpe.assign(static_cast<size_t>(p.ntyp[T_P]) + 1, PumpData{});
    p.rec.assign(static_cast<size_t>(p.ntyp[T_R]) + 1, ScreenData{});

    auto weirOrWall = [&](int k) { return k > 0 && (p.el[k].ityp == T_U || p.el[k].ityp == T_W); };
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        if (e.ityp == T_A) {
            const int k = e.iord;
            p.auf[k].isys = i;
            bool percentOk = true;
            DivisionSetting& s = p.aufteilung[k];
            division_setting(e.aufteilung1, e.aufteilung2, p.niter, s, percentOk);
            if (!percentOk) report(ctx, "S16", des(p, i));
            if (!e.ablauf2.empty() && !link_name_ok(e.ablauf2)) report(ctx, "S08", des(p, i), e.ablauf2);
            if (letter(e) == 'V') {
                s.out1WeirOrWall = weirOrWall(e.iab[1]);
                s.out2WeirOrWall = weirOrWall(e.iab[2]);
            }
        } else if (e.ityp == T_Z) {
            const int k = e.iord;
            p.zus[k].isys = i;
            if (letter(e) == 'S') {
                p.zusammen[k].in1WeirOrWall = weirOrWall(e.izu[1]);
                p.zusammen[k].in2WeirOrWall = weirOrWall(e.izu[2]);
            }
        }
    }

    if (stopped(ctx)) {
        ui::screen_dlgedit(ctx, 31);
        return;
    }
    checks::prumax(ctx);
    if (!stopped(ctx)) checks::prusys(ctx);
    if (!stopped(ctx)) strang(ctx);
    if (!stopped(ctx)) fliesslaenge(ctx);
    if (!stopped(ctx)) inqzu(ctx);
}

// ---------------------------------------------------------------------------

void inqzu(RunContext& ctx) {
    Plant& p = ctx.plant;
    const float f = q_factor(p.all.Q_ls);
    if (p.nsys < 1 || p.el[1].ityp != T_Q) report(ctx, "Q01");
    if (stopped(ctx)) {
        ui::screen_dlgedit(ctx, 33);
        return;
    }
    p.qzu.assign(static_cast<size_t>(p.ntyp[T_Q]) + 1, 0.0f);
    float sum = 0.0f;
    for (int i = 1; i <= p.nsys; ++i) {
        Element& e = p.el[i];
        if (e.ityp != T_Q) continue;
        if (!given(e.Q)) {
            report(ctx, "Q02", des(p, i));
            e.Q = 0.0f;
        }
        p.qzu[e.iord] = f * e.Q;
        sum += e.Q;
    }
    if (!(sum > -0.000001f)) report(ctx, "Q05");
    if (p.qzu[1] / f < -0.000001f) report(ctx, "Q09", des(p, 1));
    if (stopped(ctx)) ui::screen_dlgedit(ctx, 33);
}

// ---------------------------------------------------------------------------

namespace {

bool any_layer(const GeoProfileInput& g) {
    for (int j = 1; j <= cmn::maxLayers; ++j)
        if (given(g.H[j]) || given(g.B[j])) return true;
    return false;
}

bool any_data(const GeoProfileInput& g) {
    return given(g.Z) || !g.T.empty() || given(g.HS) || any_layer(g);
}

// A profile as the computations need it: invert, type characters (open 'o'
// or closed 'g'; bottom 'T', 'K' or what was given), rise and the layer
// pairs as given; n = the highest layer with a given height or width.
void prepare_profile(const GeoProfileInput& g, float z, char shape, EndProfile& pr) {
    pr = EndProfile{};
    pr.Z = z;
    pr.T[1] = shape;
    for (int j = 1; j <= cmn::maxLayers; ++j) {
        pr.H[j] = g.H[j];
        pr.B[j] = g.B[j];
        if (given(g.H[j]) || given(g.B[j])) pr.n = j;
    }
    pr.H[0] = pr.B[0] = kMissing;
    pr.H[6] = pr.B[6] = kMissing;
    if (shape == 'K' && !given(g.HS) && !given(g.H[1]) && given(g.B[1]) && g.B[1] > kTiny) {
        // A circle given by its diameter alone: a closed pipe.
        const float r = std::max(0.5f * g.B[1], kTiny);
        pr.HS = r;
        pr.H[1] = r;
        pr.T[0] = 'g';
    } else if (given(g.HS)) {
        pr.HS = std::max(g.HS, kTiny);
        pr.T[0] = 'g';
    } else {
        pr.HS = kTiny;
        pr.T[0] = 'o';
    }
}

float raised(float z, float bezug) { return given(z) ? z + bezug : z; }

}  // namespace

void ingeo(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    const float bezug = p.all.Bezug;
    indx(p, 0);
    float lastK = 0.0f;
    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        GeoInput& g = e.geo;
        const std::string& d = des(p, i);
        const bool div = true_division(e), conf = true_confluence(e);

        if (!given(g.o1.Z) && !given(g.o1.H[1]) && !given(g.o1.B[1])) report(ctx, "G01", d);

        // Which columns describe which profile: the "o" columns the upstream
        // side, the "u" columns the downstream side; the digit numbers the
        // branch. A division has its inlet profile o1 and the branch profiles
        // u1 (towards outlet 1) and u2 (outlet 2); a confluence its outlet
        // profile u1 and the branch profiles o1 (inlet 1) and o2 (inlet 2).
        if (div || conf) {
            const GeoProfileInput* three[3] = {&g.o1, &g.u1, div ? &g.u2 : &g.o2};
            for (const GeoProfileInput* q : three)
                if (!given(q->Z) || q->T.empty() || q->T[0] == ' ') {
                    report(ctx, "G03", d);
                    break;
                }
            if (conf && given(g.C2) && g.C2 > kTiny) report(ctx, "G04", d);
        } else if (e.ityp == T_U || e.ityp == T_W) {
            if (given(g.u1.Z) || (given(g.L) && g.L > kTiny) || given(g.u1.HS) || any_layer(g.u1))
                report(ctx, "G07", d);
        }
        if (!div && !conf && (any_data(g.o2) || any_data(g.u2))) report(ctx, "G08", d);
        checks::prudim(ctx, i);   // before what is not given becomes 0

        if (!given(g.L) || !(g.L > 0.0f)) g.L = 0.0f;
        e.L = g.L;

        if (given(g.K) && g.K > kTiny) lastK = g.K;
        else if (!given(g.K)) g.K = lastK;
        if (g.L > 0.01f && g.K < 0.001f) report(ctx, "G25", d);

        g.C = given(g.C) ? std::max(g.C, 0.00004f) : 0.0f;
        g.C2 = given(g.C2) ? std::max(g.C2, 0.00004f) : 0.0f;
        const int o1 = e.iab[1];
        if (e.ityp == T_W || (o1 > 0 && (p.el[o1].ityp == T_W || p.el[o1].ityp == T_T)))
            g.C = 0.00004f;

        if (div || conf) {
            const GeoProfileInput& own = div ? g.o1 : g.u1;
            const GeoProfileInput& b1 = div ? g.u1 : g.o1;
            const GeoProfileInput& b2 = div ? g.u2 : g.o2;
            const int ownSlot = div ? kProfUp : kProfDown;
            auto shape = [](const GeoProfileInput& q) { return q.T.empty() ? 'T' : q.T[0]; };
            prepare_profile(own, raised(own.Z, bezug), shape(own), e.prof[ownSlot]);
            prepare_profile(b1, raised(b1.Z, bezug), shape(b1), e.prof[kProfBranch1]);
            prepare_profile(b2, raised(b2.Z, bezug), shape(b2), e.prof[kProfBranch2]);
            // The unused end holds the invert of the first branch only.
            EndProfile& other = e.prof[div ? kProfDown : kProfUp];
            other = EndProfile{};
            other.Z = e.prof[kProfBranch1].Z;
            if (div) {
                p.auf[e.iord].br[1].c = g.C;
                p.auf[e.iord].br[2].c = g.C2;
            }
        } else {
            // An element described by its upstream profile alone keeps that
            // section over its whole length (weirs and walls always are).
            GeoProfileInput dn = g.u1;
            if (!given(dn.HS) && !any_layer(dn)) {
                dn.HS = g.o1.HS;
                dn.H = g.o1.H;
                dn.B = g.o1.B;
            }
            const float zo = g.o1.Z;
            const float zu = given(g.u1.Z) ? g.u1.Z : zo;
            const char so = (g.o1.T.empty() || g.o1.T[0] == ' ') ? 'T' : g.o1.T[0];
            const char su = (dn.T.empty() || dn.T[0] == ' ') ? so : dn.T[0];
            prepare_profile(g.o1, raised(zo, bezug), so, e.prof[kProfUp]);
            prepare_profile(dn, raised(zu, bezug), su, e.prof[kProfDown]);
            e.prof[kProfBranch1] = EndProfile{};
            e.prof[kProfBranch2] = EndProfile{};
        }
        if (stopped(ctx)) break;
    }
    if (stopped(ctx)) {
        ui::screen_dlgedit(ctx, 32);
        return;
    }

    checks::prugeo(ctx);
    if (stopped(ctx)) return;

    for (int i = 1; i <= n; ++i) {
        profil(ctx, i);
        if (stopped(ctx)) return;
    }
}

// ---------------------------------------------------------------------------

void profil_one(EndProfile& p, bool branch) {
    p.H[0] = kTiny;
    if (p.H[1] <= 2.0f * kTiny) {
        // the first pair describes the bottom itself: its width is the bottom
        // width and the pair is dropped
        p.B[0] = p.B[1];
        for (int j = 1; j <= 5; ++j) {
            p.H[j] = p.H[j + 1];
            p.B[j] = p.B[j + 1];
        }
        p.H[6] = 0.0f;
        p.B[6] = 0.0f;
    } else {
        p.B[0] = (p.T[1] == 'T') ? p.B[1] : kTiny;
    }
    p.n = branch ? 0 : 6;
    for (int j = 6; j >= 1; --j) {
        if (p.H[j] > 2.0f * kTiny) {
            p.n = j;
            break;
        }
    }
}

void profil(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    const char letter = e.bez.empty() ? ' ' : e.bez[0];
    if (e.ityp == T_A && letter != 'V') {
        profil_one(e.prof[kProfUp], false);
        profil_one(e.prof[kProfBranch1], true);
        profil_one(e.prof[kProfBranch2], true);
    } else if (e.ityp == T_Z && letter != 'S') {
        profil_one(e.prof[kProfDown], false);
        profil_one(e.prof[kProfBranch1], true);
        profil_one(e.prof[kProfBranch2], true);
    } else {
        profil_one(e.prof[kProfDown], false);
        profil_one(e.prof[kProfUp], false);
    }
}

// ---------------------------------------------------------------------------

namespace {

// Top height and width of a normalised profile.
float top_height(const EndProfile& pr) { return pr.n >= 0 && pr.n <= 6 ? pr.H[pr.n] : 0.0f; }
float top_width(const EndProfile& pr) { return pr.n >= 0 && pr.n <= 6 ? pr.B[pr.n] : 0.0f; }

// A loss coefficient as the computations take it: missing 0, a given value
// of (almost) 0 a small positive one so that it still counts as given.
float coefficient(float z) {
    if (!given(z)) return 0.0f;
    return std::fabs(z) < kTiny ? 0.00004f : z;
}

}  // namespace

void inhve(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    for (int i = 1; i <= n; ++i) p.el[i].hvs = p.el[i].zeta = 0.0f;
    for (DivisionData& a : p.auf)
        for (BranchLoss& b : a.br) b.hvs = b.zeta = 0.0f, b.zt.fill(0.0f);
    for (ConfluenceData& z : p.zus)
        for (BranchLoss& b : z.br) b.hvs = b.zeta = 0.0f, b.zt.fill(0.0f);

    checks::pruhve(ctx);
    if (stopped(ctx)) {
        ui::screen_dlgedit(ctx, 34);
        return;
    }

    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        const HveInput& h = e.hve;
        const int k = e.iord;
        e.hvs = given(h.HVE) ? h.HVE : 0.0f;
        e.zeta = coefficient(h.zeta1[1]);
        const float bu = h.BU;
        const float bo = given(h.BO) ? h.BO : h.BU;
        const char kind = h.T.empty() ? ' ' : h.T[0];
        const EndProfile& up = e.prof[kProfUp];

        switch (e.ityp) {
            case T_D:
                // A pipe collects the losses of all its fittings.
                for (int j = 2; j <= 6; ++j)
                    if (given(h.zeta1[j])) e.zeta += h.zeta1[j];
                for (int j = 1; j <= 6; ++j)
                    if (given(h.zeta2[j])) e.zeta += h.zeta2[j];
                break;
            case T_R:
                p.rec[k].dh = given(h.HVE) ? h.HVE : 0.0f;
                if (e.zeta != 0.0f) e.hvs = 0.0f;
                break;
            case T_U: {
                e.zeta = 0.0f;
                WeirData& w = p.ueb[k];
                w.mue = given(h.mue) ? h.mue : 0.0f;
                w.n_c = given(h.n_c) ? h.n_c : 0.0f;
                w.H = given(h.H) ? h.H : top_height(up);
                w.BU = given(bu) ? bu : top_width(up);
                w.BO = given(bo) ? bo : w.BU;
                w.N = (h.N >= 1.0f) ? std::round(h.N) : 1.0f;
                w.A = given(h.A) ? h.A : 0.0f;
                break;
            }
            case T_W: {
                WallData& w = p.wand[k];
                w.T = kind;
                w.H = given(h.H) ? h.H : 0.0f;
                const float b1 = given(bu) ? bu : 0.0f, b2 = given(bo) ? bo : b1;
                w.BU = std::min(b1, b2);
                w.BO = std::max(b1, b2);
                if (h.N >= 1.0f) {
                    w.n = static_cast<int>(std::lround(h.N));
                } else if (given(h.A) && h.A > kTiny) {
                    w.n = static_cast<int>(std::floor(top_width(up) / h.A + 0.0001f));
                } else {
                    w.n = 1;
                }
                w.n = std::max(w.n, 1);
                // A discharge coefficient asks for the outflow formula of the
                // openings; the user is told that it will be applied.
                w.mue = given(h.mue) ? h.mue : 0.0f;
                w.formula = w.mue > kTiny;
                if (w.formula) report(ctx, "W14", des(p, i));
                break;
            }
            case T_T: {
                TubeData& t = p.tau[k];
                t.n = h.N >= 1.0f ? static_cast<int>(std::lround(h.N)) : 1;
                t.T = kind;
                t.H = given(h.H) ? h.H : 0.0f;
                t.BU = given(bu) ? bu : 0.0f;
                t.BO = given(bo) ? bo : t.BU;
                t.a = given(h.A) ? h.A : 0.0f;
                t.fl = kind == 'K' ? 0.25f * 3.141593f * t.H * t.H : 0.5f * (t.BU + t.BO) * t.H;
                t.nl = t.a > kTiny ? static_cast<int>(std::floor(e.L / t.a + 0.0001f)) : 0;
                // The holes are computed only with a loss coefficient: then each
                // hole needs a cross-section, and the spacing must place at
                // least one hole on the tube.
                if (given(h.zeta1[1])) {
                    if (!(t.fl > kTiny)) report(ctx, "H67", des(p, i));
                    if (!(t.a > kTiny) || t.nl < 1) report(ctx, "H68", des(p, i));
                }
                break;
            }
            case T_M: {
                MeasFlumeData& m = p.mes[k];
                m.b = given(bu) ? bu : 0.0f;
                m.s = given(h.H) ? h.H : 0.0f;
                break;
            }
            case T_P: p.pumpe[k].H = given(h.H) ? h.H : 0.0f; break;
            case T_A:
            case T_Z: {
                BranchLoss* br = e.ityp == T_A ? p.auf[k].br.data() : p.zus[k].br.data();
                char& tflag = e.ityp == T_A ? p.auf[k].tflag : p.zus[k].tflag;
                bool table = true;
                for (int j = 1; j <= 4; ++j)
                    if (!given(h.zeta1[j]) || !given(h.zeta2[j])) table = false;
                tflag = table ? 'T' : 'F';
                if (table) {
                    for (int j = 1; j <= 6; ++j) {
                        br[1].zt[j] = given(h.zeta1[j]) ? h.zeta1[j] : 0.00004f;
                        br[2].zt[j] = given(h.zeta2[j]) ? h.zeta2[j] : 0.00004f;
                    }
                    br[1].zeta = br[1].zt[1];
                    br[2].zeta = br[2].zt[1];
                } else {
                    br[1].zeta = coefficient(h.zeta1[1]);
                    br[2].zeta = coefficient(h.zeta2[1]);
                }
                br[1].hvs = br[2].hvs = e.hvs;
                break;
            }
            default: break;
        }
    }
    if (!stopped(ctx)) checks::prumuw(ctx);
}

// ---------------------------------------------------------------------------

void read_variant(RunContext& ctx) {
    ctx.run.ierr = 0;
    ui::screen_dlgedit(ctx, 1);
    std::string status;
    inmdb(ctx, ctx.run.dbPath, status);
    if (status != "ok") {
        // The reader has told the user; a run without its variant goes no further.
        ctx.run.ierr = std::max(ctx.run.ierr, 3);
    }
}

void setup_links(RunContext& ctx) {
    if (!stopped(ctx)) inall(ctx);
    if (!stopped(ctx)) insys(ctx);
}

void setup_geometry(RunContext& ctx) {
    if (stopped(ctx)) return;
    ui::screen_dlgedit(ctx, 20);
    ingeo(ctx);
}

void setup_losses(RunContext& ctx) {
    if (stopped(ctx)) return;
    ui::screen_dlgedit(ctx, 21);
    inhve(ctx);
}

}  // namespace rivola::input
