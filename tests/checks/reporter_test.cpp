#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "checks/m_info.h"
#include "checks/m_rivola_error.h"
#include "common/test_util.h"
#include "run/context.h"
#include "support/m_files.h"

using namespace rivola;
using checks::fehler;
using test::read_lines;

namespace {

struct ReporterTest : ::testing::Test {
    test::TempDir dir{"reporter"};
    RunContext ctx;
    std::string base() const { return dir.str() + "VAR"; }
    std::string file() const { return base() + ".pkl"; }
    void init(const char* lang = "DEUTSCH") {
        ctx.settings.language = lang;
        fehler(ctx, "INIT", base(), std::string(lang) == "DEUTSCH" ? "Prüfprotokoll" : "check-list");
    }
    std::vector<std::string> lines() {
        ctx.rep.close();
        return read_lines(file());
    }
};

}  // namespace

// The expected first lines were cut from the catalogue table independently of
// the reporter: text up to the first line break with sample values filled in.
TEST_F(ReporterTest, FirstLineOfEveryCodeInBothLanguages) {
    std::ifstream f(std::string(RIVOLA_SOURCE_DIR) + "/tests/checks/catalogue_first_lines.tsv");
    std::map<std::string, std::map<std::string, std::string>> expected;
    for (std::string l; std::getline(f, l);) {
        const auto a = l.find('\t'), b = l.find('\t', a + 1);
        expected[l.substr(0, a)][l.substr(a + 1, b - a - 1)] = l.substr(b + 1);
    }
    ASSERT_EQ(expected.size(), 143u);
    for (const char* lang : {"DEUTSCH", "ENGLISH"}) {
        const std::string key = std::string(lang) == "DEUTSCH" ? "DE" : "EN";
        for (const auto& [code, byLang] : expected) {
            init(lang);
            const int ival = 7;
            fehler(ctx, code, "NAME1", "NAME2", "NAME3", ival, 1.5f);
            const auto ls = lines();
            auto it = byLang.find(key);
            if (it == byLang.end()) {  // no text in this language: nothing but the title
                EXPECT_EQ(ls.size(), 1u) << code << " " << lang;
                continue;
            }
            ASSERT_GE(ls.size(), 2u) << code << " " << lang;
            EXPECT_EQ(ls[1], it->second) << code << " " << lang;
        }
    }
}

TEST_F(ReporterTest, TitleLineAndContinuationLines) {
    init();
    EXPECT_EQ(fehler(ctx, "G11", "G_ZULAUF"), 2);
    const auto ls = lines();
    ASSERT_EQ(ls.size(), 3u);
    EXPECT_EQ(ls[0], "Prüfprotokoll: " + base() + ".pkl");
    EXPECT_EQ(ls[1], "G11 Bei den GEO-Daten muss beim Element ..... : G_ZULAUF");
    EXPECT_EQ(ls[2], "    der Stricklerwert in (20, 100) liegen!");
}


TEST_F(ReporterTest, MultipleElementListOfS01) {
    init();
    fehler(ctx, "S01", "Q_END1", "Endelement", "", 1);
    fehler(ctx, "S01", "Q_END2", "Endelement", "", 2);
    fehler(ctx, "S01", "Q_END3", "Endelement", "", 3);
    const auto ls = lines();
    ASSERT_EQ(ls.size(), 5u);
    EXPECT_EQ(ls[1], "S01 Die Kläranlage hat mehr als einen Endelement");
    EXPECT_EQ(ls[2], "    1. Q_END1");
    EXPECT_EQ(ls[4], "    3. Q_END3");
    EXPECT_EQ(ctx.rep.worst, 2);
}

TEST_F(ReporterTest, InvertDifferenceInItsTwoForms) {
    init();
    fehler(ctx, "W21", "G_LOW", "G_HIGH", "", 0, 99.9f);
    fehler(ctx, "W21", "G_LOW", "G_HIGH", "", 0, 100.0f);
    const auto ls = lines();
    ASSERT_EQ(ls.size(), 9u);
    EXPECT_EQ(ls[2], "             Differenz der Sohlhöhen ........... :  99.9 m!");
    EXPECT_EQ(ls[6], "             Differenz der Sohlhöhen mehr als 100.00 m!");
    EXPECT_EQ(ls[8], "             Das Maximum liegt bei ............. : G_HIGH");
}

TEST_F(ReporterTest, NumberTooWideGivesAsterisks) {
    init("ENGLISH");
    fehler(ctx, "W51", "W_WALL", "", "", 0, 123.4f);
    const auto ls = lines();
    ASSERT_GE(ls.size(), 3u);
    EXPECT_EQ(ls[0], "check-list: " + base() + ".pkl");
    EXPECT_EQ(ls[2], "             The calculated water level is .....    h =*****" "*a");
}

TEST_F(ReporterTest, SeveritiesAccumulate) {
    init();
    EXPECT_EQ(fehler(ctx, "W20", "G1", "", "", 0, 5.0f), 1);
    EXPECT_EQ(fehler(ctx, "S02", "G1"), 2);
    EXPECT_EQ(fehler(ctx, "W27", "G1"), 2);
    EXPECT_EQ(ctx.rep.last, 1);
    init();
    EXPECT_EQ(fehler(ctx, "Q12", "G1", "0.1", "0.2", 1), 1);
    EXPECT_EQ(fehler(ctx, "H56", "W1", "", "", 0, 0.3863f), 1);
    EXPECT_EQ(fehler(ctx, "Q12", "G1", "0.1", "0.2", 2), 2);
    // a result not stored and the freeboard summary are told but change no
    // level; the freeboard warnings are warnings
    init();
    EXPECT_EQ(fehler(ctx, "D01", "V.ERG", "write", "File too large"), 0);
    EXPECT_EQ(fehler(ctx, "F04", "0.2 m", "1 von 8"), 0);
    EXPECT_EQ(fehler(ctx, "F01", "G2", "Ablaufende"), 1);
    EXPECT_EQ(fehler(ctx, "D02", "V.ERG"), 1);
    EXPECT_EQ(ctx.rep.last, 1);
    EXPECT_EQ(lines().size(), 10u);   // title, D01 with step and reason, two lines each of the others
}

TEST_F(ReporterTest, CodesWithoutTextStillCount) {
    init("ENGLISH");
    EXPECT_EQ(fehler(ctx, "H75", "W1"), 2);           // no text in either language
    EXPECT_EQ(lines().size(), 1u);
    init("ENGLISH");
    EXPECT_EQ(fehler(ctx, "H32", "R1"), 2);           // German text only
    EXPECT_EQ(lines().size(), 1u);
    init();
    EXPECT_EQ(fehler(ctx, "X99", "R1"), 0);           // no family: no change
    init("FRANCAIS");
    EXPECT_EQ(fehler(ctx, "G11", "G1"), 2);           // no language: no text
    EXPECT_EQ(lines().size(), 1u);
}


