// Hostile field values and broken links in an otherwise valid variant: each
// ends in a stop with a message box (values the reader cannot take) or in
// the check-list messages that the checks prescribe for it.
//
// The variant is the smallest generated plant with one free division:
//   Q1 G1 R1 G2 M1 G3 A1 (G4 | G5) Z1 G6 G7
// with G4 and G5 the two lanes between the division A1 and the confluence Z1.
#include <gtest/gtest.h>

#include <algorithm>

#include "input/generated_variant.h"

namespace rivola::test {
namespace {

using Codes = std::vector<std::string>;

class HostileVariant : public ::testing::Test {
protected:
    TempDir dir{"hostile"};
    gen::PlantTables t;

    void SetUp() override {
        gen::PlantShape s;
        s.elements = 12;
        s.freeDivisions = 1;
        s.lanesPerStage = 2;
        gen::PlantSummary sum;
        std::string why;
        t = gen::build(s, sum, why);
        ASSERT_TRUE(why.empty()) << why;
        ASSERT_EQ(t.rows.size(), 12u);
    }

    gen::ElementRow& row(const std::string& bez) {
        for (auto& r : t.rows)
            for (auto& f : r.fields)
                if (f.column == "bez" && f.literal == "'" + bez + "'") return r;
        ADD_FAILURE() << "no element " << bez;
        return t.rows.front();
    }
    void set(const std::string& bez, const std::string& col, const std::string& lit) {
        auto& f = row(bez).fields;
        for (auto& x : f)
            if (x.column == col) {
                x.literal = lit;
                return;
            }
        f.push_back({col, lit});
    }
    void set_all(const std::string& col, const std::string& lit) {
        for (auto& x : t.all)
            if (x.column == col) {
                x.literal = lit;
                return;
            }
        t.all.push_back({col, lit});
    }
    // The run stopped in the reader: a box about the table, no check list message.
    void expect_reader_stop(const GenOutcome& o, const std::string& table) {
        ASSERT_EQ(o.loadStatus, "ok");
        EXPECT_EQ(o.ierr, 3);
        ASSERT_EQ(o.boxes.size(), 1u);
        EXPECT_EQ(o.boxes[0].rfind("rivola_8 Abbruch|", 0), 0u) << o.boxes[0];
        EXPECT_NE(o.boxes[0].find(table), std::string::npos) << o.boxes[0];
        EXPECT_TRUE(o.codes.empty());
    }
};

TEST_F(HostileVariant, ValuesThatAreNoNumbersStopTheReader) {
    // NaN, infinities and numbers beyond single precision are not numbers the
    // hydraulics can compute with; a text in a number column neither.
    struct Case {
        const char *bez, *col, *lit, *table;
    };
    for (const Case c : {Case{"G4", "GEO_L", "'NaN'", "tbl_rvldaten"},
                         Case{"R1", "HVE_zeta1", "1e999", "tbl_rvldaten"},
                         Case{"G5", "GEO_oB11", "-1e999", "tbl_rvldaten"},
                         Case{"G4", "GEO_L", "3.5e38", "tbl_rvldaten"},
                         Case{"Q1", "Q", "'abc'", "tbl_rvldaten"},
                         Case{"A1", "aufteilung1", "'-Infinity'", "tbl_rvldaten"}}) {
        SCOPED_TRACE(std::string(c.col) + "=" + c.lit);
        SetUp();
        set(c.bez, c.col, c.lit);
        expect_reader_stop(run_generated(dir, t), c.table);
    }
    SetUp();
    set_all("Wasserstand", "'NaN'");
    expect_reader_stop(run_generated(dir, t), "tbl_all");
    SetUp();
    set_all("Zeilen", "99999999999");  // beyond any integer column
    expect_reader_stop(run_generated(dir, t), "tbl_all");
}

TEST_F(HostileVariant, HugeButFiniteValuesAreCheckedNotRejected) {
    // 1e30 m is a length (single precision holds it): only the warning about
    // lengths above Lmax (200 m in the generated plant).
    set("G4", "GEO_L", "1e30");
    const GenOutcome o = run_generated(dir, t);
    EXPECT_EQ(o.ierr, 1);
    EXPECT_EQ(o.codes, Codes{"W20"});
}

TEST_F(HostileVariant, NegativeInflowsAreInflowErrors) {
    {
        // -1e30 lies below -999998: by the convention of the model the inflow
        // is not given, which is an error of its own; it counts as 0.
        set("Q1", "Q", "-1e30");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        EXPECT_EQ(o.codes, Codes{"Q02"});
    }
    {
        // A given negative plant inflow: the sum of the inflows is negative,
        // and so is the inflow at the plant inlet.
        SetUp();
        set("Q1", "Q", "-500");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        EXPECT_EQ(o.codes, (Codes{"Q05", "Q09"}));
    }
}

TEST_F(HostileVariant, BrokenNamesAndLinksGiveSystemLogicErrors) {
    {
        // An empty name: A1's 1st outlet and Z1's 1st inlet name nothing, so
        // the plant has two inlets (Q1, Z1) and two outlets (A1, G7).
        set("G4", "bez", "''");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        // one list of plant inlets, one of plant outlets
        EXPECT_EQ(o.codes, (Codes{"S01", "S01"}));
        for (const char* line : {"    1. Q1\n", "    2. Z1\n", "    1. A1\n", "    2. G7\n"})
            EXPECT_NE(o.checklist.find(line), std::string::npos) << line;
    }
    {
        // The same with a name of invalid UTF-8 bytes.
        SetUp();
        set("G4", "bez", "CAST(x'47c3' AS TEXT)");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        EXPECT_EQ(o.codes, (Codes{"S01", "S01"}));
    }
    {
        // An overlong name is cut to 12 characters: the division's 2nd outlet
        // and the confluence's 2nd inlet no longer resolve; the division is
        // the first element found without its 2nd outlet.
        SetUp();
        set("G5", "bez", "'" + std::string(300, 'G') + "'");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        EXPECT_EQ(o.codes, Codes{"S12"});
    }
    {
        // An outlet name that begins with no type letter.
        SetUp();
        set("G2", "ablauf1", "'X99'");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        EXPECT_EQ(o.codes, Codes{"S08"});
    }
    {
        // A well-formed name of no element: G2 becomes a second plant outlet.
        SetUp();
        set("G2", "ablauf1", "'G99'");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        EXPECT_EQ(o.codes, Codes{"S01"});
        EXPECT_NE(o.checklist.find("    1. G2\n"), std::string::npos);
        EXPECT_NE(o.checklist.find("    2. G7\n"), std::string::npos);
    }
    {
        // The trunk channel G6 leads back to the division A1: water would run
        // in a circle; the outlet lies earlier in the flow order.
        SetUp();
        set("G6", "ablauf1", "'A1'");
        const GenOutcome o = run_generated(dir, t);
        EXPECT_EQ(o.ierr, 2);
        EXPECT_EQ(o.codes, Codes{"S24"});
    }
}

TEST_F(HostileVariant, BytesThatAreNoTextInADescriptionAreKept) {
    set("G4", "beschreibung", "CAST(x'c3c3ff00' AS TEXT)");
    const GenOutcome o = run_generated(dir, t);
    EXPECT_EQ(o.ierr, 0);
    EXPECT_TRUE(o.codes.empty());
}

TEST_F(HostileVariant, MissingTablesAndRowsStopWithADatabaseMessage) {
    {
        std::string sql = gen::to_sql(t);
        const size_t a = sql.find("CREATE TABLE tbl_all");
        sql.erase(a, sql.find('\n', a) - a);
        const size_t i = sql.find("INSERT INTO tbl_all");
        sql.erase(i, sql.find('\n', i) - i);
        const GenOutcome o = run_generated(dir, sql);
        ASSERT_EQ(o.loadStatus, "ok");
        EXPECT_EQ(o.ierr, 3);
        ASSERT_EQ(o.boxes.size(), 1u);
        EXPECT_EQ(o.boxes[0].rfind("Datenbankfehler|", 0), 0u) << o.boxes[0];
    }
    {
        SetUp();
        t.rows.clear();
        expect_reader_stop(run_generated(dir, t), "tbl_rvldaten");
    }
}

}  // namespace
}  // namespace rivola::test
