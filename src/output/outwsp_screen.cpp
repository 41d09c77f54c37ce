#include "output/outwsp_screen.h"

#include "run/context.h"
#include "support/m_strings.h"
#include "ui/services.h"

namespace rivola::output {

using support::fmt_f;
using support::fmt_i;
using support::pad;

std::string wsp_line(const RunContext& ctx, int i, int end) {
    const Plant& p = ctx.plant;
    if (i < 1 || i > p.nsys || end < 1 || end > 2) return {};
    const Element& e = p.el[i];
    const EndResult& r = e.res[end];
    std::string bem;
    for (int k = 1; k <= 5; ++k) bem += pad(r.bem[k], 2);
    return fmt_i(i, 6) + " " + pad(e.bez, 12) + (end == 1 ? " u" : " o") + "  Q=" +
           fmt_f(r.Q, 8, 4) + "  z=" + fmt_f(r.z, 9, 3) + "  h=" + fmt_f(r.h, 7, 3) +
           "  WSP=" + fmt_f(r.WSP(), 9, 3) + "  E=" + fmt_f(r.E(), 9, 3) + "  " + bem;
}

void outwsp_screen(RunContext& ctx, int i, int end) {
    if (!ctx.ui || ctx.plant.wsp.pass > 0) return;
    ctx.ui->log(wsp_line(ctx, i, end));
}

void outwsp_screen_pass(RunContext& ctx, int pass) {
    if (!ctx.ui) return;
    ctx.ui->progress(pass);
    ctx.ui->log((ctx.english() ? "iteration loop " : "Iterationsschleife ") + fmt_i(pass, 5));
}

}  // namespace rivola::output
