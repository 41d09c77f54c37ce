// The input echo: the base settings, element links, GEO and HVE data of the
// variant as read, printed in paginated tables for checking the input.
#include "output/m_output_eingabe.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "output/result_files.h"
#include "support/m_files.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::output {

using support::fmt_f;
using support::fmt_i;
using support::pad;
using support::rpad;

namespace {

// Fixed-point field, blank when the value is not given.
std::string fv(float v, int w, int d) {
    return given(v) ? fmt_f(v, w, d) : std::string(static_cast<size_t>(w), ' ');
}

std::string blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }
std::string dashes(int n) { return std::string(static_cast<size_t>(n), '-'); }

// Table widths of the sections (with the leading blank of every line).
int width_of(const std::string& kind) {
    if (kind == "ALL") return 77;
    if (kind == "WEG") return 108;
    if (kind == "GEO") return 86;
    return 104;  // HVE
}

std::string banner(const std::string& kind, bool en) {
    if (kind == "ALL")
        return en ? "===========================Basic Parameters (ALL)==========================="
                  : "==========================Allgemeine Angaben (ALL)==========================";
    if (kind == "WEG")
        return en ? "==============================================flow path (WEG)"
                    "=============================================="
                  : "=============================================Systemlogik (WEG)"
                    "=============================================";
    if (kind == "GEO")
        return en ? "====================================Geometry (GEO)==================================="
                  : "====================================Geometrie (GEO)==================================";
    return en ? "===========================================Head losses (HVE)"
                "==========================================="
              : "=========================================Einzelverluste (HVE)"
                "==========================================";
}

void put(Echo& e, const std::string& line) {
    *e.out << line << '\n';
    ++e.line;
}

// Starts a new page when `lines` more lines do not fit on the current one.
void room(RunContext& ctx, Echo& e, int lines) {
    if (e.line + lines <= ctx.plant.Zeilen - 1) return;
    fuss(ctx, e);
    head(ctx, e, e.kind);
    kopf(ctx, e, e.kind);
}

// One profile of the GEO echo at layer k: type and rise on the first layer,
// then layer height and width (17 columns).
std::string geo_profile(const GeoProfileInput& p, int k) {
    std::string s;
    if (k == 1) s = pad(support::trim(p.T), 1) + " " + fv(p.HS, 5, 2);
    else s = blanks(7);
    return s + fv(p.H[k], 5, 2) + fv(p.B[k], 5, 2);
}

// Number of layers of a profile with a given height or width.
int layers(const GeoProfileInput& p) {
    int n = 0;
    for (int k = 1; k <= cmn::maxLayers; ++k)
        if (given(p.H[k]) || given(p.B[k])) n = k;
    return n;
}

bool any_given(const GeoProfileInput& p) {
    return given(p.Z) || given(p.HS) || layers(p) > 0 || !support::trim(p.T).empty();
}

}  // namespace

void head(RunContext& ctx, Echo& e, const std::string& kind) {
    const bool en = ctx.english();
    const auto& t = ctx.plant.all.titel;
    e.kind = kind;
    e.width = width_of(kind);
    ++e.page;
    e.line = 0;
    *e.out << '\f' << '\n';
    ++e.line;
    const int w = e.width;
    const std::string pageText = (en ? "page " : "Seite") + fmt_i(e.page, 5);
    put(e, support::rtrim(" " + t[1]));
    put(e, " " + pad(t[2], 40) + rpad(pageText, static_cast<size_t>(w - 41)));
    put(e, " " + pad(t[3], 40) + rpad(ctx.plant.all.datum, static_cast<size_t>(w - 41)));
    put(e, "");
    put(e, " " + banner(kind, en));
    put(e, "");
}

void kopf(RunContext& ctx, Echo& e, const std::string& kind) {
    const bool en = ctx.english();
    if (kind == "ALL") {
        const std::string sep = " I" + dashes(11) + "I" + dashes(37) + "I" + dashes(24) + "I";
        put(e, sep);
        put(e, " I " + pad(en ? "Symbol" : "Kürzel", 9) + " I " +
                   pad(en ? "Meaning" : "Bedeutung", 35) + " I " + rpad(en ? "Value" : "Wert", 22) +
                   " I");
        put(e, sep);
    } else if (kind == "WEG") {
        const std::string sep = " I" + dashes(42) + "I" + dashes(14) + "I" + dashes(14) + "I" +
                                dashes(8) + "I" + dashes(9) + "I" + dashes(7) + "I" + dashes(5) + "I";
        const std::string qunit = q_factor(ctx.plant.all.Q_ls) > 0.0005f ? "   l/s   " : "   m3/h  ";
        put(e, sep);
        if (en)
            put(e, " I         S  y  s  t  e  m                 I Inlet        I Outlet       I"
                   " Divis. I    Q    I Plot- I ERK I");
        else
            put(e, " I         S  y  s  t  e  m                 I Zulauf       I Ablauf       I"
                   " Auftlg.I    Q    I Plot- I ERK I");
        put(e, " I" + pad(en ? "  No. Element      Description" : "  Nr. Kennung      Beschreibung", 42) +
                   "I" + pad(en ? " 1st/2nd" : " 1./2.", 14) + "I" + pad(en ? " 1st/2nd" : " 1./2.", 14) +
                   "I" + pad(" %, l/s", 8) + "I" + qunit + "I" + pad(en ? " path n" : " weg np", 7) +
                   "I" + blanks(5) + "I");
        put(e, sep);
    } else if (kind == "GEO") {
        const std::string sep =
            " I" + dashes(14) + "I" + dashes(21) + "I" + dashes(10) + "I" + dashes(35) + "I";
        put(e, sep);
        if (en)
            put(e, " I Element      I Longitudinal sect. I  Losses  I upper --- cross-section --- lower I");
        else
            put(e, " I Baustein     ILängsschnittgeometrieI Verluste I oben -Querschnittgeometrie- unten I");
        const std::string prof = "T" + rpad("hs", 6) + rpad("h", 5) + rpad("B", 5);
        put(e, " I" + blanks(14) + "I" + rpad("zo", 7) + rpad("zu", 7) + rpad("L", 7) + "I" +
                   rpad("k", 5) + rpad("c", 5) + "I" + prof + " " + prof + "I");
        const std::string unit = " " + rpad("m", 6) + rpad("m", 5) + rpad("m", 5);
        put(e, " I" + blanks(14) + "I" + rpad("m", 7) + rpad("m", 7) + rpad("m", 7) + "I" + blanks(10) +
                   "I" + unit + " " + unit + "I");
        put(e, sep);
    } else {
        const std::string sep = " I" + dashes(14) + "I" + dashes(18) + "I" + dashes(11) + "I" +
                                dashes(17) + "I" + dashes(10) + "I" + dashes(26) + "I";
        put(e, sep);
        if (en)
            put(e, " I Element      I   Losses         I Coeffic.  I   Dimensions    IN.   Dist.I"
                   " Explanations             I");
        else
            put(e, " I Baustein     I   Verluste       I  Beiwerte I   Abmessungen   IAnz. Abst.I"
                   " Erläuterungen            I");
        put(e, " I" + blanks(14) + "I" + rpad("hve", 6) + rpad("Zeta1", 6) + rpad("Zeta2", 6) + "I" +
                   rpad("µ", 6) + rpad("n", 5) + "I" + " T" + rpad("h,D", 5) + rpad("Bu", 5) +
                   rpad("Bo", 5) + "I" + rpad("n", 5) + rpad("a", 5) + "I" + blanks(26) + "I");
        put(e, " I" + blanks(14) + "I" + rpad("m", 6) + blanks(12) + "I" + blanks(11) + "I" + blanks(2) +
                   rpad("m", 5) + rpad("m", 5) + rpad("m", 5) + "I" + blanks(5) + rpad("m", 5) + "I" +
                   blanks(26) + "I");
        put(e, sep);
    }
}

void fuss(RunContext&, Echo& e) {
    put(e, " " + std::string(static_cast<size_t>(e.width - 1), '='));
}

void o_all(RunContext& ctx, Echo& e) {
    const bool en = ctx.english();
    const BaseSettings& a = ctx.plant.all;
    head(ctx, e, "ALL");
    kopf(ctx, e, "ALL");
    auto row = [&](const std::string& sym, const std::string& de, const std::string& eng,
                   const std::string& value) {
        put(e, " I " + pad(sym, 9) + " I " + pad(en ? eng : de, 35) + " I " + rpad(value, 22) + " I");
    };
    auto real = [](float v) { return given(v) ? support::trim(fmt_f(v, 14, 3)) : std::string(); };
    for (int k = 1; k <= 3; ++k)
        put(e, " I " + pad((en ? "title " : "Titel ") + std::to_string(k), 9) + " I " + pad(a.titel[k], 60) +
                   " I");
    row("Vmin", "Mindestgeschwindigkeit m/s", "minimum velocity m/s", real(a.Vmin));
    row("Vmax", "Höchstgeschwindigkeit m/s", "maximum velocity m/s", real(a.Vmax));
    row("Bmin", "kleinste Breite m", "minimum width m", real(a.Bmin));
    row("Bmax", "größte Breite m", "maximum width m", real(a.Bmax));
    row("Hmin", "kleinste Höhe m", "minimum height m", real(a.Hmin));
    row("Hmax", "größte Höhe m", "maximum height m", real(a.Hmax));
    row("Lmax", "größte Elementlänge m", "maximum element length m", real(a.Lmax));
    row("DIFFmax", "größter Sohlsprung m", "maximum invert difference m", real(a.DIFFmax));
    row("Zeilen", "Zeilen je Seite", "lines per page", std::to_string(ctx.plant.Zeilen));
    row("Bezug", "Bezugshöhe der Sohlen müNN", "datum of the invert levels masl", real(a.Bezug));
    row("Wasserstd", "Wasserstand am Ende müNN", "water level at the end masl", real(a.Wasserstand));
    row("Q_ls", "Abflüsse in l/s (J) oder m3/h", "discharges in l/s (J) or m3/h", a.Q_ls);
    row("AnhangERG", "Anhang der Ergebnisdatei", "appendix of the results", a.AnhangERG);
    row("AnhangERK", "Anhang der Kurzliste", "appendix of the short list", a.AnhangERK);
    row("AnhangQVE", "Anhang der Durchflussverteilung", "appendix of the division of flows",
        a.AnhangQVE);
    row(en ? "date" : "Datum", "Datum der Variante", "date of the variant", a.datum);
    fuss(ctx, e);
}

void o_weg(RunContext& ctx, Echo& e) {
    const Plant& p = ctx.plant;
    head(ctx, e, "WEG");
    kopf(ctx, e, "WEG");
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& el = p.el[i];
        const bool second = !el.zulauf2.empty() || !el.ablauf2.empty() || given(el.aufteilung2);
        room(ctx, e, second ? 2 : 1);
        const std::string plot =
            " " + pad(el.plotweg, 2) + "  " + std::string(1, el.plotflag == 'N' ? 'J' : ' ') + " ";
        put(e, " I" + fmt_i(i, 5) + " " + pad(el.bez, 12) + " " + pad(el.beschreibung, 23) + "I " +
                   pad(el.zulauf1, 12) + " I " + pad(el.ablauf1, 12) + " I" + fv(el.aufteilung1, 8, 2) +
                   "I" + fv(el.Q, 9, 3) + "I" + plot + "I  " + std::string(1, el.out_erk) + "  I");
        if (second)
            put(e, " I" + blanks(42) + "I " + pad(el.zulauf2, 12) + " I " + pad(el.ablauf2, 12) + " I" +
                       fv(el.aufteilung2, 8, 2) + "I" + blanks(9) + "I" + blanks(7) + "I" + blanks(5) + "I");
    }
    fuss(ctx, e);
}

void o_geo(RunContext& ctx, Echo& e) {
    const Plant& p = ctx.plant;
    head(ctx, e, "GEO");
    kopf(ctx, e, "GEO");
    for (int i = 1; i <= p.nsys; ++i) {
        const GeoInput& g = p.el[i].geo;
        const int n1 = std::max({1, layers(g.o1), layers(g.u1)});
        const bool two = any_given(g.o2) || any_given(g.u2);
        const int n2 = two ? std::max({1, layers(g.o2), layers(g.u2)}) : 0;
        room(ctx, e, n1 + n2);
        for (int k = 1; k <= n1; ++k) {
            std::string l = " I" + (k == 1 ? " " + pad(p.el[i].bez, 12) + " " : blanks(14)) + "I";
            l += k == 1 ? fv(g.o1.Z, 7, 3) + fv(g.u1.Z, 7, 3) + fv(g.L, 7, 2) : blanks(21);
            l += "I" + (k == 1 ? fv(g.K, 5, 2) + fv(g.C, 5, 2) : blanks(10)) + "I";
            l += geo_profile(g.o1, k) + " " + geo_profile(g.u1, k) + "I";
            put(e, l);
        }
        for (int k = 1; k <= n2; ++k) {
            std::string l = " I" + (k == 1 ? pad("   (2)", 14) : blanks(14)) + "I";
            l += k == 1 ? fv(g.o2.Z, 7, 3) + fv(g.u2.Z, 7, 3) + blanks(7) : blanks(21);
            l += "I" + (k == 1 ? blanks(5) + fv(g.C2, 5, 2) : blanks(10)) + "I";
            l += geo_profile(g.o2, k) + " " + geo_profile(g.u2, k) + "I";
            put(e, l);
        }
    }
    fuss(ctx, e);
}

void o_hve(RunContext& ctx, Echo& e) {
    const Plant& p = ctx.plant;
    head(ctx, e, "HVE");
    kopf(ctx, e, "HVE");
    for (int i = 1; i <= p.nsys; ++i) {
        const HveInput& h = p.el[i].hve;
        int n = 1;
        for (int k = 1; k <= 6; ++k) {
            if (given(h.zeta1[k]) || given(h.zeta2[k])) n = std::max(n, k);
            if (!h.erlaeuter[k].empty()) n = std::max(n, k);
        }
        room(ctx, e, n);
        for (int k = 1; k <= n; ++k) {
            const bool first = k == 1;
            std::string l = " I" + (first ? " " + pad(p.el[i].bez, 12) + " " : blanks(14)) + "I";
            l += (first ? fv(h.HVE, 6, 3) : blanks(6)) + fv(h.zeta1[k], 6, 2) + fv(h.zeta2[k], 6, 2) + "I";
            l += first ? fv(h.mue, 6, 3) + fv(h.n_c, 5, 2) : blanks(11);
            l += "I";
            l += first ? " " + pad(support::trim(h.T), 1) + fv(h.H, 5, 2) + fv(h.BU, 5, 2) + fv(h.BO, 5, 2)
                       : blanks(17);
            l += "I";
            const bool nGiven = h.N > -998.0f && std::isfinite(h.N);
            l += first ? (nGiven ? fmt_i(std::lround(h.N), 5) : blanks(5)) + fv(h.A, 5, 2) : blanks(10);
            l += "I " + pad(h.erlaeuter[k], 25) + "I";
            put(e, l);
        }
    }
    fuss(ctx, e);
}

void write_input_echo(RunContext& ctx) {
    if (ctx.failed() || !ctx.run.echo) return;
    const std::string file = ctx.run.echoFile.empty() ? ctx.run.basePath + ".EIN" : ctx.run.echoFile;
    support::AtomicFile f(file);
    Echo e;
    e.out = &f.out();
    o_weg(ctx, e);
    o_geo(ctx, e);
    o_hve(ctx, e);
    o_all(ctx, e);
    finish_file(ctx, f);
}

}  // namespace rivola::output
