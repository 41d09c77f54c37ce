// The water-level walk: passes over the elements against the flow, the
// dispatch by element type and the siphon-weir bookkeeping.
#include "hydraulics/hyawsp.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "messages/m_rivola_error.h"
#include "hydraulics/abfluss.h"
#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/division_convergence.h"
#include "hydraulics/lane_walk.h"
#include "hydraulics/pass_scope.h"
#include "support/constants.h"
#include "messages/services.h"
#include "model/context.h"

namespace rivola::hyd {

namespace {

// The current state at the start of a pass: the outlet end of the last element.
void load_boundary(RunContext& ctx) {
    const Plant& p = ctx.plant;
    const EndResult& r = p.el[p.nsys].res[1];
    sysdwn(ctx, p.nsys);
    ctx.cs.sec[2].Q = r.Q;
    for (int k = 1; k <= 5; ++k) ctx.cs.bem[k] = r.bem[k];
}

// An element the walk passes over (letter E, an observation point) takes the
// water level and energy level of the state below it at both of its ends, so
// that the element above it meets the water as if it discharged directly
// into the element below. One outside the flow path (no outlet) keeps its
// reset values.
void pass_over(RunContext& ctx, int i) {
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    if (i < p.nsys && e.iab[1] < 1) return;
    Section& below = ctx.cs.sec[1];  // its invert was set from the element below
    if (i < p.nsys) {
        qerdwn(ctx, 1, i);
        if (ctx.failed()) return;
    } else {  // the last element: the downstream boundary
        const EndResult& b = e.res[1];
        below.z = b.z;
        below.h = b.h;
        below.A = b.A;
        below.v = b.v;
        below.dhy = b.dhy;
        below.I = b.I;
        below.he = b.he;
    }
    const float level = below.z + below.h, head = below.he - below.h;
    for (int end = 1; end <= 2; ++end) {
        EndResult& r = e.res[end];
        if (i == p.nsys && end == 1) continue;  // the boundary of the run stays
        r.h = r.z == below.z ? below.h : std::max(level - r.z, 0.0f);
        r.he = r.h + head;
        r.A = below.A;
        r.v = below.v;
        r.dhy = below.dhy;
        r.I = below.I;
        r.Tau = 0.0f;
    }
    Section& cur = ctx.cs.sec[2];
    const EndResult& in = e.res[2];
    cur.z = in.z;
    cur.h = in.h;
    cur.A = in.A;
    cur.v = in.v;
    cur.dhy = in.dhy;
    cur.I = in.I;
    cur.he = in.he;
}

// Computes element i by its type; returns the next element number to compute.
int compute_element(RunContext& ctx, int i) {
    Plant& p = ctx.plant;
    WspTables& w = p.wsp;
    Element& e = p.el[i];
    switch (e.ityp) {
        case T_G:
        case T_B:
            hyaneu(ctx, i);
            hyatrs(ctx, i);
            break;
        case T_D: {
            const int s = w.heberCnt;
            if (s >= 1 && s <= p.heber.n && i == p.heber.last[s]) {
                hyaneu(ctx, i);
                const int first = p.heber.first[s];
                for (int j = i; j >= first && j >= 1; --j) {
                    if (ctx.failed()) return 0;
                    if (j != i) setnul(ctx, j);
                    hya_heber(ctx, s, j);
                }
                --w.heberCnt;
                return first - 1;
            }
            hyaneu(ctx, i);
            hyatrs(ctx, i);
            break;
        }
        case T_V:
            hyaver(ctx, i);
            break;
        case T_S:
            hyaneu(ctx, i);
            hyasam(ctx, i);
            break;
        case T_Q:
            hyaneu(ctx, i);
            if (i > 1) hyaqzu(ctx, i);
            break;
        case T_R: {
            hyaneu(ctx, i);
            if (e.zeta > kTiny) hyatrs(ctx, i);
            if (screen_difference(ctx, i) > kTiny) hyarec_wsp_diff(ctx, i);
            break;
        }
        case T_U:
            hyaueb(ctx, i);
            break;
        case T_W:
            hyawan(ctx, i);
            break;
        case T_T:
            hyatau(ctx, i);
            break;
        case T_M:
            hyaneu(ctx, i);
            hyames(ctx, i);
            break;
        case T_P:
            hyapum(ctx, i);
            break;
        case T_A:
            hyazwg(ctx, i);
            break;
        case T_Z:
            hyaneu(ctx, i);
            if (letter(e) == 'S')
                hyasam(ctx, i);
            else
                hyazus(ctx, i);
            break;
        default:  // type E and unknown letters: passed over without loss
            pass_over(ctx, i);
            break;
    }
    return i - 1;
}

}  // namespace

int ordinal(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    return i >= 1 && i <= p.nsys ? p.el[i].iord : 0;
}

void setnul(RunContext& ctx, int i) {
    Plant& p = ctx.plant;
    if (i < 1 || i > p.nsys) return;
    Element& e = p.el[i];
    e.HVK = e.HVE1 = e.HVU = 0.0f;
    for (int end = 1; end <= 2; ++end) {
        if (i == p.nsys && end == 1) continue;  // keeps the boundary remarks of start
        for (int k = 1; k <= 5; ++k) e.res[end].bem[k].clear();
    }
    // the stored values of the element's type: throat records of a measurement
    // flume, branch states of a division, inlet states of a confluence
    WspTables& w = p.wsp;
    const size_t k = static_cast<size_t>(e.iord);
    if (k > 0) {
        if (e.ityp == T_M && k < w.throat.size()) {
            w.throat[k] = {};
        } else if (e.ityp == T_A && k < p.auf.size()) {
            for (auto& b : p.auf[k].branch) b = {};
            if (k < w.div.size())
                for (auto& b : w.div[k].bem) b = {};
        } else if (e.ityp == T_Z && k < p.zus.size()) {
            for (auto& b : p.zus[k].inlet) b = {};
            if (k < w.conf.size()) w.conf[k] = {};
        }
    }
    ctx.cs.hvk = 0.0f;
    ctx.cs.hB = ctx.cs.hL = 0.0f;
    for (int k = 1; k <= 5; ++k) ctx.cs.bem[k].clear();
}

int ordinal_vs(const RunContext& ctx, int i) {
    const auto& o = ctx.plant.wsp.ordVS;
    return i >= 1 && i < static_cast<int>(o.size()) ? o[i] : 0;
}

void wsp_prepare(RunContext& ctx) {
    Plant& p = ctx.plant;
    WspTables& w = p.wsp;
    const int n = p.nsys;
    w.ordVS.assign(static_cast<size_t>(n) + 1, 0);
    std::array<int, kMaxItyp + 1> c{};
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        if (e.ityp > 0 && e.ityp <= kMaxItyp) ++c[e.ityp];
        const char l = letter(e);
        if (e.ityp == T_V || (e.ityp == T_A && l == 'V')) w.ordVS[i] = ++c[T_V];
        if (e.ityp == T_S || (e.ityp == T_Z && l == 'S')) w.ordVS[i] = ++c[T_S];
    }
    // c[T_V] and c[T_S] now count V and S letters, divisions and confluences
    // included, as the V and S tables do.
    w.throat.assign(static_cast<size_t>(c[T_M]) + 1, {});
    w.div.resize(static_cast<size_t>(c[T_A]) + 1);
    w.conf.assign(static_cast<size_t>(c[T_Z]) + 1, {});
    w.vflume.assign(static_cast<size_t>(c[T_V]) + 1, {});
    w.sflume.assign(static_cast<size_t>(c[T_S]) + 1, {});
    constexpr float kNotSearched = std::numeric_limits<float>::quiet_NaN();
    w.hfull.assign(static_cast<size_t>(n) + 1, {kNotSearched, kNotSearched, kNotSearched});

    for (int i = 1; i <= n; ++i)
        if (p.el[i].ityp == T_A) w.div[static_cast<size_t>(p.el[i].iord)].isys = i;

    // Invert levels of both ends, as the results show them.
    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        e.res[1].z = e.prof[kProfDown].Z;
        e.res[2].z = e.prof[kProfUp].Z;
    }
}

namespace {

// The user asked to cancel the run: it ends at once with level 3 and says so
// on the screen log. Asked before every pass and every 256 elements.
bool cancel_requested(RunContext& ctx) {
    if (!ctx.ui || !ctx.ui->cancelled()) return false;
    ctx.run.ierr = std::max(ctx.run.ierr, 3);
    ctx.ui->log(ctx.english() ? "calculation cancelled" : "Berechnung abgebrochen");
    return true;
}

// Computes the elements from `top` down to `bottom` in the current pass, or,
// with a pass scope, keeps those whose results cannot move. False when the
// run failed or was cancelled (`poll`: asked every 256 elements).
bool walk_elements(RunContext& ctx, PassScope* scope, PassScope::Walker& walker, int top, int bottom,
                   bool poll) {
    Plant& p = ctx.plant;
    const int pass = p.wsp.pass;
    for (int i = top, polled = 0; i >= bottom;) {
        if (poll && (++polled & 255) == 0 && cancel_requested(ctx)) return false;
        if (scope && !scope->needed(ctx, pass, i)) {
            scope->kept(walker, i);
            --i;
            continue;
        }
        if (scope) scope->resume(ctx, walker), scope->before(ctx, walker, i);
        setnul(ctx, i);
        // the discharge of the element and the invert it discharges into
        ctx.cs.sec[2].Q = p.el[i].res[1].Q;
        ctx.cs.sec[1].z = zsohle(ctx, i);
        const int computed = i;
        i = compute_element(ctx, i);
        if (ctx.failed()) return false;
        if (scope) scope->after(ctx, walker, computed);
    }
    return true;
}

}  // namespace

void wsp_rivola(RunContext& ctx) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    WspTables& w = p.wsp;
    const int n = p.nsys;
    if (n < 1) return;
    if (w.ordVS.size() != static_cast<size_t>(n) + 1) wsp_prepare(ctx);

    bool divisions = false;
    for (int i = 1; i <= n && !divisions; ++i) divisions = p.el[i].ityp == T_A;

    w.stop = false;
    w.early = false;
    w.pass = -1;
    PassScope scope;
    if (divisions) scope.prepare(n);
    PassScope* const scoped = divisions ? &scope : nullptr;
    // the lanes of every pass on threads, where the plant allows
    std::unique_ptr<LaneWalk> lanes;
    if (LaneWalk::suits(ctx, ctx.run.worker_threads()))
        lanes = std::make_unique<LaneWalk>(ctx, scope, ctx.run.worker_threads(),
                                           [&scope](RunContext& c, int top, int bottom) {
                                               thread_local PassScope::Walker walker;  // keeps its buffers
                                               walker.left = 0;
                                               return walk_elements(c, &scope, walker, top, bottom, false);
                                           });
    IterationLogs logs(ctx);  // closes the division iteration logs on every way out
    while (true) {
        ++w.pass;
        ctx.run.passes = w.pass + 1;
        ctx.run.converged = 1;
        load_boundary(ctx);
        if (w.pass >= 1) {
            qfluss(ctx);
            if (ctx.failed()) return;
        }
        indx(p, n);
        w.heberCnt = p.heber.n;

        if (cancel_requested(ctx)) return;
        if (lanes) {
            if (!lanes->pass([&ctx] { return cancel_requested(ctx); })) return;
        } else {
            PassScope::Walker walker;
            if (!walk_elements(ctx, scoped, walker, n, 1, true)) return;
            // the next pass starts from what the walk's last element left
            scope.resume(ctx, walker);
        }

        if (!divisions) break;
        chkdhe(ctx);
        if (ctx.failed()) return;
        if (w.stop || ctx.run.converged) break;
        report_pass(ctx, w.pass + 1);
    }

    // Sluice gates: the inflow loss coefficient that the jet contraction set.
    if (p.schuetzPresent) {
        for (int i = 1; i <= n; ++i) {
            const Element& e = p.el[i];
            if (e.ityp != T_W || e.kurzbez != "Schuetz") continue;
            checks::report(ctx, "H56", e.bez_lang.empty() ? e.bez : e.bez_lang, {}, {}, 0,
                           wall_inflow_zeta(ctx, i));
            if (ctx.failed()) return;
        }
    }
}

}  // namespace rivola::hyd
