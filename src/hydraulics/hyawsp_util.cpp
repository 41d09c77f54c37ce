#include "hydraulics/hyawsp_util.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/hyawsp.h"
#include "hydraulics/hydraul.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

float screen_difference(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    const int k = ordinal(ctx, i);
    if (p.el[i].ityp != T_R || k < 1 || k >= static_cast<int>(p.rec.size())) return 0.0f;
    return p.rec[static_cast<size_t>(k)].dh;
}

float wall_inflow_zeta(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    const int k = ordinal(ctx, i);
    if (p.el[i].ityp != T_W || k < 1 || k >= static_cast<int>(p.wand.size())) return 0.0f;
    return p.wand[static_cast<size_t>(k)].zetaVC;
}

WeirCrest weir_crest(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    WeirCrest c;
    const int k = ordinal(ctx, i);
    if (k < 1 || k >= static_cast<int>(p.ueb.size())) return c;
    const WeirData& w = p.ueb[static_cast<size_t>(k)];
    c.n = std::max(1, static_cast<int>(std::lround(w.N)));
    c.mue = w.mue;
    c.H1 = w.H;
    c.b0 = w.BU;
    c.b1 = w.BO;
    // above the notch each field is as wide as the spacing of the teeth; a
    // single notch continues with vertical walls
    c.b2 = w.A > kTiny ? w.A : w.BO;
    c.p = w.n_c;
    return c;
}

float borda(float vDown, float ADown, float vUp, float AUp) {
    return hvboca(0.0f, vDown, vUp, ADown, AUp, 0.0f);
}

IterationLogs::IterationLogs(RunContext& ctx) : ctx_(ctx) {}

IterationLogs::~IterationLogs() {
    for (std::FILE*& f : ctx_.plant.wsp.iterLog) {
        if (f) std::fclose(f);
        f = nullptr;
    }
}

void report_end(RunContext& ctx, int i, int end) {
    if (ctx.walk) ctx.walk->element_end(ctx, i, end);
}

void report_section(RunContext& ctx, int i, const char* tag) {
    if (ctx.walk) ctx.walk->section(ctx, i, tag);
}

void report_pass(RunContext& ctx, int pass) {
    if (ctx.walk) ctx.walk->pass_finished(ctx, pass);
}

}  // namespace rivola::hyd
