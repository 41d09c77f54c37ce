// The lines of an element in the result listing, as values: the *.ERG
// listing formats them, the result tables and the CSV file store them, so all
// three carry the same sections with the same numbers.
#pragma once

#include <string>
#include <vector>

#include "output/listing_data.h"

namespace rivola {
struct RunContext;
}

namespace rivola::output {

struct ListingRow {
    std::string name;              // on the first line of an element only
    std::string ord;               // strand, or "**" for a section without flow
    bool hasQ = false;             // the discharge is printed (differs from the line above)
    float Q = 0;                   // discharge of the line's section
    std::string lcol;              // length, label or blank (columns 29-35)
    bool hasL = false;             // the length column holds a number:
    float L = 0;                   // the element length, or a pump's delivery head
    LineState s;
    bool h1 = false, h2 = false, h3 = false;
    float l1 = 0, l2 = 0, l3 = 0;  // continuous, single and transition loss
    int branch = 0;                // 1, 2: the line of a branch of a division or confluence
};

// The lines of element i (k = its type ordinal), its remarks completed first.
// With `warnings` the warnings of walls (W50 to W53) and divisions (W60, W61) are
// raised as the listing raises them.
std::vector<ListingRow> element_rows(RunContext& ctx, int i, int k, bool warnings = true);

}  // namespace rivola::output
