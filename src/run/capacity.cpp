#include "run/capacity.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

#include "database/flow_case_input.h"
#include "hydraulics/freeboard.h"
#include "hydraulics/hyawsp.h"
#include "messages/m_rivola_error.h"
#include "messages/services.h"
#include "run/r_rivola.h"
#include "support/m_strings.h"

namespace rivola::run {

namespace {

// A trial run tells nobody anything and asks nothing.
class Silent : public ui::Services {
public:
    void message(const std::string&, const std::string&) override {}
    bool question(const std::string&, const std::string&) override { return false; }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string&) override {}
    void finale(const std::string&, const std::string&) override {}
};

constexpr double kTolerance = 0.005;   // of the factor
constexpr double kWidest = 64.0;       // the search looks no further up or down

std::string fixed(double v, int d) {
    char b[32];
    std::snprintf(b, sizeof b, "%.*f", d, v);
    return b;
}

// Total inflow of the plant as read at a factor, in the variant's unit (Q of the Q elements).
double total_inflow(const Plant& p, double factor) {
    double q = 0;
    for (int i = 1; i <= p.nsys; ++i)
        if (!p.el[i].bez.empty() && p.el[i].bez[0] == 'Q' && given(p.el[i].Q) && p.el[i].Q > 0) q += p.el[i].Q;
    return q * factor;
}

std::string unit(const Plant& p) {
    const std::string u = support::trim(p.all.Q_ls);
    return u.empty() || u == "J" || u == "j" || u == "Y" || u == "y" ? "l/s" : "m³/h";
}

std::vector<Trial> trials(const RunContext& ctx, const std::vector<double>& factors, const std::vector<int>& ignored) {
    std::vector<Trial> out(factors.size());
    // the cores left to each trial for the lanes of its walk
    const int lanes = std::max(1, ctx.run.worker_threads() / std::max(1, static_cast<int>(factors.size())));
    std::vector<std::thread> pool;
    for (size_t k = 0; k < factors.size(); ++k)
        pool.emplace_back([&, k] { out[k] = trial(ctx, factors[k], ignored, lanes); });
    for (auto& t : pool) t.join();
    return out;
}

}  // namespace

Limit least_freeboard(const RunContext& ctx, const std::vector<int>& ignored) {
    const Plant& p = ctx.plant;
    const float required = given(p.all.Freibord) ? p.all.Freibord : 0.0f;
    Limit least;
    least.margin = 1e9f;
    for (int i = 1; i <= p.nsys; ++i) {
        if (std::find(ignored.begin(), ignored.end(), i) != ignored.end()) continue;
        for (int end = 1; end <= 2; ++end) {
            const float level = p.el[i].res[end].WSP();
            float margin = 1e9f, top = level;
            if (const auto fb = hyd::end_freeboard(p, i, end)) {
                margin = *fb - required;
                top = level + *fb;
            } else if (hyd::surcharged(p, i, end)) {
                margin = -0.001f;   // a closed section under pressure that is not built for it
            }
            if (margin < least.margin) least = {i, end, level, top, margin};
        }
    }
    return least;
}

Trial trial(const RunContext& ctx, double factor, const std::vector<int>& ignored, int lanes) {
    Trial t;
    t.factor = factor;
    auto c = std::make_unique<RunContext>();
    c->settings = ctx.settings;
    c->run = ctx.run;
    c->db = ctx.db;
    RunState& r = c->run;
    r.echo = false;
    r.drawing = false;
    r.quiet = true;
    r.ierr = 0;
    r.balance = 0;
    r.writtenFiles.clear();
    r.threads = lanes;
    c->plant = ctx.plant;
    input::FlowCase fc;
    fc.faktor = static_cast<float>(factor);
    input::apply_flow_case(c->plant, fc);
    Silent silent;
    c->ui = &silent;
    set_up(*c);
    if (r.ierr < 2) hyd::start(*c);
    if (r.ierr < 2) hyd::wsp_rivola(*c);
    const bool en = ctx.english();
    if (r.ierr >= 2) t.why = en ? "the calculation ends with errors" : "die Berechnung endet mit Fehlern";
    else if (r.balance) t.why = en ? "divisions stay unbalanced" : "Aufteilungen bleiben unausgeglichen";
    t.computed = t.why.empty();
    if (t.computed) t.limit = least_freeboard(*c, ignored);
    return t;
}

Capacity find_capacity(const RunContext& ctx, const std::vector<int>& ignored, int threads) {
    const bool en = ctx.english();
    Capacity cap;
    threads = std::max(1, threads);
    auto run = [&](const std::vector<double>& fs) {
        cap.runs += static_cast<int>(fs.size());
        return trials(ctx, fs, ignored);
    };
    Trial at1 = run({1.0}).front();
    if (!at1.computed) {
        cap.note = (en ? "at factor 1 " : "bei Faktor 1: ") + at1.why;
        return cap;
    }
    Trial lo = at1, hi;
    bool haveHi = false;
    if (at1.holds()) {
        // upwards, `threads` doublings at a time, until the freeboard runs out
        for (double f = 2.0; f <= kWidest && !haveHi;) {
            std::vector<double> fs;
            for (int k = 0; k < threads && f <= kWidest; ++k, f *= 2.0) fs.push_back(f);
            for (const Trial& t : run(fs)) {
                if (haveHi) break;
                if (t.holds()) lo = t;
                else hi = t, haveHi = true;
            }
        }
        if (!haveHi) {
            cap.found = true;
            cap.factor = lo.factor;
            cap.below = lo.factor;
            cap.note = en ? "the freeboard holds up to factor " + fixed(kWidest, 0) + "; searched no further"
                          : "der Freibord hält bis Faktor " + fixed(kWidest, 0) + "; nicht weiter gesucht";
            cap.limit = lo.limit;
            return cap;
        }
    } else {
        // downwards, halving, until it holds
        cap.note = en ? "the plant is short of its freeboard already at factor 1; searched downwards"
                      : "der Freibord fehlt schon bei Faktor 1; nach unten gesucht";
        hi = at1;
        haveHi = true;
        bool haveLo = false;
        for (double f = 0.5; f >= 1.0 / kWidest && !haveLo;) {
            std::vector<double> fs;
            for (int k = 0; k < threads && f >= 1.0 / kWidest; ++k, f /= 2.0) fs.push_back(f);
            for (const Trial& t : run(fs)) {
                if (haveLo) break;
                if (t.holds()) lo = t, haveLo = true;
                else hi = t;
            }
        }
        if (!haveLo) {
            cap.above = hi.factor;
            cap.note += en ? "; not even factor 1/" + fixed(kWidest, 0) + " holds" : "; auch Faktor 1/" +
                                                                                      fixed(kWidest, 0) + " hält nicht";
            cap.limit = hi.limit;
            return cap;
        }
    }
    // bisection of the bracket, `threads` inner factors at a time
    while (hi.factor - lo.factor > kTolerance * lo.factor) {
        std::vector<double> fs;
        for (int k = 1; k <= threads; ++k) fs.push_back(lo.factor + (hi.factor - lo.factor) * k / (threads + 1));
        for (const Trial& t : run(fs)) {
            if (t.holds()) {
                lo = t;
            } else {
                hi = t;
                break;
            }
        }
    }
    cap.found = true;
    cap.factor = lo.factor;
    cap.below = lo.factor;
    cap.above = hi.factor;
    cap.limit = hi.computed ? hi.limit : lo.limit;
    if (!hi.computed)
        cap.note = (en ? "above the capacity the calculation fails: " : "über der Kapazität scheitert die Berechnung: ") +
                   hi.why;
    return cap;
}

void run_capacity(RunContext& ctx) {
    const bool en = ctx.english();
    const Plant& p = ctx.plant;
    const int threads = ctx.run.worker_threads();
    std::vector<std::string> lines;
    const float required = given(p.all.Freibord) ? p.all.Freibord : 0.0f;
    lines.push_back((en ? "Hydraulic capacity of the plant (required freeboard " : "Hydraulische Kapazität der Anlage (geforderter Freibord ") +
                    fixed(required, 2) + " m)");
    std::vector<int> ignored;
    Capacity first;
    int runs = 0;
    for (int rank = 1; rank <= 4; ++rank) {
        const Capacity cap = find_capacity(ctx, ignored, threads);
        runs += cap.runs;
        if (rank == 1) first = cap;
        if (!cap.found) {
            lines.push_back((rank == 1 ? std::string() : std::to_string(rank) + ". ") +
                            (en ? "no capacity computed: " : "keine Kapazität berechnet: ") + cap.note +
                            (cap.above > 0 ? (en ? " (fails at factor " : " (scheitert bei Faktor ") +
                                                 fixed(cap.above, 3) + ")"
                                           : std::string()));
            break;
        }
        const Limit& l = cap.limit;
        const std::string where =
            l.isys > 0 ? support::trim(p.el[l.isys].bez) + (l.end == 2 ? (en ? ", inlet end" : ", Zulaufende")
                                                                     : (en ? ", outlet end" : ", Ablaufende"))
                       : std::string("-");
        if (rank == 1) {
            lines.push_back((en ? "capacity: factor " : "Kapazität: Faktor ") + fixed(cap.factor, 3) +
                            (en ? " on the inflows, total inflow " : " auf die Zuflüsse, Gesamtzufluss ") +
                            fixed(total_inflow(p, cap.factor), 1) + " " + unit(p));
            lines.push_back((en ? "limiting element: " : "begrenzendes Element: ") + where +
                            (l.isys > 0 ? (en ? ", water level " : ", Wasserspiegel ") + fixed(l.level, 3) +
                                              (en ? " m, top " : " m, Oberkante ") + fixed(l.top, 3) + " m"
                                        : std::string()));
            if (!cap.note.empty()) lines.push_back(cap.note);
        } else if (cap.above <= 0) {
            // with the elements before ignored nothing limits within the search
            lines.push_back(std::to_string(rank) + ". " + cap.note);
            break;
        } else {
            lines.push_back(std::to_string(rank) + ". " + (en ? "limiting element: " : "begrenzendes Element: ") + where +
                            (en ? " at factor " : " bei Faktor ") + fixed(cap.factor, 3));
        }
        if (l.isys <= 0 || cap.above <= 0) break;
        ignored.push_back(l.isys);
    }
    lines.push_back((en ? "the next limits are found with the elements before them ignored: their freeboard is not "
                          "counted, their water stays in the flow"
                        : "die weiteren Grenzen gelten ohne die Elemente davor: deren Freibord zählt nicht, ihr Wasser "
                          "bleibt im Abfluss"));
    lines.push_back((en ? "search: " : "Suche: ") + std::to_string(runs) + (en ? " calculations" : " Berechnungen") +
                    (first.found && first.above > 0
                         ? (en ? ", bracket " : ", Klammer ") + fixed(first.below, 3) + " .. " + fixed(first.above, 3)
                         : std::string()));
    checks::fehler(ctx, "OUTQQQ");
    checks::outqqq_line(ctx, "");
    for (const std::string& l : lines) {
        checks::outqqq_line(ctx, l);
        if (ctx.ui) ctx.ui->log(l);
    }
    if (!first.found) return;
    // the run at the capacity, with its listings, CSV and drawing, as the flow case "Kapazitaet"
    input::FlowCase fc;
    fc.name = en ? "Capacity" : "Kapazitaet";
    fc.faktor = static_cast<float>(first.factor);
    RunContext c;
    c.settings = ctx.settings;
    c.run = ctx.run;
    c.db = ctx.db;
    c.ui = ctx.ui;
    RunState& r = c.run;
    r.caseName = fc.name;
    r.dbName = ctx.run.dbName + "_" + fc.name;
    r.basePath = ctx.run.basePath + "_" + fc.name;
    r.checkListFile = r.basePath + ".pkl";
    r.writtenFiles.clear();
    r.echo = false;
    r.ierr = 0;
    c.plant = ctx.plant;
    input::apply_flow_case(c.plant, fc);
    r.markIsys = first.limit.isys;
    r.markEnd = first.limit.end;
    checks::fehler(c, "INIT", r.basePath, ctx.rep.title);
    compute_variant(c);
    c.rep.close();
    ctx.run.storeFailures.insert(ctx.run.storeFailures.end(), r.storeFailures.begin(), r.storeFailures.end());
    ctx.run.writtenFiles.insert(ctx.run.writtenFiles.end(), r.writtenFiles.begin(), r.writtenFiles.end());
    ctx.run.ierr = std::max(ctx.run.ierr, std::min(r.ierr, 1));
}

}  // namespace rivola::run
