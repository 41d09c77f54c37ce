// The texts of the result listings (*.ERG, *.ERK, *.QVE, *.EEF) in German and
// English, typed once in one table. The column layout is the same in both
// languages; every header line of a table is exactly as wide as its table.
#pragma once

#include <string>

namespace rivola {
struct RunContext;
}

namespace rivola::output {

enum class Tx : int {
    PageWord,          // "Seite" / "page " (5 characters)
    FooterIdent,       // program identification before name and version
    BannerERG,
    BannerERK,
    BannerQVE,
    BannerEEF,
    ErgHead1,
    ErgHead2,
    ErgHead3,
    ErgHead4,
    QveHead1,
    QveHead2,
    QveHead3,
    EefHead1,
    EefHead2,
    EefHead3,
    LegendTitle,       // "  Bemerkungen: " (followed by the number of steps)
    LegendSteps,       // " Iterationsschritte"
    EefLegend1,
    EefLegend2,        // followed by the threshold and EefLegend2kW
    EefLegend2kW,
    EefSum,            // label of the sum row
    LabelFree,         // division labels in the length column
    LabelFixed,
    LabelQmin,
    LabelQ2,
    SysTitle,          // table of the element links
    SysHead,
    Count_
};

// The text in the language of the run ("ENGL" in the language selects English).
const std::string& tx(const RunContext& ctx, Tx id);
// The text in German (english = false) or English.
const std::string& tx(bool english, Tx id);

// One line of the remark legend: code and its text (a code with two lines of
// text has a second row with an empty code).
struct LegendRow {
    const char* code;
    const char* de;
    const char* en;
};
// The rows of the legend of the *.ERG and *.ERK listings, in order.
const LegendRow* legend_rows(int& n);

}  // namespace rivola::output
