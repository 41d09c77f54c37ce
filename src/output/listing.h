// The page layout shared by the four result listings: a page is `Zeilen`
// lines long; it begins with an empty line (first page) or a line holding the
// form-feed character, three title lines with the listing's appendix label,
// the page number and the date, the banner of the kind and an empty line, and
// the column header (`kopf`); it ends with the table's separator and the
// footer (`fuss`): empty lines up to the page length, a row of "=" as wide as
// the table and the program line.
#pragma once

#include <string>
#include <vector>

#include "output/output.h"
#include "support/m_files.h"

namespace rivola {
struct RunContext;
}

namespace rivola::output {

// The column header of a kind: separator, header lines, separator.
std::vector<std::string> kopf(const RunContext& ctx, Kind kind);
// The separator line of a kind's table.
std::string separator(Kind kind);
// The footer of a page that holds `used` lines so far: empty lines up to the
// page length, the row of "=" and the program line.
std::vector<std::string> fuss(const RunContext& ctx, Kind kind, int used, int zeilen);
// The legend of the remark codes at the end of a listing; `steps` is the
// number of passes of the walk (*.ERG, *.ERK). For *.EEF the legend of the
// power columns.
std::vector<std::string> bemerk(const RunContext& ctx, Kind kind, int steps);
// The three title lines and the banner of a page.
std::vector<std::string> page_head(const RunContext& ctx, Kind kind, int page);

// One listing file being written page by page.
class Listing {
public:
    Listing(RunContext& ctx, Kind kind, const std::string& path);
    // False when the file could not be created.
    bool ok() const { return ok_; }
    // Records that the file could not be created (after ok() said false).
    void give_up();
    // Makes room for an element of `nlines` lines: begins a new page when the
    // current one is full; writes the separator line before an element marked
    // for it (never before the first element, nor at the top of a page).
    void begin_element(int nlines, bool separate);
    void line(const std::string& s);
    // Closes the table, writes the legend (on a page of its own when it does
    // not fit) and the last footer, and puts the complete file in place of an
    // older one. False when the file could not be stored whole.
    bool finish(const std::vector<std::string>& legend);
    int page() const { return page_; }
    int used() const { return used_; }

private:
    void new_page(bool withHeader);
    void close_page();
    void put(const std::string& s);

    RunContext& ctx_;
    Kind kind_;
    support::AtomicFile out_;
    bool ok_ = false;
    int zeilen_ = 60;
    int used_ = 0;        // lines on the current page
    int count_ = 0;       // line counter that decides the page break
    int page_ = 0;
    bool first_ = true;   // no element written yet
    bool top_ = true;     // no element on the current page yet
};

}  // namespace rivola::output
