#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "messages/m_rivola_error.h"
#include "common/test_util.h"
#include "model/context.h"

using namespace rivola;
using checks::fehler;

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
        return test::read_lines(file());
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

// An invert difference of 100 m or more in its own form (the form below
// 100 m is found by the check variant of a 12 m span). It is reported twice: the
// check list has one title line for all its messages.
TEST_F(ReporterTest, InvertDifferenceOfAHundredMetres) {
    init();
    for (int n = 0; n < 2; ++n) fehler(ctx, "W21", "G_LOW", "G_HIGH", "", 0, 100.0f);
    const auto ls = lines();
    ASSERT_EQ(ls.size(), 9u);
    EXPECT_EQ(ls[6], ls[2]);
    EXPECT_EQ(ls[2], "             Differenz der Sohlhöhen mehr als 100.00 m!");
    EXPECT_EQ(ls[4], "             Das Maximum liegt bei ............. : G_HIGH");
}

