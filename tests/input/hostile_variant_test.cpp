// Hostile field values and broken links in an otherwise valid variant that
// the reader takes: each ends in the check-list messages that the checks
// prescribe for it, without a message box.
//
// The variant is the smallest generated plant with one free division:
//   Q1 G1 R1 G2 M1 G3 A1 (G4 | G5) Z1 G6 G7
// with G4 and G5 the two lanes between the division A1 and the confluence Z1.
#include <gtest/gtest.h>

#include "common/variant_db.h"

namespace rivola::test {
namespace {

using Codes = std::vector<std::string>;

gen::PlantTables smallest_plant() {
    const gen::PlantShape s{12, 1, 2};   // elements, free divisions, lanes per stage
    gen::PlantSummary sum;
    std::string why;
    gen::PlantTables t = gen::build(s, sum, why);
    EXPECT_TRUE(why.empty()) << why;
    EXPECT_EQ(t.rows.size(), 12u);
    return t;
}

// Sets column `col` of element `bez` (of tbl_all when bez is empty) to an SQL literal.
void set(gen::PlantTables& t, const std::string& bez, const std::string& col, const std::string& lit) {
    std::vector<gen::Field>* f = &t.all;
    if (!bez.empty()) {
        f = nullptr;
        for (auto& r : t.rows)
            for (auto& x : r.fields)
                if (x.column == "bez" && x.literal == "'" + bez + "'") f = &r.fields;
        ASSERT_NE(f, nullptr) << bez;
    }
    auto it = std::find_if(f->begin(), f->end(), [&](const gen::Field& x) { return x.column == col; });
    if (it == f->end()) it = f->insert(f->end(), gen::Field{col, lit});
    it->literal = lit;
}

TEST(HostileVariant, EachValueGivesItsCheckListMessages) {
    const struct Case {
        const char *bez, *col;
        std::string lit;
        int ierr;
        Codes codes;
        std::vector<std::string> lines;   // in the check list
    } cases[] = {
        // 1e30 m is a length single precision holds: only the warning about
        // lengths above Lmax (200 m in the generated plant)
        {"G4", "GEO_L", "1e30", 1, {"W20"}, {}},
        // below -999998 an inflow counts as not given, which is an error of its own
        {"Q1", "Q", "-1e30", 2, {"Q02"}, {}},
        // a given negative plant inflow: the sum of the inflows and the inflow
        // at the plant inlet are negative
        {"Q1", "Q", "-500", 2, {"Q05", "Q09"}, {}},
        // an empty name (or one of invalid UTF-8): A1's 1st outlet and Z1's 1st
        // inlet name nothing; two plant inlets (Q1, Z1) and two outlets (A1, G7)
        {"G4", "bez", "''", 2, {"S01", "S01"}, {"    1. Q1\n", "    2. Z1\n", "    1. A1\n", "    2. G7\n"}},
        {"G4", "bez", "CAST(x'47c3' AS TEXT)", 2, {"S01", "S01"}, {}},
        // an overlong name is cut to 12 characters: the division is the first
        // element found without its 2nd outlet
        {"G5", "bez", "'" + std::string(300, 'G') + "'", 2, {"S12"}, {}},
        {"G2", "ablauf1", "'X99'", 2, {"S08"}, {}},   // no type letter
        // a well-formed name of no element: G2 becomes a second plant outlet
        {"G2", "ablauf1", "'G99'", 2, {"S01"}, {"    1. G2\n", "    2. G7\n"}},
        // the trunk channel back to the division: the outlet lies earlier in the flow order
        {"G6", "ablauf1", "'A1'", 2, {"S24"}, {}},
        // bytes that are no text in a description are kept
        {"G4", "beschreibung", "CAST(x'c3c3ff00' AS TEXT)", 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bez) + " " + c.col + "=" + c.lit.substr(0, 20));
        gen::PlantTables t = smallest_plant();
        set(t, c.bez, c.col, c.lit);
        TempDir dir("hostile");
        const VariantRun o = run_generated(dir, t);
        ASSERT_EQ(o.loadStatus, "ok");
        EXPECT_EQ(std::tie(o.ierr, o.codes, o.boxes), std::tuple(c.ierr, c.codes, Codes{}));
        for (const auto& l : c.lines) EXPECT_TRUE(holds(o.checklist, l));
    }
}

}  // namespace
}  // namespace rivola::test
