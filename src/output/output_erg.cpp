// The result listing *.ERG with its element writers, and the abbreviated
// listing *.ERK, which repeats the *.ERG lines of the marked elements.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "messages/m_rivola_error.h"
#include "output/listing.h"
#include "output/db_output.h"
#include "output/listing_data.h"
#include "output/listing_rows.h"
#include "output/listing_texts.h"
#include "output/output.h"
#include "output/result_files.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::output {

using support::fmt_f;
using support::fmt_i;
using support::pad;
using support::rtrim;
using support::ucut;
using support::ulen;

namespace {


bool valid(const Plant& p, int i) { return i >= 1 && i <= p.nsys; }

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

bool is_weir_or_wall(const Plant& p, int k) {
    return valid(p, k) && (p.el[k].ityp == T_U || p.el[k].ityp == T_W);
}

// ---- remark slots ----

bool has_code(const std::array<std::string, 6>& bem, std::string_view code) {
    for (int k = 1; k <= 5; ++k)
        if (rtrim(bem[k]) == code) return true;
    return false;
}

bool has_code(const Element& e, std::string_view code) {
    return has_code(e.res[1].bem, code) || has_code(e.res[2].bem, code);
}

// Puts a code into its slot when free, else into the first free slot, else
// over the slot; a code that is already there stays once.
void put_code(std::array<std::string, 6>& bem, const std::string& code, int slot) {
    if (has_code(bem, code)) return;
    if (rtrim(bem[slot]).empty()) {
        bem[slot] = code;
        return;
    }
    for (int k = 1; k <= 5; ++k)
        if (rtrim(bem[k]).empty()) {
            bem[k] = code;
            return;
        }
    bem[slot] = code;
}

void remove_code(std::array<std::string, 6>& bem, std::string_view code) {
    for (int k = 1; k <= 5; ++k)
        if (rtrim(bem[k]) == code) bem[k].clear();
}

bool in_siphon(const Plant& p, int i) {
    if (rtrim(p.el[i].kurzbez) == "Heber") return true;
    for (int s = 1; s <= p.heber.n && s <= cmn::maxHeber; ++s)
        if (i >= p.heber.first[s] && i <= p.heber.last[s]) return true;
    return false;
}

// ---- one line of the table ----

using Row = ListingRow;

std::string blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

std::string loss(bool has, float v) { return has ? fmt_f(v, 6, 3) : blanks(6); }

std::string format_row(const Row& r) {
    std::string l = " I " + pad(r.name, 12) + " " + pad(r.ord, 2) + "I";
    l += r.hasQ ? fmt_f(r.Q, 7, 3) : blanks(7);
    l += " I" + pad(r.lcol, 7) + "I";
    const LineState& s = r.s;
    if (s.has) {
        l += fmt_f(s.z, 8, 3) + fmt_f(s.hges, 6, 2) + fmt_f(s.h, 6, 2) + fmt_f(s.wsp(), 8, 3);
        if (s.hasFlow)
            l += fmt_f(s.A, 7, 2) + fmt_f(s.v, 6, 2) + fmt_f(s.z + s.he, 10, 3);
        else
            l += blanks(23);
        l += (s.hasFlow && s.hasTau) ? fmt_f(s.Tau, 6, 2) : blanks(6);
        const std::string v4 = rtrim(s.bem[4]);
        l += " ";
        l += (v4 == "v" || v4 == "V") ? v4 : " ";
    } else {
        l += blanks(59);
    }
    l += "I" + loss(r.h1, r.l1) + loss(r.h2, r.l2) + loss(r.h3, r.l3) + " I ";
    for (int k = 1; k <= 5; ++k) l += pad(s.bem[k], 2);
    l += "  I";
    return l;
}

std::string strand(const Element& e) { return fmt_i(e.istrang, 2); }

// ---- the element writers ----

struct Writer {
    RunContext& ctx;
    int i;
    int k;  // type ordinal
    bool warnings = true;  // raise the warnings of walls and divisions
    std::vector<Row> rows;

    const Element& e() const { return ctx.plant.el[i]; }

    Row first(int end) {
        Row r;
        r.name = e().bez;
        r.ord = strand(e());
        r.hasQ = true;
        r.Q = e().res[end].Q;
        r.s = end_state(ctx, i, end);
        return r;
    }
    // A further line; its discharge is shown when it differs from the line above.
    Row next(float Q, const LineState& s) {
        Row r;
        r.ord = strand(e());
        const float qAbove = rows.empty() ? Q : rows.back().Q;
        r.hasQ = std::fabs(Q - qAbove) > kTiny;
        r.Q = Q;
        r.s = s;
        return r;
    }
    void set_length(Row& r) const {
        r.lcol = fmt_f(e().L, 6, 2);
        r.hasL = true;
        r.L = e().L;
    }

    // G, D, B, T and likewise Q and R: the inlet section with the continuous
    // and the single loss, the outlet section with the length and the
    // transition loss.
    void outtrs() {
        Row a = first(2);
        a.h1 = a.h2 = true;
        a.l1 = e().HVK;
        a.l2 = e().HVE1;
        rows.push_back(a);
        Row b = next(e().res[1].Q, end_state(ctx, i, 1));
        set_length(b);
        b.h3 = true;
        b.l3 = e().HVU;
        rows.push_back(b);
    }
    void outqzu() { outtrs(); }
    void outrec() { outtrs(); }  // the screen loss is the single loss

    // Weir: one line with the transition loss.
    void outueb() {
        Row a = first(2);
        a.h3 = true;
        a.l3 = e().HVU;
        rows.push_back(a);
    }

    // Pump: one line; the length column carries the delivery head.
    void outpum() {
        Row a = first(2);
        a.hasL = true;
        a.L = pump_head(ctx, i);
        a.lcol = fmt_f(a.L, 6, 2);
        rows.push_back(a);
    }

    // Measurement flume: inlet, sill and outlet.
    void outmes() {
        Row a = first(2);
        a.h1 = a.h2 = true;
        a.l1 = e().HVK;
        a.l2 = e().HVE1;
        rows.push_back(a);
        const LineState t = throat_state(ctx, i);
        if (t.has) rows.push_back(next(e().res[2].Q, t));
        Row b = next(e().res[1].Q, end_state(ctx, i, 1));
        set_length(b);
        b.h3 = true;
        b.l3 = e().HVU;
        rows.push_back(b);
    }

    // Wall: the upstream section with the single loss; the downstream section
    // with the transition loss when that is noticeable.
    void outwan() {
        if (warnings) wall_warnings();
        if (ctx.failed()) return;
        Row a = first(2);
        a.lcol = rtrim(e().kurzbez);
        a.h2 = true;
        a.l2 = e().HVE1;
        rows.push_back(a);
        if (e().HVU > 0.0001f) {
            Row b = next(e().res[1].Q, end_state(ctx, i, 1));
            b.h3 = true;
            b.l3 = e().HVU;
            rows.push_back(b);
        }
    }

    void wall_warnings() {
        Element& w = ctx.plant.el[i];
        const std::string& name = w.bez_lang.empty() ? w.bez : w.bez_lang;
        // W51: the outflow formula holds for h > 5 a only.
        const float a = wall_opening(ctx, i);
        const float h = w.res[2].h;
        if (has_code(w, "µ") && a > 0.0f && 0.2f * h < a) {
            checks::report(ctx, "W51", name, {}, {}, 0, h / a);
            if (ctx.failed()) return;
        }
        // W52/W53: a sluice gate with critical flow below and free surface in
        // the opening, where the outflow formula was not used.
        if (rtrim(w.kurzbez) == "Schuetz" && has_code(w, "gr") && has_code(w, "FS")) {
            if (!wall_formula_governs(ctx, i)) {
                checks::report(ctx, "W52", name);
            } else if (has_code(w, "ZT")) {
                checks::report(ctx, "W53", name);
                remove_code(w.res[1].bem, "ZT");
                remove_code(w.res[2].bem, "ZT");
            }
            if (ctx.failed()) return;
        }
        // W50: a given single-loss head below one velocity head in the wall.
        float hve = w.hvs;
        if (!(hve > 0.0f) && given(w.hve.HVE)) hve = w.hve.HVE;
        const float v = w.res[1].v;
        if (hve > kTiny && hve < v * v * 0.5f * kInvGravity) checks::report(ctx, "W50", name);
    }

    // The label of a division's setting in the length column.
    std::string division_label() const {
        const Plant& p = ctx.plant;
        if (k < 1 || k >= static_cast<int>(p.aufteilung.size())) return {};
        const DivisionSetting& d = p.aufteilung[k];
        if (d.fixed) return tx(ctx, Tx::LabelFixed);
        if (d.requiredQ1) return tx(ctx, Tx::LabelQmin);
        if (d.valueQ2) return tx(ctx, Tx::LabelQ2);
        return tx(ctx, Tx::LabelFree);
    }

    // Division: the inflow line and a line per outlet.
    void outauf() {
        if (warnings) {
            division_critical_warning(ctx, i);
            if (ctx.failed()) return;
        }
        const bool v = letter(e()) == 'V';
        Row a = first(2);
        a.lcol = division_label();
        if (v) {
            a.h1 = a.h2 = true;
            a.l1 = e().HVK;
            a.l2 = e().HVE1;
        }
        rows.push_back(a);
        for (int j = 1; j <= 2; ++j) {
            const BranchLine b = division_branch(ctx, i, j);
            Row r = next(b.Q, b.s);
            r.hasQ = true;
            r.branch = j;
            const int o = e().iab[j];
            r.ord = b.Q < kTiny ? "**" : (valid(ctx.plant, o) ? strand(ctx.plant.el[o]) : "");
            if (j == 1) set_length(r);
            if (b.hasLoss) {
                r.h1 = r.h2 = true;
                r.l1 = b.hvk;
                r.l2 = b.hve;
            }
            if (b.hasHvu) {
                r.h3 = true;
                r.l3 = b.hvu;
            }
            rows.push_back(r);
        }
        if (v && is_weir_or_wall(ctx.plant, e().iab[1]) && is_weir_or_wall(ctx.plant, e().iab[2]))
            rows.push_back(dead_row());
    }

    // Confluence: the outflow line and a line per inlet.
    void outzus() {
        const bool s = letter(e()) == 'S';
        Row a = first(1);
        set_length(a);
        a.h3 = true;
        a.l3 = e().HVU;
        rows.push_back(a);
        for (int j = 1; j <= 2; ++j) {
            const InletLine b = confluence_inlet(ctx, i, j);
            Row r = next(b.Q, b.s);
            r.hasQ = true;
            r.branch = j;
            const int u = e().izu[j];
            r.ord = b.Q < kTiny ? "**" : (valid(ctx.plant, u) ? strand(ctx.plant.el[u]) : "");
            if (b.hasLoss) {
                r.h1 = r.h2 = true;
                r.l1 = b.hvk;
                r.l2 = b.hve;
            }
            rows.push_back(r);
        }
        if (s && is_weir_or_wall(ctx.plant, e().izu[1]) && is_weir_or_wall(ctx.plant, e().izu[2]))
            rows.push_back(dead_row());
    }

    // The section of a distribution or collection flume that carries no flow.
    Row dead_row() {
        Row r;
        r.ord = "**";
        r.hasQ = true;
        r.Q = 0.0f;
        r.s = dead_end(ctx, i);
        return r;
    }

    // Distribution flume (one outlet): the flume, its outlet and, when the
    // water leaves over a side weir or wall, the dead end.
    void outver() {
        outtrs();
        if (is_weir_or_wall(ctx.plant, e().iab[1])) rows.push_back(dead_row());
    }
    // Collection flume (one inlet): likewise, the dead end upstream when the
    // water comes in over a side weir or wall.
    void outsam() {
        outtrs();
        if (is_weir_or_wall(ctx.plant, e().izu[1])) rows.push_back(dead_row());
    }
};

std::vector<std::string> lines_of(RunContext& ctx, int i, int k) {
    std::vector<std::string> out;
    const std::vector<Row> rows = element_rows(ctx, i, k);
    if (ctx.failed()) return {};
    for (const Row& r : rows) out.push_back(format_row(r));
    return out;
}


// The n characters from column `col` (0-based) of a line.
std::string column(const std::string& line, size_t col, size_t n) {
    const size_t b = ucut(line, col).size();
    return ucut(std::string_view(line).substr(b), n);
}

bool is_digits_or_blank(const std::string& s) {
    for (char c : s)
        if (c != ' ' && (c < '0' || c > '9')) return false;
    return true;
}

// True for an element line of the *.ERG table.
bool is_element_line(const std::string& l) {
    if (ulen(l) != 130 || l.compare(0, 3, " I ") != 0) return false;
    for (size_t c : {18u, 27u, 35u, 95u, 115u, 129u})
        if (column(l, c, 1) != "I") return false;
    if (column(l, 15, 1) != " ") return false;
    const std::string ord = column(l, 16, 2);
    return ord == "**" || is_digits_or_blank(ord);
}

}  // namespace

std::vector<ListingRow> element_rows(RunContext& ctx, int i, int k, bool warnings) {
    std::vector<ListingRow> out;
    if (ctx.failed() || !valid(ctx.plant, i)) return out;
    complete_remarks(ctx, i);
    Writer w{ctx, i, k, warnings, {}};
    switch (ctx.plant.el[i].ityp) {
    case T_G:
    case T_D:
    case T_B:
    case T_T: w.outtrs(); break;
    case T_V: w.outver(); break;
    case T_S: w.outsam(); break;
    case T_Q: w.outqzu(); break;
    case T_R: w.outrec(); break;
    case T_U: w.outueb(); break;
    case T_W: w.outwan(); break;
    case T_M: w.outmes(); break;
    case T_P: w.outpum(); break;
    case T_A: w.outauf(); break;
    case T_Z: w.outzus(); break;
    default: break;  // an element without a type has no results
    }
    if (ctx.failed()) return {};
    return w.rows;
}

float board_height(const RunContext& ctx, int i, int slot) {
    if (!valid(ctx.plant, i) || slot < 1 || slot > 4) return 0.0f;
    const EndProfile& p = ctx.plant.el[i].prof[slot];
    if (p.n < 0 || p.n > 6) return 0.0f;
    return p.HS + p.H[p.n];
}

void complete_remarks(RunContext& ctx, int i) {
    if (!valid(ctx.plant, i)) return;
    Element& e = ctx.plant.el[i];
    if (e.ityp == T_D) {
        if (in_siphon(ctx.plant, i)) {
            for (int end = 1; end <= 2; ++end) {
                put_code(e.res[end].bem, "Hw", 2);
                if (e.res[end].h < -7.0f) put_code(e.res[end].bem, "Kv", 5);
            }
        } else {
            for (int end = 1; end <= 2; ++end) {
                const float hges = board_height(ctx, i, end == 1 ? kProfDown : kProfUp);
                if (e.res[end].h < hges - kTiny) put_code(e.res[end].bem, "FS", 5);
            }
        }
    } else if (e.ityp == T_B) {
        e.res[1].bem[4].clear();
        e.res[2].bem[4].clear();
    }
}

std::vector<std::string> element_lines(RunContext& ctx, int i) {
    if (!valid(ctx.plant, i)) return {};
    return lines_of(ctx, i, indtyp(ctx.plant, ctx.plant.el[i].ityp, i));
}

void outerg(RunContext& ctx) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    const std::string path = ctx.run.basePath + ".ERG";
    Listing out(ctx, Kind::ERG, path);
    if (!out.ok()) {
        out.give_up();
        return;
    }
    std::array<int, kMaxItyp + 1> count{};
    for (int i = 1; i <= p.nsys; ++i) {
        const int t = p.el[i].ityp;
        const int k = (t >= 0 && t <= kMaxItyp) ? ++count[t] : 0;
        const std::vector<std::string> lines = lines_of(ctx, i, k);
        if (ctx.failed()) return;  // the file stays incomplete
        if (lines.empty()) continue;
        out.begin_element(static_cast<int>(lines.size()), p.el[i].tz == 'J');
        for (const auto& l : lines) out.line(l);
    }
    out.finish(bemerk(ctx, Kind::ERG, ctx.run.passes));
    // The overview row, the element table and the CSV file of the variant.
    write_erg_tables(ctx);
}

void outerk(RunContext& ctx) {
    if (ctx.failed()) return;
    const Plant& p = ctx.plant;
    const std::string path = ctx.run.basePath + ".ERK";
    bool any = false;
    for (int i = 1; i <= p.nsys && !any; ++i) any = p.el[i].out_erk == 'J';
    if (!any) {
        std::error_code ec;
        std::filesystem::remove(path, ec);  // no listing of an earlier run stays behind
        return;
    }
    // The lines of the marked elements, read back from the finished *.ERG.
    std::ifstream in(ctx.run.basePath + ".ERG", std::ios::binary);
    if (!in) {
        // without this run's result listing there is no short listing either
        remove_earlier(ctx, path, true);
        return;
    }
    std::vector<std::pair<int, std::vector<std::string>>> blocks;
    int cursor = 1;
    int current = 0;  // element of the block being read, 0 = none
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!is_element_line(l)) {
            current = 0;
            continue;
        }
        const std::string name = rtrim(column(l, 3, 12));
        if (!name.empty()) {
            current = 0;
            for (int i = cursor; i <= p.nsys; ++i)
                if (rtrim(p.el[i].bez) == name) {
                    current = i;
                    cursor = i + 1;
                    break;
                }
            if (current && p.el[current].out_erk == 'J') blocks.push_back({current, {}});
            else current = 0;
        }
        if (current) blocks.back().second.push_back(l);
    }
    Listing out(ctx, Kind::ERK, path);
    if (!out.ok()) {
        out.give_up();
        return;
    }
    for (const auto& [i, lines] : blocks) {
        out.begin_element(static_cast<int>(lines.size()), p.el[i].tz == 'J');
        for (const auto& s : lines) out.line(s);
    }
    out.finish(bemerk(ctx, Kind::ERK, ctx.run.passes));
}

void close_listings(RunContext&) {}

}  // namespace rivola::output
