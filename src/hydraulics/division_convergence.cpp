#include "hydraulics/division_convergence.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "messages/m_rivola_error.h"
#include "model/context.h"
#include "support/m_strings.h"
#include "messages/m_realwin.h"

namespace rivola::hyd {

namespace {

// The line that tells after which pass the walk was stopped.
std::string early_stop_line(const RunContext& ctx) {
    const std::string n = std::to_string(ctx.plant.wsp.pass);
    return ctx.english() ? "     The iteration was stopped after the " + n + ". loop!"
                         : "     Die Berechnung wurde nach der " + n +
                               ". Iterationsschleife abgebrochen!";
}

// Warnings of one group of divisions (free or fixed) whose energy heights stay
// apart by more than 1 mm. Returns true when the group wrote anything.
bool warn_group(RunContext& ctx, bool freeGroup, bool opened) {
    Plant& p = ctx.plant;
    WspTables& w = p.wsp;
    const bool en = ctx.english();
    bool wrote = false;
    for (int k = 1; k < static_cast<int>(w.div.size()); ++k) {
        const bool fixed = k < static_cast<int>(p.aufteilung.size()) && p.aufteilung[k].fixed;
        if (fixed == freeGroup) continue;
        const float dE = w.div[k].dE;
        if (!(std::fabs(dE) > 0.001f)) continue;
        if (!wrote) {
            if (!opened) checks::fehler(ctx, "OUTQQQ");
            ctx.run.balance = 1;
            ctx.run.ierr = std::max(ctx.run.ierr, 1);
            checks::outqqq_line(ctx, en ? "     warnings to iterative calculation"
                                        : "     Warnungen zum Berechnungsablauf");
            if (ctx.run.iniRead)
                checks::outqqq_line(
                    ctx, en ? "     The iteration was influenced by user (RVL_iteration.ini)."
                            : "     Die Iteration wurde durch den Anwender (RVL_iteration.ini) gesteuert.");
            if (freeGroup && w.early) checks::outqqq_line(ctx, early_stop_line(ctx));
            if (freeGroup)
                checks::outqqq_line(
                    ctx, en ? "     The energy level could not be balanced at the following \"free\" divisions:"
                            : "     Die Energiehöhen konnten bei folgenden freien Aufteilungen nicht abgeglichen werden:");
            else
                checks::outqqq_line(
                    ctx, en ? "     The energy level could not be balanced at the following user-specified fixed divisions:"
                            : "     Die Energiehöhen konnten bei folgenden durch den Anwender fixierten Aufteilungen nicht abgeglichen werden:");
            wrote = true;
        }
        const int i = w.div[k].isys;
        const std::string name = i >= 1 && i <= p.nsys ? support::pad(p.el[i].bez, 12) : "";
        checks::outqqq_line(ctx, "      - " + name +
                                     (en ? " difference of energy level: "
                                         : " Differenz der Energiehöhe: ") +
                                     support::fmt_f(dE, 9, 4));
    }
    return wrote;
}

}  // namespace

void chkdhe(RunContext& ctx) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    WspTables& w = p.wsp;
    RunState& r = ctx.run;
    r.balance = 0;

    if (w.pass >= 2) {
        if (w.pass == r.maxPasses) {
            r.ierr = std::max(r.ierr, 1);
            ui::screen_dlgedit(ctx, 80, 0, std::to_string(w.pass));
            w.stop = true;
            w.early = true;
        } else {
            bool moving = false;
            for (int k = 1; k < static_cast<int>(w.div.size()) && !moving; ++k) {
                const bool fixed = k < static_cast<int>(p.aufteilung.size()) && p.aufteilung[k].fixed;
                if (!fixed && std::fabs(w.div[k].dE - w.div[k].dEold) > r.tolerance) moving = true;
            }
            if (!moving) w.stop = true;
        }
    }

    if (!w.stop && !r.converged) {
        for (auto& d : w.div) d.dEold = d.dE;
        return;
    }

    // the walk ends: divisions whose energy heights stay apart
    bool opened = warn_group(ctx, true, false);
    if (w.early && !opened) {
        // Stopped after the maximum number of passes with every division
        // balanced within 1 mm: the warning of the run still needs its reason
        // in the check list.
        const bool en = ctx.english();
        checks::fehler(ctx, "OUTQQQ");
        checks::outqqq_line(ctx, en ? "     warnings to iterative calculation"
                                    : "     Warnungen zum Berechnungsablauf");
        if (r.iniRead)
            checks::outqqq_line(
                ctx, en ? "     The iteration was influenced by user (RVL_iteration.ini)."
                        : "     Die Iteration wurde durch den Anwender (RVL_iteration.ini) gesteuert.");
        checks::outqqq_line(ctx, early_stop_line(ctx));
        opened = true;
    }
    warn_group(ctx, false, opened);
}

}  // namespace rivola::hyd
