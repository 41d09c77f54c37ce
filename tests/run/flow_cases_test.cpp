// Flow cases of the example plant, computed by the command-line program in
// one run. The reference of each case is a plain run of the variant edited
// by hand the way the case describes it (inflows scaled or set, downstream
// level, a fixed split): the case's CSV must equal that run's CSV.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "common/variant_db.h"

using namespace rivola;
namespace fs = std::filesystem;

namespace {

// The example plant with its component in `dir`, with extra SQL.
std::string plant(const test::TempDir& dir, const std::string& extra) {
    test::loaded_variant(dir, "klaeranlage_C_SANDFANG", test::source_file("examples/klaeranlage_C_SANDFANG.sql"));
    return test::loaded_variant(dir, "klaeranlage", test::source_file("examples/klaeranlage.sql") + extra);
}

constexpr const char* kCaseTables =
    "CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung varchar(80), Faktor double, "
    "Wasserstand double);\n"
    "CREATE TABLE tbl_lastfall_q (Lastfall varchar(16), bez varchar(12), Q double);\n"
    "CREATE TABLE tbl_lastfall_aufteilung (Lastfall varchar(16), bez varchar(12), aufteilung1 double, "
    "aufteilung2 double);\n";

// The CSV of a case with the variant's own elements grouped under the
// variant's name, as a plain run groups them.
std::string as_plain(std::string csv, const std::string& caseName) {
    const std::string own = "klaeranlage_" + caseName + ";", plain = "klaeranlage;";
    for (size_t p = 0; (p = csv.find(own, p)) != std::string::npos; p += plain.size()) csv.replace(p, own.size(), plain);
    return csv;
}

// The values of one column of a CSV file by element and line ("G1/2").
std::map<std::string, std::string> column(const std::string& file, const std::string& name) {
    std::map<std::string, std::string> out;
    const auto lines = test::read_lines(file);
    std::map<std::string, size_t> at;   // column by its heading without trailing blanks
    size_t i = 0;
    if (!lines.empty())
        for (const auto& h : test::fields(lines[0], ';')) at[h.substr(0, h.find_last_not_of(' ') + 1)] = i++;
    if (!at.count(name) || !at.count("Kenn") || !at.count("iz")) return out;
    for (size_t r = 1; r < lines.size(); ++r) {
        const auto f = test::fields(lines[r], ';');
        if (at[name] < f.size()) out[f[at["Kenn"]] + "/" + f[at["iz"]]] = f[at[name]];
    }
    return out;
}

}  // namespace

TEST(FlowCases, EachCaseComputesLikeTheVariantEditedByHand) {
    const struct {
        const char* name;
        const char* rows;   // its rows of the case tables
        const char* edit;   // the same by hand on the plain variant
    } cases[] = {
        {"MIN", "INSERT INTO tbl_lastfaelle VALUES (1, 'MIN', 'Mindestzufluss', 0.4, NULL);",
         "UPDATE tbl_rvldaten SET Q = Q * 0.4 WHERE bez LIKE 'Q%' AND Q IS NOT NULL;"},
        {"DESIGN", "INSERT INTO tbl_lastfaelle VALUES (2, 'DESIGN', 'Bemessung', 1.0, NULL);", ""},
        {"MAX", "INSERT INTO tbl_lastfaelle VALUES (3, 'MAX', 'Regenwetter', 1.6, NULL);",
         "UPDATE tbl_rvldaten SET Q = Q * 1.6 WHERE bez LIKE 'Q%' AND Q IS NOT NULL;"},
        // one inlet set, the factor on the others
        {"Q1_300",
         "INSERT INTO tbl_lastfaelle VALUES (4, 'Q1_300', NULL, 1.6, NULL);"
         "INSERT INTO tbl_lastfall_q VALUES ('Q1_300', 'Q1', 300.0);",
         "UPDATE tbl_rvldaten SET Q = Q * 1.6 WHERE bez LIKE 'Q%' AND Q IS NOT NULL;"
         "UPDATE tbl_rvldaten SET Q = 300.0 WHERE bez = 'Q1';"},
        {"HW", "INSERT INTO tbl_lastfaelle VALUES (5, 'HW', 'Hochwasser im Vorfluter', NULL, 97.80);",
         "UPDATE tbl_all SET Wasserstand = 97.80;"},
        // clarifier 2 out of service: all the water over the weir into clarifier 1
        {"VKB2-aus",
         "INSERT INTO tbl_lastfaelle VALUES (6, 'VKB2-aus', 'VKB 2 außer Betrieb', NULL, NULL);"
         "INSERT INTO tbl_lastfall_aufteilung VALUES ('VKB2-aus', 'V1', 100.0, 0.0);",
         "UPDATE tbl_rvldaten SET aufteilung1 = 100.0, aufteilung2 = 0.0 WHERE bez = 'V1';"},
    };
    test::TempDir run("cases");
    // an earlier run without cases leaves results that belong to no case
    plant(run, "");
    ASSERT_LT(test::run_program(run.str(), "rivola", "--yes klaeranlage.mdb").status, 2);
    ASSERT_TRUE(fs::exists(run.str() + "klaeranlage.ERG"));
    std::string rows = kCaseTables;
    for (const auto& c : cases) rows += std::string(c.rows) + "\n";
    plant(run, rows);
    const test::ProgramRun all = test::run_program(run.str(), "rivola", "--yes klaeranlage.mdb");
    EXPECT_LT(all.status, 2) << all.out;

    const std::string checkList = test::read_file(run.str() + "klaeranlage.pkl");
    const std::string envelope = run.str() + "klaeranlage_Lastfaelle.csv";
    const std::string results = test::read_file(run.str() + "RIVOLA_8_Ergebnisse.mdb");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir ref("case_ref");
        plant(ref, std::string("\n") + c.edit + "\n");
        const test::ProgramRun one = test::run_program(ref.str(), "rivola", "--yes klaeranlage.mdb");
        ASSERT_LT(one.status, 2) << one.out;
        const std::string csv = run.str() + "klaeranlage_" + c.name + ".csv";
        EXPECT_EQ(as_plain(test::read_file(csv), c.name), test::read_file(ref.str() + "klaeranlage.csv"));
        EXPECT_TRUE(fs::exists(run.str() + "klaeranlage_" + c.name + ".ERG"));
        EXPECT_TRUE(test::holds(checkList, "Lastfall " + std::string(c.name)));
        // the envelope's column of the case is the case's water level
        const auto wsp = column(csv, "WSP"), env = column(envelope, "WSP_" + std::string(c.name));
        EXPECT_FALSE(wsp.empty());
        for (const auto& [end, level] : env) {
            const auto it = wsp.find(end);
            EXPECT_EQ(level, it == wsp.end() ? "" : it->second) << end;  // empty: no such row in this case
        }
        for (const auto& [end, level] : wsp) EXPECT_TRUE(env.count(end)) << end;
        EXPECT_TRUE(test::holds(results, "ERG_klaeranlage_" + std::string(c.name)));
    }
    // a lane out of service carries nothing, the other the whole discharge
    const auto q = column(run.str() + "klaeranlage_VKB2-aus.csv", "Q");
    EXPECT_EQ(std::pair(q.at("U2/1"), q.at("U1/1")), std::pair(std::string("0.0000"), q.at("G9/1")));
    // no results under the variant's own name, one drawing of all cases
    for (const char* ext : {".ERG", ".QVE", ".EEF", ".csv", "_plot.csv"})
        EXPECT_FALSE(fs::exists(run.str() + "klaeranlage" + ext)) << ext;
    EXPECT_TRUE(fs::exists(run.str() + "klaeranlage.EIN"));
    const std::string svg = test::read_file(run.str() + "klaeranlage_profile.svg");
    for (const char* legend : {"Wasserspiegel DESIGN", "Energielinie DESIGN", "Wasserspiegel MIN", "Wasserspiegel MAX",
                               "Wasserspiegel VKB2-aus"})
        EXPECT_NE(svg.find(legend), std::string::npos) << legend;
    EXPECT_EQ(test::sqlite(run.str() + "RIVOLA_8_Ergebnisse.mdb",
                           "SELECT count(*) FROM sqlite_master WHERE name = 'ERG_klaeranlage' COLLATE NOCASE;"), "0");
    // the cases computed by one worker, one after the other, give the same
    // files byte for byte as the cases shared among the cores
    std::vector<std::string> files{envelope};
    for (const auto& c : cases) files.push_back(run.str() + "klaeranlage_" + c.name + ".csv");
    std::map<std::string, std::string> shared;
    for (const auto& f : files) shared[f] = test::read_file(f);
    ASSERT_LT(test::run_program(run.str(), "rivola", "--yes --threads=1 --no-drawing klaeranlage.mdb").status, 2);
    for (const auto& [file, text] : shared) EXPECT_EQ(test::read_file(file), text) << file;
}

// Faults of the case tables are errors of the check list naming the row;
// nothing is computed.
TEST(FlowCases, FaultyRowsAreErrorsNamingTheRow) {
    const struct {
        const char* rows;
        const char* says;
    } cases[] = {
        {"INSERT INTO tbl_lastfall_q VALUES ('A', 'Q9', 10.0);",
         "L01 Lastfall: unbekanntes Element ........... : tbl_lastfall_q, Zeile 1"},
        {"INSERT INTO tbl_lastfall_q VALUES ('A', 'G1', 10.0);", "G1 ist kein Zulaufelement (Q)"},
        {"INSERT INTO tbl_lastfall_aufteilung VALUES ('A', 'G1', 100.0, 0.0);", "G1 ist keine Aufteilung"},
        {"INSERT INTO tbl_lastfaelle VALUES (2, 'a', NULL, 1.0, NULL);", "L03 Lastfall: Name doppelt"},
        {"INSERT INTO tbl_lastfaelle VALUES (2, 'B C', NULL, 1.0, NULL);", "Lastfall = \"B C\": 1 bis 16"},
        {"INSERT INTO tbl_lastfaelle VALUES (2, 'B', NULL, 0.0, NULL);", "L04 Lastfall: Faktor nicht größer als 0"},
        {"INSERT INTO tbl_lastfall_aufteilung VALUES ('A', 'V1', 60.0, 30.0);", "die Prozente ergeben nicht 100"},
        {"INSERT INTO tbl_lastfall_aufteilung VALUES ('A', 'A1', -5.0, -5.0);", "ist keine Einstellung einer Aufteilung"},
        {"INSERT INTO tbl_lastfall_q VALUES ('X', 'Q1', 10.0);", "L06 Lastfall: nicht in tbl_lastfaelle"},
        {"INSERT INTO tbl_lastfall_q VALUES ('A', 'Q1', NULL);", "Q fehlt."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        test::TempDir dir("case_fault");
        plant(dir, std::string(kCaseTables) + "INSERT INTO tbl_lastfaelle VALUES (1, 'A', NULL, 1.0, NULL);\n" +
                       c.rows + "\n");
        const test::ProgramRun r = test::run_program(dir.str(), "rivola", "--yes klaeranlage.mdb");
        EXPECT_EQ(r.status, 2) << r.out;
        const std::string list = test::read_file(dir.str() + "klaeranlage.pkl");
        EXPECT_TRUE(test::holds(list, c.says));
        EXPECT_FALSE(fs::exists(dir.str() + "klaeranlage_A.csv"));
    }
}
