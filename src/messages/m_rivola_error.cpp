#include "messages/m_rivola_error.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "messages/m_info.h"
#include "model/context.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::checks {

using support::fmt_f;
using support::fmt_i;
using support::rtrim;
using support::ucut;

namespace {

// Severity of a message family, chosen by the first character of its code;
// 0 for a character that names no family.
int family_severity(std::string_view code, int ival) {
    switch (code.empty() ? ' ' : code[0]) {
        case 'G': case 'S': case 'L': case 'm': return 2;
        case 'H': return code.substr(0, 3) == "H56" ? 1 : 2;
        case 'Q': return code.substr(0, 3) == "Q12" ? ival : 2;
        case 'W': return 1;
        case 'F': return code.substr(0, 3) == "F04" ? 0 : 1;
        default: return 0;
    }
}

void put(Reporter& r, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), r.unit);
    std::fputc('\n', r.unit);
}

// Fills the placeholders of a catalogue text and splits it into the lines of
// the message: the code and the first piece, then three blanks and each
// further piece.
std::string render(std::string_view code, const char* text, const std::string t[3], int ival,
                   float rval) {
    std::string out(code.substr(0, 3));
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            out += "\n   ";
        } else if (*p == '{') {
            const char* e = std::strchr(p, '}');
            std::string_view ph(p + 1, static_cast<size_t>(e - p - 1));
            if (ph[0] == 'T') {
                out += t[ph[1] - '1'];
            } else if (ph[0] == 'N') {
                out += fmt_i(ival, std::atoi(std::string(ph.substr(2)).c_str()));
            } else if (ph[0] == 'R') {
                const std::string wd(ph.substr(2));
                const int w = std::atoi(wd.c_str());
                const int d = std::atoi(wd.c_str() + wd.find('.') + 1);
                out += fmt_f(rval, w, d);
            }
            p = e;
        } else {
            out += *p;
        }
    }
    return out;
}

bool open_unit(RunContext& ctx) {
    Reporter& r = ctx.rep;
    if (!r.first) return r.unit != nullptr;
    r.first = false;
    // Without a variant there is no check list to write (never ".pkl" in the
    // working directory).
    if (rtrim(r.base).empty()) return false;
    r.unit = std::fopen(r.fileName().c_str(), "a");
    if (!r.unit) return false;
    put(r, rtrim(r.title) + ": " + rtrim(r.base) + ".pkl");
    std::fflush(r.unit);
    return true;
}

}  // namespace

int fehler(RunContext& ctx, std::string_view code, std::string_view t1, std::string_view t2,
           std::string_view t3, int ival, float rval) {
    Reporter& r = ctx.rep;
    const std::string t[3] = {ucut(rtrim(t1), 300), ucut(rtrim(t2), 300), ucut(rtrim(t3), 300)};

    if (code == "INIT") {
        r.close();
        // the whole path: a check list under a cut name would be lost
        r.base = std::string(t1);
        r.title = ucut(t2, 100);
        r.first = true;
        support::remove_file(rtrim(r.base) + ".pkl");
        r.last = 0;
        r.worst = 0;
        return 0;
    }

    ++r.calls;
    const bool haveFile = open_unit(ctx);
    if (code == "OUTQQQ") return r.worst;

    const std::string& lang = ctx.settings.language;
    const bool de = support::contains(lang, "DEU");
    const bool en = !de && support::contains(lang, "ENGL");

    const std::string_view c3 = code.substr(0, 3);
    // A result that could not be stored (family D) is told in the check list
    // but leaves the severity of the data alone: the run ends with its own
    // level for storage failures.
    const bool storage = !c3.empty() && c3[0] == 'D';
    // The freeboard summary informs; it changes no level either.
    const bool silent = storage || c3 == "F04";
    const int sev = family_severity(c3, ival);
    if (sev == 0 && !silent && !(c3 == "Q12")) return r.worst;  // no family: nothing changes
    if (!silent) r.last = sev;

    if (haveFile && (de || en)) {
        if (c3 == "S01") {
            if (ival == 1)
                put(r, std::string("S01") + (de ? " Die Kläranlage hat mehr als einen "
                                                : " The WWTP has more than one ") +
                           t[1]);
            put(r, fmt_i(ival, 5) + ". " + t[0]);
        } else {
            std::string_view key = c3;
            if (c3 == "W21" && !(rval < 100.0f)) key = "W2b";
            const CatalogueEntry* e = catalogue_find(key);
            const char* text = e ? (de ? e->de : e->en) : nullptr;
            if (text) put(r, render(c3, text, t, ival, rval));
        }
        std::fflush(r.unit);
    }
    r.worst = std::max(r.worst, r.last);
    return r.worst;
}

int report(RunContext& ctx, std::string_view code, std::string_view t1, std::string_view t2,
           std::string_view t3, int ival, float rval) {
    const int w = fehler(ctx, code, t1, t2, t3, ival, rval);
    if (w > ctx.run.ierr) ctx.run.ierr = w;
    return w;
}

void outqqq_line(RunContext& ctx, std::string_view line) {
    if (!ctx.rep.unit) return;
    std::fwrite(line.data(), 1, line.size(), ctx.rep.unit);
    std::fputc('\n', ctx.rep.unit);
    std::fflush(ctx.rep.unit);
}

}  // namespace rivola::checks
