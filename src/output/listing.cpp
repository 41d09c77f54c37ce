#include "output/listing.h"

#include <algorithm>

#include "output/listing_texts.h"
#include "output/result_files.h"
#include "model/context.h"
#include "support/m_strings.h"

namespace rivola::output {

using support::fmt_i;
using support::pad;
using support::rpad;
using support::ulen;

int table_width(Kind k) {
    switch (k) {
    case Kind::QVE: return 98;
    case Kind::EEF: return 105;
    default: return 130;
    }
}

namespace {

std::string blanks(int n) { return std::string(static_cast<size_t>(std::max(n, 0)), ' '); }

// The banner row: "=" on both sides of the kind's text, filling the table
// width.
std::string banner(const RunContext& ctx, Kind kind) {
    Tx id = Tx::BannerERG;
    int left = 53;
    switch (kind) {
    case Kind::ERG: id = Tx::BannerERG; left = 53; break;
    case Kind::ERK: id = Tx::BannerERK; left = 53; break;
    case Kind::QVE: id = Tx::BannerQVE; left = 34; break;
    case Kind::EEF: id = Tx::BannerEEF; left = 38; break;
    }
    const std::string& t = tx(ctx, id);
    const int runs = table_width(kind) - 3 - static_cast<int>(ulen(t));
    if (ctx.english()) left = (runs + 1) / 2;  // the English texts are centred
    const int right = runs - left;
    return " " + std::string(static_cast<size_t>(left), '=') + " " + t + " " +
           std::string(static_cast<size_t>(std::max(right, 1)), '=');
}

}  // namespace

std::string separator(Kind kind) {
    // The columns of the table: an "I" where the header has one, "-" elsewhere.
    Tx units = Tx::ErgHead3;
    if (kind == Kind::QVE) units = Tx::QveHead3;
    if (kind == Kind::EEF) units = Tx::EefHead3;
    const std::string& h = tx(false, units);
    std::string r = " ";
    size_t col = 0;
    for (size_t k = 0; k < h.size(); ++k) {
        const unsigned char c = static_cast<unsigned char>(h[k]);
        if ((c & 0xC0) == 0x80) continue;  // continuation byte of a character
        if (col++ == 0) continue;
        r += (c == 'I') ? 'I' : '-';
    }
    return r;
}

std::vector<std::string> page_head(const RunContext& ctx, Kind kind, int page) {
    const BaseSettings& a = ctx.plant.all;
    const std::string t1 = " " + pad(a.titel[1], 40);
    const std::string t2 = " " + pad(a.titel[2], 40);
    const std::string t3 = " " + pad(a.titel[3], 40);
    const std::string pg = tx(ctx, Tx::PageWord) + fmt_i(page, 5);
    const std::string date = rpad(a.datum, 11);
    std::vector<std::string> l;
    switch (kind) {
    case Kind::ERG:
    case Kind::ERK:
        l.push_back(t1 + blanks(69) + pad(kind == Kind::ERG ? a.AnhangERG : a.AnhangERK, 20));
        l.push_back(t2 + blanks(79) + pg);
        l.push_back(t3 + blanks(78) + date);
        break;
    case Kind::QVE:
        l.push_back(t1 + blanks(36) + pad(a.AnhangQVE, 20));
        l.push_back(t2 + blanks(46) + pg);
        l.push_back(t3 + blanks(45) + date);
        break;
    case Kind::EEF:
        l.push_back(t1 + blanks(64));
        l.push_back(t2 + blanks(54) + pg);
        l.push_back(t3 + blanks(53) + date);
        break;
    }
    l.push_back(banner(ctx, kind));
    l.push_back("");
    return l;
}

std::vector<std::string> kopf(const RunContext& ctx, Kind kind) {
    std::vector<std::string> l;
    l.push_back(separator(kind));
    Tx first = Tx::ErgHead1;
    int n = 4;
    if (kind == Kind::QVE) {
        first = Tx::QveHead1;
        n = 3;
    } else if (kind == Kind::EEF) {
        first = Tx::EefHead1;
        n = 3;
    }
    for (int k = 0; k < n; ++k) {
        const std::string& s = tx(ctx, static_cast<Tx>(static_cast<int>(first) + k));
        if (!s.empty()) l.push_back(s);
    }
    l.push_back(separator(kind));
    return l;
}

std::vector<std::string> fuss(const RunContext& ctx, Kind kind, int used, int zeilen) {
    std::vector<std::string> l(static_cast<size_t>(std::max(zeilen - used - 2, 0)));
    const int w = table_width(kind);
    l.push_back(" " + std::string(static_cast<size_t>(w - 1), '='));
    const std::string prog = ctx.settings.programName + " " + ctx.settings.version;
    const int room = w - 1 - static_cast<int>(ulen(prog));
    l.push_back(" " + pad(tx(ctx, Tx::FooterIdent), static_cast<size_t>(std::max(room, 0))) +
                prog);
    return l;
}

std::vector<std::string> bemerk(const RunContext& ctx, Kind kind, int steps) {
    std::vector<std::string> l;
    const bool en = ctx.english();
    if (kind == Kind::EEF) {
        l.push_back(tx(en, Tx::EefLegend1));
        l.push_back(tx(en, Tx::EefLegend2) + support::fmt_f(kPvThreshold, 5, 2) +
                    tx(en, Tx::EefLegend2kW));
        return l;
    }
    if (kind == Kind::QVE) return l;
    l.push_back(tx(en, Tx::LegendTitle) + fmt_i(steps, 4) + tx(en, Tx::LegendSteps));
    int n = 0;
    const LegendRow* rows = legend_rows(n);
    for (int k = 0; k < n; ++k) {
        const char* text = en ? rows[k].en : rows[k].de;
        if (!text || !*text) continue;
        // code from column 16, its text from column 21
        l.push_back(blanks(15) + pad(rows[k].code, 5) + text);
    }
    return l;
}

// ---------------------------------------------------------------------------

Listing::Listing(RunContext& ctx, Kind kind, const std::string& path)
    : ctx_(ctx), kind_(kind), out_(path) {
    ok_ = out_.is_open();
    zeilen_ = std::max(ctx.plant.Zeilen, 60);
}

void Listing::put(const std::string& s) {
    out_.out() << s << '\n';
    ++used_;
    ++count_;
}

void Listing::new_page(bool withHeader) {
    ++page_;
    used_ = 0;
    count_ = 0;
    put(page_ == 1 ? std::string() : std::string("\f"));
    for (const auto& s : page_head(ctx_, kind_, page_)) put(s);
    if (withHeader) {
        for (const auto& s : kopf(ctx_, kind_)) put(s);
        // The element listings count twelve lines for the page head in both
        // languages (the German column header has one line less).
        if (kind_ == Kind::ERG || kind_ == Kind::ERK) count_ = std::max(count_, 12);
    }
    top_ = true;
}

void Listing::close_page() {
    put(separator(kind_));
    for (const auto& s : fuss(ctx_, kind_, used_, zeilen_)) put(s);
}

void Listing::begin_element(int nlines, bool separate) {
    // The listings of elements close a page once more than Zeilen - 7 lines
    // are used (an element has at most four lines, so the footer still fits);
    // the tables of one row per element once more than Zeilen - 4 are used.
    const int limit = (kind_ == Kind::ERG || kind_ == Kind::ERK) ? zeilen_ - 7 : zeilen_ - 4;
    const int sep = (separate && !first_ && !top_) ? 1 : 0;
    if (page_ == 0) {
        new_page(true);
    } else if (count_ + sep > limit || used_ + sep + nlines + 3 > zeilen_) {
        close_page();
        new_page(true);
    }
    if (separate && !first_ && !top_) put(separator(kind_));
    first_ = false;
    top_ = false;
}

void Listing::line(const std::string& s) { put(s); }

void Listing::give_up() { finish_file(ctx_, out_); }

bool Listing::finish(const std::vector<std::string>& legend) {
    if (page_ == 0) new_page(true);
    const int need = 1 + (legend.empty() ? 0 : 1 + static_cast<int>(legend.size())) + 2;
    if (used_ + need > zeilen_ && !legend.empty()) {
        close_page();
        new_page(false);
    } else {
        put(separator(kind_));
    }
    if (!legend.empty()) {
        put("");
        for (const auto& s : legend) put(s);
    }
    for (const auto& s : fuss(ctx_, kind_, used_, zeilen_)) put(s);
    return finish_file(ctx_, out_);
}

}  // namespace rivola::output
