#include "output/outwsp_screen.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/context.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::output {

using support::fmt_f;
using support::fmt_i;
using support::pad;


namespace {

std::string line(const RunContext& ctx, int i, const std::string& tag, float Q, float z, float h,
                 float he, const std::array<std::string, 6>& rem) {
    const Element& e = ctx.plant.el[i];
    std::string bem;
    for (int k = 1; k <= 5; ++k) bem += pad(rem[k], 2);
    return fmt_i(i, 6) + " " + pad(e.bez, 12) + " " + pad(tag, 2) + "  Q=" + fmt_f(Q, 8, 4) +
           "  z=" + fmt_f(z, 9, 3) + "  h=" + fmt_f(h, 7, 3) + "  WSP=" + fmt_f(z + h, 9, 3) +
           "  E=" + fmt_f(z + he, 9, 3) + "  " + bem;
}

}  // namespace

void outwsp_screen_cs(RunContext& ctx, int i, const char* tag) {
    if (!ctx.ui || ctx.plant.wsp.pass > 0 || i < 1 || i > ctx.plant.nsys) return;
    const hyd::Qercmn& cs = ctx.cs;
    const hyd::Section& c = cs.sec[2];
    ctx.ui->log(line(ctx, i, tag, cs.Qx, cs.Zx, c.h, c.he, cs.bem));
}

std::string wsp_line(const RunContext& ctx, int i, int end) {
    const Plant& p = ctx.plant;
    if (i < 1 || i > p.nsys || end < 1 || end > 2) return {};
    const EndResult& r = p.el[i].res[end];
    return line(ctx, i, end == 1 ? "u" : "o", r.Q, r.z, r.h, r.he, r.bem);
}

void outwsp_screen(RunContext& ctx, int i, int end) {
    if (!ctx.ui || ctx.plant.wsp.pass > 0) return;
    ctx.ui->log(wsp_line(ctx, i, end));
}

void outwsp_screen_pass(RunContext& ctx, int pass) {
    if (!ctx.ui) return;
    // the largest difference of the branch energies at a free division, which
    // the passes drive towards zero
    const Plant& p = ctx.plant;
    float largest = 0.0f;
    for (size_t k = 1; k < p.wsp.div.size(); ++k)
        if (!(k < p.aufteilung.size() && p.aufteilung[k].fixed)) largest = std::max(largest, std::fabs(p.wsp.div[k].dE));
    ctx.ui->progress(pass, 1000.0f * largest);
    ctx.ui->log((ctx.english() ? "iteration loop " : "Iterationsschleife ") + fmt_i(pass, 5) +
                (ctx.english() ? "   largest energy difference " : "   größte Energiehöhendifferenz ") +
                fmt_f(1000.0f * largest, 8, 2) + " mm");
}

namespace {

class ScreenLog : public WalkObserver {
public:
    void element_end(RunContext& ctx, int i, int end) override { outwsp_screen(ctx, i, end); }
    void section(RunContext& ctx, int i, const char* tag) override { outwsp_screen_cs(ctx, i, tag); }
    void pass_finished(RunContext& ctx, int pass) override { outwsp_screen_pass(ctx, pass); }
    bool logs_only() const override { return true; }
};

class PassLog : public WalkObserver {
public:
    void element_end(RunContext&, int, int) override {}
    void section(RunContext&, int, const char*) override {}
    void pass_finished(RunContext& ctx, int pass) override { outwsp_screen_pass(ctx, pass); }
    bool logs_only() const override { return true; }
};

}  // namespace

WalkObserver& walk_screen_log() {
    static ScreenLog log;  // holds no state: one for every run and thread
    return log;
}

WalkObserver& walk_pass_log() {
    static PassLog log;
    return log;
}

}  // namespace rivola::output
