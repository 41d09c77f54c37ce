// Traces of a run: the discharge log and the table of the element links in
// the check list.
#include "messages/m_rivola_error.h"
#include "output/listing_texts.h"
#include "output/output.h"
#include "model/context.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::output {

using support::fmt_f;
using support::fmt_i;
using support::pad;

void outqqq(RunContext& ctx) {
    checks::fehler(ctx, "OUTQQQ");
    const Plant& p = ctx.plant;
    const bool en = ctx.english();
    checks::outqqq_line(ctx, "");
    checks::outqqq_line(ctx, en ? "     discharges of the elements (m3/s)"
                                : "     Abflüsse der Elemente (m3/s)");
    checks::outqqq_line(ctx, en ? "  isys element          Q in   Q out  Qmin in Qmin out  Qmax in "
                                  "Qmax out"
                                : "  isys Element          Q zu   Q ab   Qmin zu  Qmin ab  Qmax zu  "
                                  "Qmax ab");
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& e = p.el[i];
        checks::outqqq_line(ctx, fmt_i(i, 6) + " " + pad(e.bez, 12) + fmt_f(e.res[2].Q, 8, 4) +
                                     fmt_f(e.res[1].Q, 8, 4) + " " +
                                     fmt_f(e.res[2].Qmin, 8, 4) + " " +
                                     fmt_f(e.res[1].Qmin, 8, 4) + " " +
                                     fmt_f(e.res[2].Qmax, 8, 4) + " " +
                                     fmt_f(e.res[1].Qmax, 8, 4));
    }
}

void outsys(RunContext& ctx) {
    checks::fehler(ctx, "OUTQQQ");
    const Plant& p = ctx.plant;
    checks::outqqq_line(ctx, "");
    checks::outqqq_line(ctx, tx(ctx, Tx::SysTitle));
    checks::outqqq_line(ctx, tx(ctx, Tx::SysHead));
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& e = p.el[i];
        // discharge in l/s; the bounds of the outlet end in m3/s
        checks::outqqq_line(ctx, " " + pad(e.bez, 12) + " " + pad(e.zulauf1, 12) + " " +
                                     pad(e.ablauf1, 12) + fmt_f(e.res[1].Q * 1000.0f, 8, 1) +
                                     fmt_i(i, 5) + fmt_i(e.izu[1], 5) + fmt_i(e.iab[1], 5) +
                                     fmt_i(e.istrang, 5) + " " + fmt_f(e.res[1].Qmin, 8, 3) +
                                     " " + fmt_f(e.res[1].Qmax, 8, 3));
    }
}

}  // namespace rivola::output
