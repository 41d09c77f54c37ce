#include "hydraulics/abfluss.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "messages/m_rivola_error.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::hyd {

namespace {

constexpr float kTol = kTiny;     // equality of discharges

const std::string& des(const Plant& p, int i) {
    const Element& e = p.el[i];
    return e.bez_lang.empty() ? e.bez : e.bez_lang;
}

bool is_div(const Plant& p, int i) { return i > 0 && p.el[i].ityp == T_A; }
bool is_conf(const Plant& p, int i) { return i > 0 && p.el[i].ityp == T_Z; }

// Which outlet of division u element i is (1 or 2).
int outlet_no(const Plant& p, int u, int i) {
    const Element& eu = p.el[u];
    return (eu.iab[2] == i && eu.iab[1] != i) ? 2 : 1;
}

// The elements from `from` upstream along first inlets; the last entry is the
// division or confluence where the path stops (not `from` itself), or element
// 1, or 0 when the chain breaks.
std::vector<int> path_up(const Plant& p, int from) {
    std::vector<int> path;
    int j = from;
    for (int guard = 0; guard <= p.nsys; ++guard) {
        path.push_back(j);
        if (j <= 1) return path;
        if (j != from && (is_div(p, j) || is_conf(p, j))) return path;
        const int u = p.el[j].izu[1];
        if (u <= 0 || u >= j) {             // broken chain: the checks reject such plants
            path.push_back(0);
            return path;
        }
        j = u;
    }
    path.push_back(0);
    return path;
}

// Adds dQ to the inlet minimum of the elements of `path` below its last
// entry. Returns the last entry when it is a division or confluence (the
// bounds resume there), 0 with Q08 for `origin` when the requirement cannot
// be covered: when it reaches the plant inlet, or an element that cannot
// carry it.
int raise_path(RunContext& ctx, const std::vector<int>& path, float dQ, int origin) {
    Plant& p = ctx.plant;
    const int last = path.back();
    for (size_t m = 0; m + 1 < path.size(); ++m) {
        EndResult& in = p.el[path[m]].res[2];
        in.Qmin += dQ;
        if (in.Qmax < in.Qmin - kTol) {
            checks::report(ctx, "Q08", des(p, origin));
            return 0;
        }
    }
    if (last <= 1 || !(is_div(p, last) || is_conf(p, last))) {
        checks::report(ctx, "Q08", des(p, origin));
        return 0;
    }
    return last;
}

// Bounds of the two outlets of division i by its setting.
void division_bounds(Plant& p, int i) {
    Element& e = p.el[i];
    const int k = e.iord;
    DivisionData& a = p.auf[k];
    const DivisionSetting& s = p.aufteilung[k];
    const float qinMin = e.res[2].Qmin, qinMax = e.res[2].Qmax;
    const int o1 = e.iab[1], o2 = e.iab[2];
    const float m1 = o1 > 0 ? p.el[o1].res[2].Qmin : 0.0f;
    const float m2 = o2 > 0 ? p.el[o2].res[2].Qmin : 0.0f;
    const float x = s.value;
    if (s.fixedQ1) {
        a.Qa1min = a.Qa1max = x;
        a.Qa2min = std::max(a.Qa2min, m2);
        if (!a.visited) a.Qa2max = qinMax - x;
        else a.Qa2max = std::min(a.Qa2max, o2 > 0 ? p.el[o2].res[2].Qmax : a.Qa2max);
    } else if (s.fixed) {                   // percentage split, x = share of outlet 1
        float f1, f2;
        if (x < 0.0001f) f1 = 0.0f, f2 = 1.0f;
        else if (x > 0.9999f) f1 = 1.0f, f2 = 0.0f;
        else f1 = x / (1.0f - x), f2 = (1.0f - x) / x;
        a.Qa1min = std::max({x * qinMin, f1 * m2, m1});
        a.Qa2min = std::max({(1.0f - x) * qinMin, f2 * m1, m2});
        a.Qa1max = x * qinMax;
        a.Qa2max = (1.0f - x) * qinMax;
    } else if (s.requiredQ1) {
        a.Qa1min = std::max(m1, x);
        a.Qa2min = std::max(m2, a.Qa2min);
        a.Qa1max = qinMax - a.Qa2min;
        a.Qa2max = qinMax - a.Qa1min;
    } else if (s.valueQ2) {
        a.Qa2max = std::min(x, qinMax);
        a.Qa2min = std::max(m2, a.Qa2min);
        a.Qa1min = std::max(m1, a.Qa1min);
        a.Qa1max = qinMax - a.Qa2min;
    } else {                                // free split
        a.Qa1min = std::max(m1, a.Qa1min);
        a.Qa2min = std::max(m2, a.Qa2min);
        a.Qa1max = qinMax - a.Qa2min;
        a.Qa2max = qinMax - a.Qa1min;
    }
    a.visited = true;
}

// The share of division u's inflow that reaches its outlet `out`.
float division_share(const Plant& p, int u, int out) {
    const Element& eu = p.el[u];
    const DivisionSetting& s = p.aufteilung[eu.iord];
    const float qu = eu.res[2].Q;
    float q;
    if (s.fixedQ1) q = out == 1 ? s.value : qu - s.value;
    else q = out == 1 ? qu * s.value : (1.0f - s.value) * qu;
    return q > 0.0f ? q : 0.0f;
}

// One row for a confluence that did not receive its minimum discharge.
void runtime_row(RunContext& ctx, int i, float q1, float q2, float qab, float qmin) {
    Plant& p = ctx.plant;
    const std::string path = ctx.run.dbDir + "runtime_error.pkl";
    std::FILE* f = std::fopen(path.c_str(), p.runtimeLogOpen ? "a" : "w");
    if (!f) return;
    if (!p.runtimeLogOpen) {
        std::fputs("Z-Elemente mit unzureichendem Zufluss nach Energiehöhenabgleich:\n", f);
        std::fputs("Es wurde mit dem erforderlichen Mindestabfluss Qab,min (Q-Abzug stromab) "
                   "weitergerechnet.\n", f);
        std::fputs("Daraus folgt ein Fehler in der Abflussbilanz.\n", f);
        std::fputs("Der Abfluss wurde um Qab,min-Qab erhöht.\n", f);
        std::fputs("| Element      |    Qzu(1) |    Qzu(2) |     Qab   |   Qab,min |Qab-Qab,min|\n", f);
        p.runtimeLogOpen = true;
        ctx.run.runtimeError = 1;
    }
    const std::string row = "| " + support::pad(p.el[i].bez, 12) + " |" +
                            support::fmt_f(1000.0 * q1, 10, 3) + " |" +
                            support::fmt_f(1000.0 * q2, 10, 3) + " |" +
                            support::fmt_f(1000.0 * qab, 10, 3) + " |" +
                            support::fmt_f(1000.0 * qmin, 10, 3) + " |" +
                            support::fmt_f(1000.0 * (qab - qmin), 11, 3) + "|\n";
    std::fputs(row.c_str(), f);
    std::fclose(f);
}

}  // namespace

// ---------------------------------------------------------------------------

void zulauf_qmnmx(RunContext& ctx, int i) {
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    const int u = e.izu[1];
    if (u <= 0) return;
    if (is_div(p, u)) {
        const DivisionData& a = p.auf[p.el[u].iord];
        if (outlet_no(p, u, i) == 1) e.res[2].Qmin = a.Qa1min, e.res[2].Qmax = a.Qa1max;
        else e.res[2].Qmin = a.Qa2min, e.res[2].Qmax = a.Qa2max;
    } else if (e.ityp != T_Z) {
        e.res[2].Qmin = p.el[u].res[1].Qmin;
        e.res[2].Qmax = p.el[u].res[1].Qmax;
    }
}

int qkor_a(RunContext& ctx, char kind, int i, float dQ, int& n) {
    Plant& p = ctx.plant;
    ++n;
    const Element& e = p.el[i];
    if (kind == 'A' && is_div(p, i)) {
        if (e.res[1].Qmin > e.res[2].Qmax + kQTol) {
            checks::report(ctx, "Q08", des(p, i));
            return 0;
        }
    } else if (e.res[2].Qmax < e.res[2].Qmin + dQ - kTol) {
        checks::report(ctx, "Q08", des(p, i));
        return 0;
    }
    return raise_path(ctx, path_up(p, i), dQ, i);
}

std::vector<int> zoffen(const RunContext& ctx, int i, int j) {
    const Plant& p = ctx.plant;
    const int start = p.el[i].izu[j];
    if (start <= 0) return {0};
    std::vector<int> path = path_up(p, start);
    // An inlet that is itself a confluence is where its own path ends.
    if (is_conf(p, start)) path.assign(1, start);
    return path;
}

int qkor_z(RunContext& ctx, int i, int j, float dQ) {
    Plant& p = ctx.plant;
    std::vector<int> path = zoffen(ctx, i, j);
    if (path.size() == 1 && is_conf(p, path[0])) {
        // The inlet is a confluence: its own requirement grows.
        p.el[path[0]].res[2].Qmin += dQ;
        return path[0];
    }
    return raise_path(ctx, path, dQ, i);
}

namespace {

// The positive inflows of the Q-elements before element i, added up.
float inflows_before(const Plant& p, int i) {
    float sum = 0.0f;
    for (int k = 1; k < i && k <= p.nsys; ++k)
        if (p.el[k].ityp == T_Q && p.el[k].iord < static_cast<int>(p.qzu.size()))
            sum += std::max(p.qzu[static_cast<size_t>(p.el[k].iord)], 0.0f);
    return sum;
}

}  // namespace

int qmnmxz(RunContext& ctx, int i) { return qmnmxz(ctx, i, nullptr); }

int qmnmxz(RunContext& ctx, int i, const std::vector<float>* upstream) {
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    const int in1 = e.izu[1], in2 = e.izu[2], below = e.iab[1];
    const float m1 = in1 > 0 ? p.el[in1].res[1].Qmin : 0.0f;
    const float M1 = in1 > 0 ? p.el[in1].res[1].Qmax : 0.0f;
    const float m2 = in2 > 0 ? p.el[in2].res[1].Qmin : 0.0f;
    const float M2 = in2 > 0 ? p.el[in2].res[1].Qmax : 0.0f;
    // What the confluence has to deliver: its own requirement or what the
    // element below it needs.
    float R = e.res[2].Qmin;
    if (below > 0) R = std::max(R, p.el[below].res[2].Qmin);
    e.res[2].Qmin = R;
    if (R > M1 + M2 + kQTol) {
        checks::report(ctx, "Q08", des(p, i));
        return 0;
    }
    // Each inlet must bring what the other cannot, even at its largest.
    const float sf1 = R - M2 - m1;
    const float sf2 = R - M1 - m2;
    int resume = 0;
    if (sf1 > kQTol) {
        resume = qkor_z(ctx, i, 1, sf1);
        if (resume == 0) return 0;
    }
    if (sf2 > kQTol) {
        const int r2 = qkor_z(ctx, i, 2, sf2);
        if (r2 == 0) return 0;
        resume = resume == 0 ? r2 : std::min(resume, r2);
    }
    if (resume > 0) return resume;
    e.res[2].Qmin = std::max(R, m1 + m2);
    // Both inlets may each take all the water of the division where their
    // paths began, so their sum overstates what can arrive; behind nested
    // divisions it would double with every level and overflow. No more can
    // arrive than the inflows of the elements before the confluence, which
    // are all the elements upstream of it.
    const float inflows = upstream ? (*upstream)[static_cast<size_t>(i)] : inflows_before(p, i);
    e.res[2].Qmax = std::min(M1 + M2, std::max(inflows, e.res[2].Qmin));
    e.res[1].Qmin = e.res[2].Qmin;
    e.res[1].Qmax = e.res[2].Qmax;
    return i;
}

bool qmnmx(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    if (n < 1 || ctx.failed()) return true;
    for (int i = 1; i <= n; ++i)
        for (int s = 1; s <= 2; ++s) p.el[i].res[s].Qmin = p.el[i].res[s].Qmax = 0.0f;
    const float q1 = p.qzu.size() > 1 ? p.qzu[1] : 0.0f;
    for (int s = 1; s <= 2; ++s) p.el[1].res[s].Qmin = p.el[1].res[s].Qmax = q1;
    for (DivisionData& a : p.auf) a.Qa1min = a.Qa2min = a.Qa1max = a.Qa2max = 0.0f, a.visited = false;

    // the inflows before each element, for the bounds of the confluences
    std::vector<float> upstream(static_cast<size_t>(n) + 2, 0.0f);
    for (int k = 1; k <= n; ++k)
        upstream[static_cast<size_t>(k) + 1] =
            upstream[static_cast<size_t>(k)] +
            (p.el[k].ityp == T_Q && p.el[k].iord < static_cast<int>(p.qzu.size())
                 ? std::max(p.qzu[static_cast<size_t>(p.el[k].iord)], 0.0f)
                 : 0.0f);

    int corrections = 0;
    // Every resumption raises some minimum for good, so the computation ends;
    // the bound on the steps only guards against a plant that creeps.
    const long limit = 200L * n + 10000L;
    long steps = 0;
    bool abort = false;
    int i = 2;
    while (i <= n) {
        if (++steps > limit) {
            checks::report(ctx, "Q08", des(p, i));
            abort = true;
            break;
        }
        Element& e = p.el[i];
        zulauf_qmnmx(ctx, i);
        int resume = 0;
        if (e.ityp == T_A) {
            division_bounds(p, i);
            const DivisionData& a = p.auf[e.iord];
            e.res[1].Qmin = std::max(a.Qa1min + a.Qa2min, e.res[1].Qmin);
            e.res[1].Qmax = e.res[2].Qmax;
            if (e.res[1].Qmin > e.res[2].Qmin + kQTol)
                resume = qkor_a(ctx, 'A', i, e.res[1].Qmin - e.res[2].Qmin, corrections);
        } else if (e.ityp == T_Q) {
            const float qz = p.qzu[e.iord];
            e.res[1].Qmin = qz + e.res[2].Qmin;
            e.res[1].Qmax = qz + e.res[2].Qmax;
            if (e.res[1].Qmin < -kQTol)
                resume = qkor_a(ctx, 'Q', i, -e.res[1].Qmin, corrections);
        } else if (e.ityp == T_Z) {
            const int r = qmnmxz(ctx, i, &upstream);
            if (r != i) resume = r;
        } else {
            e.res[1].Qmin = e.res[2].Qmin;
            e.res[1].Qmax = e.res[2].Qmax;
        }
        if (ctx.failed()) {
            abort = true;
            break;
        }
        if (resume > 0) {
            i = resume;
            continue;
        }
        ++i;
    }
    if (abort) return false;
    for (int k = 1; k <= n; ++k)
        for (int s = 1; s <= 2; ++s) p.el[k].res[s].Q = p.el[k].res[s].Qmax;
    return true;
}

// ---------------------------------------------------------------------------

void qanf(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    if (n < 1 || ctx.failed()) return;
    const float q1 = p.qzu.size() > 1 ? p.qzu[1] : 0.0f;
    p.el[1].res[1].Q = p.el[1].res[2].Q = q1;
    for (int i = 2; i <= n; ++i) {
        Element& e = p.el[i];
        const int u = e.izu[1];
        if (is_div(p, u)) e.res[2].Q = division_share(p, u, outlet_no(p, u, i));
        else if (e.ityp != T_Z && u > 0) e.res[2].Q = p.el[u].res[1].Q;

        if (e.ityp == T_A) {
            DivisionSetting& s = p.aufteilung[e.iord];
            if (!s.fixed) {
                // Start from the split that shares the inflow above both
                // outlet minimums in proportion to the outlets' ranges.
                const DivisionData& a = p.auf[e.iord];
                const float qin = e.res[2].Q;
                const float d1 = a.Qa1max - a.Qa1min;
                const float d = d1 + (a.Qa2max - a.Qa2min);
                float x = 0.0f;
                if (d > kTol && qin > kTol)
                    x = (a.Qa1min + d1 / d * (qin - a.Qa1min - a.Qa2min)) / qin;
                s.value = std::clamp(x, 0.0f, 1.0f);
            }
            e.res[1].Q = e.res[2].Q;
        } else if (e.ityp == T_Q) {
            e.res[1].Q = p.qzu[e.iord] + e.res[2].Q;
        } else if (e.ityp == T_Z) {
            const float q = (e.izu[1] > 0 ? p.el[e.izu[1]].res[1].Q : 0.0f) +
                            (e.izu[2] > 0 ? p.el[e.izu[2]].res[1].Q : 0.0f);
            e.res[1].Q = e.res[2].Q = q;
        } else {
            e.res[1].Q = e.res[2].Q;
        }
    }
}

void qfluss(RunContext& ctx) {
    Plant& p = ctx.plant;
    const int n = p.nsys;
    if (n < 1 || ctx.failed()) return;
    indx(p, n);
    p.el[1].res[2].Q = p.qzu.size() > 1 ? p.qzu[1] : 0.0f;
    // A split corrected for one outlet's minimum can take water from the other
    // one; the corrections of one pass are bounded so that such a plant cannot
    // keep the pass going.
    int corrections = 0;
    const int maxCorrections = 4 * p.ntyp[T_A] + 10;
    for (int i = 2; i <= n; ++i) {
        Element& e = p.el[i];
        const int u = e.izu[1];
        if (is_div(p, u)) {
            const int out = outlet_no(p, u, i);
            const float q = division_share(p, u, out);
            DivisionSetting& s = p.aufteilung[p.el[u].iord];
            const float qu = p.el[u].res[2].Q;
            if (!s.fixed && q < e.res[2].Qmin - kQTol && qu > kTol && corrections < maxCorrections) {
                ++corrections;
                const float r = e.res[2].Qmin / qu;
                s.value = std::clamp(out == 1 ? r : 1.0f - r, 0.0f, 1.0f);
                i = u;                      // both outlets again with the corrected split
                continue;
            }
            e.res[2].Q = q;
        } else if (e.ityp != T_Z && u > 0) {
            e.res[2].Q = p.el[u].res[1].Q;
        }

        if (e.ityp == T_Q) {
            e.res[1].Q = p.qzu[e.iord] + e.res[2].Q;
        } else if (e.ityp == T_Z) {
            const float q1 = e.izu[1] > 0 ? p.el[e.izu[1]].res[1].Q : 0.0f;
            const float q2 = e.izu[2] > 0 ? p.el[e.izu[2]].res[1].Q : 0.0f;
            const float q = q1 + q2;
            if (q < e.res[1].Qmin - 0.001f) runtime_row(ctx, i, q1, q2, q, e.res[1].Qmin);
            e.res[1].Q = e.res[2].Q = std::max(q, e.res[1].Qmin);
        } else {
            e.res[1].Q = e.res[2].Q;
        }
    }
}

}  // namespace rivola::hyd
