#include "database/flow_case_input.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "messages/m_rivola_error.h"
#include "database/m_database.h"
#include "database/m_db_input.h"
#include "support/m_strings.h"

namespace rivola::input {

using checks::report;
using support::trim;
using support::upper;

namespace {

constexpr const char* kCases = "tbl_lastfaelle";
constexpr const char* kInflows = "tbl_lastfall_q";
constexpr const char* kSplits = "tbl_lastfall_aufteilung";

std::string where(const RunContext& ctx, const char* table, int row) {
    return std::string(table) + (ctx.english() ? ", row " : ", Zeile ") + std::to_string(row);
}

// One table read as texts, its columns found by name without regard to case.
struct Rows {
    DbTable t;
    int col(const std::string& name) const {
        for (int c = 1; c <= t.ncol; ++c)
            if (upper(trim(t.colName[static_cast<size_t>(c)])) == upper(name)) return c;
        return 0;
    }
    bool null(int r, int c) const { return c == 0 || t.isNull[static_cast<size_t>(r)][static_cast<size_t>(c)]; }
    std::string text(int r, int c) const {
        return null(r, c) ? std::string() : trim(t.v[static_cast<size_t>(r)][static_cast<size_t>(c)]);
    }
};

bool read_rows(RunContext& ctx, const std::string& path, const char* table, Rows& rows, bool& present,
               std::string& status) {
    present = db_exists_table(ctx, path, table, status) != 0;
    if (status != "ok" || !present) return status == "ok";
    db_read_table(ctx, path, table, "", status, rows.t);
    if (status == "no data") status = "ok";  // a table without rows
    return status == "ok";
}

// A number of a row: false (and reported, L07) when the text is none.
// `required`: NULL is a fault too.
bool number(RunContext& ctx, const Rows& rows, int r, int c, const char* table, const char* column,
            bool required, float& v) {
    v = kMissing;
    const std::string s = rows.text(r, c);
    if (s.empty() && !required) return true;
    float x = 0.0f;
    if (!s.empty() && parse_number(s, x) == 1) {
        v = x;
        return true;
    }
    const bool en = ctx.english();
    report(ctx, "L07", where(ctx, table, r),
           std::string(column) + (s.empty() ? (en ? " is missing." : " fehlt.")
                                            : " = \"" + s + (en ? "\" is not a number." : "\" ist keine Zahl.")));
    return false;
}

// A case name: letters, digits, "_" and "-", 1 to 16 characters.
bool safe_name(const std::string& n) {
    if (n.empty() || n.size() > 16) return false;
    return std::all_of(n.begin(), n.end(), [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-';
    });
}

FlowCase* find_case(std::vector<FlowCase>& cases, const std::string& name) {
    for (FlowCase& c : cases)
        if (upper(c.name) == upper(name)) return &c;
    return nullptr;
}

// The case a row of tbl_lastfall_q or tbl_lastfall_aufteilung belongs to;
// none for a case refused already (told there) or one not in tbl_lastfaelle
// (L06).
FlowCase* case_of_row(RunContext& ctx, std::vector<FlowCase>& cases, const std::set<std::string>& seen,
                      const Rows& rows, int r, int cName, const char* table) {
    const std::string name = rows.text(r, cName);
    if (FlowCase* c = find_case(cases, name)) return c;
    if (!seen.count(upper(name))) report(ctx, "L06", where(ctx, table, r), "Lastfall = \"" + name + "\"");
    return nullptr;
}

// The element a case row names: by its name, or with components by the
// designation "C_NAME/bez"; 0 when there is none.
int element_of(const Plant& p, const std::string& bez) {
    const std::string b = trim(bez);
    for (int i = 1; i <= p.nsys; ++i)
        if (trim(p.el[i].bez_lang) == b || trim(p.el[i].bez) == b) return i;
    return 0;
}

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

}  // namespace

void read_flow_cases(RunContext& ctx, const std::string& path, std::vector<FlowCase>& cases,
                     std::string& status) {
    cases.clear();
    status = "ok";
    Rows rc;
    bool present = false;
    if (!read_rows(ctx, path, kCases, rc, present, status) || !present) return;
    const bool en = ctx.english();
    const int cNr = rc.col("Nr"), cName = rc.col("Lastfall"), cText = rc.col("Beschreibung"),
              cFak = rc.col("Faktor"), cWsp = rc.col("Wasserstand");
    std::set<std::string> seen;
    for (int r = 1; r <= rc.t.nrow; ++r) {
        FlowCase c;
        c.row = r;
        c.name = rc.text(r, cName);
        c.beschreibung = rc.text(r, cText);
        float nr = kMissing;
        bool ok = number(ctx, rc, r, cNr, kCases, "Nr", false, nr);
        c.nr = nr == kMissing ? 0 : static_cast<int>(std::lround(nr));
        ok = number(ctx, rc, r, cFak, kCases, "Faktor", false, c.faktor) && ok;
        ok = number(ctx, rc, r, cWsp, kCases, "Wasserstand", false, c.wasserstand) && ok;
        if (!safe_name(c.name)) {
            report(ctx, "L03", where(ctx, kCases, r),
                   "Lastfall = \"" + c.name +
                       (en ? "\": 1 to 16 letters, digits, \"_\" or \"-\"."
                           : "\": 1 bis 16 Buchstaben, Ziffern, \"_\" oder \"-\"."));
            continue;
        }
        if (!seen.insert(upper(c.name)).second) {
            report(ctx, "L03", where(ctx, kCases, r),
                   "Lastfall = \"" + c.name + (en ? "\" is named twice." : "\" ist doppelt genannt."));
            continue;
        }
        if (c.faktor != kMissing && c.faktor <= 0.0f) {
            report(ctx, "L04", where(ctx, kCases, r),
                   "Lastfall " + c.name + ": Faktor = " + support::fmt_dyn(c.faktor, 3) +
                       (en ? "; it multiplies the inflows and must be above 0."
                           : "; er vervielfacht die Zuflüsse und muss größer 0 sein."));
            ok = false;
        }
        if (ok) cases.push_back(std::move(c));
    }
    // the order of the cases: Nr, rows without Nr last
    std::stable_sort(cases.begin(), cases.end(), [](const FlowCase& a, const FlowCase& b) {
        const bool an = a.nr != 0, bn = b.nr != 0;
        if (an != bn) return an;
        return a.nr < b.nr;
    });

    Rows rq;
    if (!read_rows(ctx, path, kInflows, rq, present, status)) return;
    if (present) {
        const int cName = rq.col("Lastfall"), cBez = rq.col("bez"), cQ = rq.col("Q");
        for (int r = 1; r <= rq.t.nrow; ++r) {
            FlowCase* c = case_of_row(ctx, cases, seen, rq, r, cName, kInflows);
            if (!c) continue;
            CaseInflow q;
            q.row = r;
            q.bez = rq.text(r, cBez);
            if (number(ctx, rq, r, cQ, kInflows, "Q", true, q.Q)) c->inflows.push_back(q);
        }
    }
    Rows ra;
    if (!read_rows(ctx, path, kSplits, ra, present, status)) return;
    if (present) {
        const int cName = ra.col("Lastfall"), cBez = ra.col("bez"), c1 = ra.col("aufteilung1"),
                  c2 = ra.col("aufteilung2");
        for (int r = 1; r <= ra.t.nrow; ++r) {
            FlowCase* c = case_of_row(ctx, cases, seen, ra, r, cName, kSplits);
            if (!c) continue;
            CaseSplit s;
            s.row = r;
            s.bez = ra.text(r, cBez);
            if (number(ctx, ra, r, c1, kSplits, "aufteilung1", false, s.aufteilung1) &&
                number(ctx, ra, r, c2, kSplits, "aufteilung2", false, s.aufteilung2))
                c->splits.push_back(s);
        }
    }
}

bool check_flow_cases(RunContext& ctx, const std::vector<FlowCase>& cases) {
    const Plant& p = ctx.plant;
    const bool en = ctx.english();
    bool ok = true;
    auto fault = [&](const char* code, const char* table, int row, const std::string& text) {
        report(ctx, code, where(ctx, table, row), text);
        ok = false;
    };
    for (const FlowCase& c : cases) {
        for (const CaseInflow& q : c.inflows) {
            const int i = element_of(p, q.bez);
            if (i == 0)
                fault("L01", kInflows, q.row,
                      "Lastfall " + c.name + ": bez = \"" + q.bez +
                          (en ? "\" is no element of the variant." : "\" ist kein Element der Variante."));
            else if (letter(p.el[i]) != 'Q')
                fault("L02", kInflows, q.row,
                      "Lastfall " + c.name + ": " + q.bez +
                          (en ? " is no inflow element (Q)." : " ist kein Zulaufelement (Q)."));
        }
        for (const CaseSplit& s : c.splits) {
            const int i = element_of(p, s.bez);
            if (i == 0) {
                fault("L01", kSplits, s.row,
                      "Lastfall " + c.name + ": bez = \"" + s.bez +
                          (en ? "\" is no element of the variant." : "\" ist kein Element der Variante."));
                continue;
            }
            const Element& e = p.el[i];
            const bool division = letter(e) == 'A' || (letter(e) == 'V' && !trim(e.ablauf2).empty());
            if (!division) {
                fault("L02", kSplits, s.row,
                      "Lastfall " + c.name + ": " + s.bez +
                          (en ? " is no division (A, or V with two outlets)."
                              : " ist keine Aufteilung (A, oder V mit zwei Abläufen)."));
                continue;
            }
            DivisionSetting setting;
            int niter = 0;
            bool percentOk = true;
            const std::string values = "aufteilung1 = " +
                                       (s.aufteilung1 == kMissing ? std::string("NULL") : support::fmt_dyn(s.aufteilung1, 2)) +
                                       ", aufteilung2 = " +
                                       (s.aufteilung2 == kMissing ? std::string("NULL") : support::fmt_dyn(s.aufteilung2, 2));
            if (!division_setting(s.aufteilung1, s.aufteilung2, niter, setting, percentOk))
                fault("L05", kSplits, s.row,
                      "Lastfall " + c.name + ", " + s.bez + ": " + values +
                          (en ? " is no division setting." : " ist keine Einstellung einer Aufteilung."));
            else if (!percentOk)
                fault("L05", kSplits, s.row,
                      "Lastfall " + c.name + ", " + s.bez + ": " + values +
                          (en ? ": the percentages do not add up to 100."
                              : ": die Prozente ergeben nicht 100."));
        }
    }
    return ok;
}

void apply_flow_case(Plant& p, const FlowCase& c) {
    const float f = c.faktor == kMissing ? 1.0f : c.faktor;
    if (f != 1.0f)
        for (int i = 1; i <= p.nsys; ++i)
            if (letter(p.el[i]) == 'Q' && p.el[i].Q != kMissing) p.el[i].Q *= f;
    for (const CaseInflow& q : c.inflows)
        if (const int i = element_of(p, q.bez)) p.el[i].Q = q.Q;
    if (c.wasserstand != kMissing) p.all.Wasserstand = c.wasserstand;
    for (const CaseSplit& s : c.splits) {
        if (const int i = element_of(p, s.bez)) {
            p.el[i].aufteilung1 = s.aufteilung1;
            p.el[i].aufteilung2 = s.aufteilung2;
        }
    }
}

}  // namespace rivola::input
