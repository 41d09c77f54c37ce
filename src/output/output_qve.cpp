// The discharge distribution at divisions and confluences (*.QVE) and the
// energy listing of the pumps (*.EEF).
#include <filesystem>

#include "output/db_output.h"
#include "output/listing.h"
#include "output/listing_data.h"
#include "output/listing_texts.h"
#include "output/output.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::output {

using support::fmt_f;
using support::fmt_i;
using support::pad;

namespace {

bool valid(const Plant& p, int i) { return i >= 1 && i <= p.nsys; }


// One branch of a row: the branch element's name and strand, its discharge,
// its share of the element's discharge and its loss coefficient.
std::string branch_cells(const RunContext& ctx, int i, int j, float q) {
    const Plant& p = ctx.plant;
    const Element& e = p.el[i];
    const bool division = e.ityp == T_A;
    const int b = division ? e.iab[j] : e.izu[j];
    std::string name, ord = "  ";
    float qb = 0.0f;
    if (valid(p, b)) {
        name = p.el[b].bez;
        ord = fmt_i(p.el[b].istrang, 2);
        // a division hands its water to the inlets of its outlets, a
        // confluence takes it from the outlets of its inlets
        qb = division ? p.el[b].res[2].Q : p.el[b].res[1].Q;
    }
    const float pct = q >= kTiny ? 100.0f * qb / q : 50.0f;
    float zeta = 0.0f;
    const std::string z = branch_zeta(ctx, i, j, zeta) ? " " + fmt_f(zeta, 5, 2) : "   -  ";
    return " " + pad(name, 12) + " " + ord + "I " + fmt_f(qb, 6, 3) + "I " + fmt_f(pct, 5, 1) +
           "I" + z + "I";
}

std::string qve_row(const RunContext& ctx, int i) {
    const Element& e = ctx.plant.el[i];
    // a division is measured at its upstream section, a confluence at its
    // downstream section
    const float q = e.ityp == T_A ? e.res[2].Q : e.res[1].Q;
    return " I " + pad(e.bez, 12) + "  " + fmt_i(e.istrang, 2) + "I" + branch_cells(ctx, i, 1, q) +
           branch_cells(ctx, i, 2, q);
}

std::string eef_row(const RunContext& ctx, int i, const PumpEnergy& pe) {
    const Element& e = ctx.plant.el[i];
    return " I " + pad(e.bez, 12) + " " + fmt_i(e.istrang, 2) + "I " + pad(e.beschreibung, 24) +
           "I" + fmt_f(pe.Q, 10, 4) + " I" + fmt_f(pe.H, 10, 3) + " I" + fmt_f(pe.Hv, 10, 3) +
           " I" + fmt_f(pe.Pp, 10, 2) + " I" + fmt_f(pe.Pv, 10, 2) + " I";
}

}  // namespace

float power_kw(float Q, float H) {
    // rho g Q H with rho = 1000 kg/m3, in kW
    return kGravity * Q * H;
}

PumpEnergy pump_energy(const RunContext& ctx, int i) {
    PumpEnergy pe;
    const Plant& p = ctx.plant;
    if (!valid(p, i)) return pe;
    pe.Q = p.el[i].res[2].Q;
    pe.H = pump_head(ctx, i);
    // the losses of the pressure pipes that the pump feeds directly
    int j = p.el[i].iab[1];
    for (int n = 0; valid(p, j) && p.el[j].ityp == T_D && n < p.nsys; ++n) {
        const Element& d = p.el[j];
        pe.Hv += d.HVK + d.HVE1 + d.HVU;
        j = d.iab[1];
    }
    pe.Pp = power_kw(pe.Q, pe.H);
    pe.Pv = power_kw(pe.Q, pe.Hv);
    return pe;
}

void outqve(RunContext& ctx) {
    if (ctx.failed()) return;
    const Plant& p = ctx.plant;
    const std::string path = ctx.run.basePath + ".QVE";
    bool any = false;
    for (int i = 1; i <= p.nsys && !any; ++i) any = p.el[i].ityp == T_A || p.el[i].ityp == T_Z;
    if (!any) {
        std::error_code ec;
        std::filesystem::remove(path, ec);  // no listing of an earlier run stays behind
        return;
    }
    Listing out(ctx, Kind::QVE, path);
    if (!out.ok()) {
        out.give_up();
        return;
    }
    for (int i = 1; i <= p.nsys; ++i) {
        if (p.el[i].ityp != T_A && p.el[i].ityp != T_Z) continue;
        out.begin_element(1, false);
        out.line(qve_row(ctx, i));
    }
    out.finish({});
}

void outeef(RunContext& ctx) {
    if (ctx.failed()) return;
    const Plant& p = ctx.plant;
    const std::string path = ctx.run.basePath + ".EEF";
    Listing out(ctx, Kind::EEF, path);
    if (!out.ok()) {
        out.give_up();
        return;
    }
    float sumPp = 0.0f, sumPv = 0.0f;
    for (int i = 1; i <= p.nsys; ++i) {
        if (p.el[i].ityp != T_P) continue;
        const PumpEnergy pe = pump_energy(ctx, i);
        sumPp += pe.Pp;
        if (pe.Pv > kPvThreshold) sumPv += pe.Pv;
        out.begin_element(1, false);
        out.line(eef_row(ctx, i, pe));
    }
    out.begin_element(2, false);
    out.line(separator(Kind::EEF));
    const std::string cell(11, ' ');
    out.line(" I " + pad(tx(ctx, Tx::EefSum), 12) + "   I" + std::string(25, ' ') + "I" + cell +
             "I" + cell + "I" + cell + "I" + fmt_f(sumPp, 10, 2) + " I" + fmt_f(sumPv, 10, 2) +
             " I");
    out.finish(bemerk(ctx, Kind::EEF, 0));
}

}  // namespace rivola::output
