// The column reference against the reader, and the spreadsheet import: CSV
// fields, cell checks and a broken sheet refused as a whole. (The round trip
// of whole variants is part of the Access test.)
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "common/variant_db.h"
#include "database/column_reference.h"
#include "database/db_csv.h"
#include "database/flow_case_input.h"
#include "database/m_db_input.h"

using namespace rivola;
using namespace rivola::input;
using namespace rivola::test;
namespace fs = std::filesystem;

namespace {

// A copy of `from` whose table lacks `column` (SQLite cannot drop a key column).
std::string without_column(const TempDir& dir, const std::string& from, const ColumnRef& column) {
    const std::string to = dir / (column.table + "_" + column.name + ".mdb");
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    std::string keep;
    for (const ColumnRef* c : table_columns(column.table))
        if (c != &column) keep += (keep.empty() ? "\"" : ", \"") + c->name + "\"";
    sqlite(to, "CREATE TABLE t2 AS SELECT " + keep + " FROM " + column.table + "; DROP TABLE " + column.table +
                   "; ALTER TABLE t2 RENAME TO " + column.table + ";");
    return to;
}

// What the reader takes from a variant, as one text to compare.
std::string flow_cases_read(const std::string& variant) {
    RunContext ctx;
    test::RecordingUi ui;
    ctx.ui = &ui;
    std::vector<FlowCase> cases;
    std::string status, s;
    read_flow_cases(ctx, variant, cases, status);
    for (const FlowCase& c : cases) {
        s += std::to_string(c.nr) + "|" + c.name + "|" + c.beschreibung + "|" + std::to_string(c.faktor) + "|" +
             std::to_string(c.wasserstand) + ";";
        for (const CaseInflow& q : c.inflows) s += q.bez + "=" + std::to_string(q.Q) + ";";
        for (const CaseSplit& a : c.splits)
            s += a.bez + "=" + std::to_string(a.aufteilung1) + "/" + std::to_string(a.aufteilung2) + ";";
    }
    return s + status;
}

}  // namespace

// Every column the reader reads is in the reference (a variant made from the
// reference alone reads), and every column of the reference is read: without
// it the read fails or reads something else; an optional column's value
// arrives in the plant model.
TEST(ColumnReference, TheReaderReadsEveryColumnAndNoOther) {
    TempDir dir;
    const std::string base = dir / "base.mdb";
    {
        RunContext tools;
        std::string status;
        db_new_variant(tools, base, status);
        ASSERT_EQ(status, "ok");
    }
    sqlite(base,
           "INSERT INTO tbl_all (Titel, Freibord, datum) VALUES ('T', 0.25, '2024-03-05');"
           "INSERT INTO tbl_rvldaten (er, bez, ablauf1, HVE_ERLAEUTER1, HVE_ERLAEUTER2, HVE_ERLAEUTER3, "
           "HVE_ERLAEUTER4, HVE_ERLAEUTER5, HVE_ERLAEUTER6) VALUES (1, 'Q1', 'ENDE', 'e1', 'e2', 'e3', 'e4', 'e5', "
           "'e6');"
           "CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung varchar(255), Faktor double, "
           "Wasserstand double);"
           "CREATE TABLE tbl_lastfall_q (Lastfall varchar(16), bez varchar(12), Q double);"
           "CREATE TABLE tbl_lastfall_aufteilung (Lastfall varchar(16), bez varchar(12), aufteilung1 double, "
           "aufteilung2 double);"
           "INSERT INTO tbl_lastfaelle VALUES (2, 'Regen', 'Regenwetter', 1.5, 100.25);"
           "INSERT INTO tbl_lastfall_q VALUES ('Regen', 'Q1', 300);"
           "INSERT INTO tbl_lastfall_aufteilung VALUES ('Regen', 'A1', 40, 60);");
    auto read = [](const std::string& path, RunContext& ctx) {
        test::RecordingUi ui;
        ctx.ui = &ui;
        std::string status;
        inmdb(ctx, path, status);
        ctx.ui = nullptr;
        return status;
    };
    RunContext full;
    ASSERT_EQ(read(base, full), "ok");
    ASSERT_EQ(full.plant.nsys, 1);
    // the optional columns are read where they are
    EXPECT_EQ(std::pair(full.plant.all.Freibord, full.plant.all.datum), std::pair(0.25f, std::string("05.03.2024")));
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(full.plant.el[1].hve.erlaeuter[k], "e" + std::to_string(k));
    const std::string cases = flow_cases_read(base);

    std::vector<std::string> unread;
    for (const ColumnRef& c : column_reference()) {
        const std::string v = without_column(dir, base, c);
        if (c.table == "tbl_all" || c.table == "tbl_rvldaten") {
            RunContext ctx;
            const std::string status = read(v, ctx);
            EXPECT_TRUE(!c.optional || status == "ok") << c.name << " is optional, the read must not need it";
            if (!c.optional && status == "ok") unread.push_back(c.table + "." + c.name);
        } else if (flow_cases_read(v) == cases) {
            unread.push_back(c.table + "." + c.name);
        }
        fs::remove(v);
    }
    EXPECT_TRUE(unread.empty()) << "columns nothing reads: " << ::testing::PrintToString(unread);
}

TEST(Csv, FieldsQuotesLineBreaksAndEmptyTexts) {
    const struct {
        const char* text;
        std::vector<std::vector<std::string>> rows;
        std::vector<std::vector<bool>> quoted;
        bool ok = true;
    } cases[] = {
        {"a;b\r\n1;2\r\n", {{"a", "b"}, {"1", "2"}}, {{false, false}, {false, false}}},
        {"a;b\n1;2", {{"a", "b"}, {"1", "2"}}, {{false, false}, {false, false}}},  // no final line break
        {"\"x;y\";\"he said \"\"no\"\"\"\n", {{"x;y", "he said \"no\""}}, {{true, true}}},
        {"\"line 1\nline 2\";z\n", {{"line 1\nline 2", "z"}}, {{true, false}}},
        {"\"\";;\n", {{"", "", ""}}, {{true, false, false}}},  // empty text, no value, no value
        {"a;\"open\n", {}, {}, false},                             // a quote left open
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::vector<std::string>> rows;
        std::vector<std::vector<bool>> quoted;
        ASSERT_EQ(parse_csv(c.text, rows, quoted), c.ok);
        if (c.ok) { EXPECT_EQ(std::tie(rows, quoted), std::tie(c.rows, c.quoted)); }
    }
}

TEST(Csv, CellsAreCheckedAgainstTheirColumn) {
    const struct {
        const char* table;
        const char* column;
        const char* text;
        bool required;
        bool ok;
        const char* value;   // stored value, or the reason
    } cases[] = {
        {"tbl_rvldaten", "GEO_L", "20,5", false, true, "20.5"},     // decimal comma
        {"tbl_rvldaten", "GEO_L", " 20.5 ", false, true, "20.5"},
        {"tbl_rvldaten", "GEO_L", "1e1", false, true, "10"},
        {"tbl_rvldaten", "GEO_L", "zwanzig", false, false, "not a number"},
        {"tbl_rvldaten", "GEO_L", "1.234,5", false, false, "not a number"},  // no thousands marks
        {"tbl_rvldaten", "GEO_L", "-1", false, false, "below 0"},
        {"tbl_rvldaten", "GEO_L", "", false, true, ""},
        {"tbl_rvldaten", "GEO_L", "", true, false, "a value is required"},
        {"tbl_rvldaten", "HVE_n_c", "20", false, false, "outside 1.39 .. 16.1"},
        {"tbl_rvldaten", "HVE_N", "3", false, true, "3"},
        {"tbl_rvldaten", "HVE_N", "3.5", false, false, "not a whole number"},
        {"tbl_rvldaten", "GEO_oT1", "K", false, true, "K"},
        {"tbl_rvldaten", "GEO_oT1", "R", false, false, "allowed are T, K or blank"},
        {"tbl_rvldaten", "bez", "G123456789AB", false, true, "G123456789AB"},
        {"tbl_rvldaten", "bez", "G123456789ABC", false, false, "too long: 13 characters, at most 12"},
        {"tbl_rvldaten", "beschreibung", "Überfall Ölabscheider ÄÖÜ", false, true, "Überfall Ölabscheider ÄÖÜ"},
        {"tbl_all", "datum", "05.03.2024", false, true, "2024-03-05"},
        {"tbl_all", "datum", "2024-03-05", false, true, "2024-03-05"},
        {"tbl_all", "datum", "März", false, false, "not a date (YYYY-MM-DD or DD.MM.YYYY)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.text);
        const ColumnRef* ref = find_column_ref(c.table, c.column);
        ASSERT_NE(ref, nullptr);
        std::string value, reason;
        EXPECT_EQ(check_cell(*ref, c.text, c.required, true, value, reason), c.ok);
        EXPECT_EQ(c.ok ? value : reason, c.value);
    }
}

// A sheet with faults is refused as a whole, every fault named by file, row,
// column and value; an existing variant stays as it was, even with --force.
TEST(CsvImport, BrokenSheetsAreRefusedWholeWithEveryCell) {
    TempDir dir;
    std::string status;
    const std::string variant = test::load_variant(dir, "V", test::source_file("examples/kleine_anlage.sql"), status);
    ASSERT_EQ(status, "ok");
    RunContext ctx;
    ctx.settings.language = "ENGLISH";
    test::point_diagnostics(ctx, dir);
    std::vector<std::string> written, notes;
    csv_export(ctx, variant, dir / "sheets", false, false, written, notes, status);
    ASSERT_EQ(std::pair(status, written.size()), std::pair(std::string("ok"), size_t{2}));
    // a second export into the same folder is refused, then allowed with force
    csv_export(ctx, variant, dir / "sheets", false, false, written, notes, status);
    EXPECT_TRUE(holds(status, "exists already"));
    csv_export(ctx, variant, dir / "sheets", false, true, written, notes, status);
    EXPECT_EQ(status, "ok");

    const std::string sheet = dir / "sheets/tbl_rvldaten.csv";
    std::vector<std::vector<std::string>> rows;
    std::vector<std::vector<bool>> quoted;
    ASSERT_TRUE(parse_csv(test::read_file(sheet).substr(3), rows, quoted));
    auto col = [&](const char* name) {
        return static_cast<size_t>(std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin());
    };
    ASSERT_EQ(rows.size(), 5u);   // header, Q1, R1, G1, G2
    rows[2][col("GEO_L")] = "ein Meter";     // R1: text in a number column
    rows[3][col("bez")] = "X1";              // G1: no such element type; R1 and G2 now link to a missing G1
    rows[4][col("HVE_N")] = "2,5";           // G2: not a whole number
    std::string text = "\xEF\xBB\xBF";
    for (const auto& r : rows) {
        for (size_t k = 0; k < r.size(); ++k) text += (k ? ";" : "") + r[k];
        text += "\r\n";
    }
    text += "5;50\r\n";                      // a row cut short
    test::write_file(sheet, text);

    const std::string target = dir / "W.mdb";
    test::write_file(target, "an older file");
    std::vector<CellError> errors;
    csv_import(ctx, dir / "sheets", target, true, written, errors, status);
    std::set<std::string> found;
    for (const CellError& e : errors) {
        EXPECT_EQ(e.file, sheet);
        found.insert(std::to_string(e.row) + " " + e.column + "=" + e.value + ": " + e.reason);
    }
    const std::set<std::string> expected = {
        "3 GEO_L=ein Meter: not a number",
        "3 ablauf1=G1: no element of this name",
        "4 bez=X1: unknown element type X",
        "5 zulauf1=G1: no element of this name",
        "5 HVE_N=2,5: not a whole number",
        "6 =: 2 fields, the header has " + std::to_string(rows[0].size()),
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(std::tuple(status, written.empty()), std::tuple("6 cells refused, nothing written", true));
    EXPECT_EQ(test::read_file(target), "an older file");
    for (const auto& f : fs::directory_iterator(dir.path()))
        EXPECT_EQ(f.path().string().find(".build"), std::string::npos) << f.path();

    // a folder without the element table
    fs::remove(sheet);
    csv_import(ctx, dir / "sheets", dir / "X.mdb", false, written, errors, status);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].reason, "file missing");
    EXPECT_FALSE(fs::exists(dir / "X.mdb"));
}

// The example of each element type's help page holds only columns that type
// reads, each with a value its column accepts, and the page shows them.
TEST(ColumnReference, HelpExamplesUseTheColumnsTheirTypeReads) {
    for (const ElementType& t : element_types()) {
        SCOPED_TRACE(std::string(1, t.letter));
        const std::string page = element_help_page(t.letter, false);
        std::string example = t.example;
        for (size_t b = 0; b < example.size();) {
            const size_t e = std::min(example.find(';', b), example.size());
            const std::string item = example.substr(b, e - b);
            b = e + 1;
            const size_t eq = item.find('=');
            ASSERT_NE(eq, std::string::npos) << item;
            const std::string name = item.substr(item.find_first_not_of(' '), eq - item.find_first_not_of(' '));
            const ColumnRef* c = find_column_ref("tbl_rvldaten", name);
            ASSERT_NE(c, nullptr) << name;
            EXPECT_TRUE(column_used_by(*c, t.letter)) << name;
            std::string value, reason;
            EXPECT_TRUE(check_cell(*c, item.substr(eq + 1), false, false, value, reason)) << name << ": " << reason;
            EXPECT_NE(page.find("<code>" + name + "</code>"), std::string::npos) << name;
        }
    }
}
