#include <gtest/gtest.h>

#include "common/test_util.h"
#include "support/m_files.h"
#include "support/m_strings.h"

using namespace rivola::support;

TEST(FortranFields, RealRightAlignedWithAsterisksWhenTooWide) {
    EXPECT_EQ(fmt_f(3.14159, 7, 3), "  3.142");
    EXPECT_EQ(fmt_f(-2.5, 6, 2), " -2.50");
    EXPECT_EQ(fmt_f(99.95, 5, 1), "100.0");     // rounding may widen the number
    EXPECT_EQ(fmt_f(123.4, 5, 2), "*****");
    EXPECT_EQ(fmt_f(0.5, 3, 2), ".50");         // leading zero dropped to fit
    EXPECT_EQ(fmt_f(-0.0001, 6, 2), "  0.00");  // no negative zero
    EXPECT_EQ(fmt_f(1.0 / 0.0, 4, 1), "****");
    EXPECT_EQ(fmt_i(42, 5), "   42");
    EXPECT_EQ(fmt_i(123456, 5), "*****");
    EXPECT_EQ(fmt_dyn(2.500, 3), "2.5");
    EXPECT_EQ(fmt_dyn(3.0, 3), "3");
    // exact binary ties round to the even digit, as Fortran and printf do
    EXPECT_EQ(fmt_f(0.125, 5, 2), " 0.12");
    EXPECT_EQ(fmt_f(0.375, 5, 2), " 0.38");
    EXPECT_EQ(fmt_f(2.5, 3, 0), "  2");
    EXPECT_EQ(fmt_f(1e300, 8, 2), "********");  // 301 digits: no field holds it
    EXPECT_EQ(fixed_decimals(-1.005, 2), "-1.00");  // -1.00499999999999989... in binary
}

TEST(FixedWidthTexts, CountCharactersNotBytes) {
    EXPECT_EQ(ulen("Länge"), 5u);
    EXPECT_EQ(pad("Länge", 7), "Länge  ");
    EXPECT_EQ(rpad("Länge", 7), "  Länge");
    EXPECT_EQ(pad("Überfall", 3), "Übe");
    EXPECT_EQ(rtrim("G1   "), "G1");
    EXPECT_EQ(trim("  G1 "), "G1");
    EXPECT_EQ(upper("sim=n/Ä"), "SIM=N/Ä");
    EXPECT_EQ(today().size(), 10u);
    EXPECT_EQ(today()[2], '.');
}

TEST(Files, FoundWithoutRegardToCase) {
    rivola::test::TempDir dir("files");
    rivola::test::write_file(dir.str() + "rivola_8_ergebnisse.MDB", "x");
    EXPECT_EQ(find_file_nocase(dir.str(), "RIVOLA_8_Ergebnisse.mdb"),
              dir.str() + "rivola_8_ergebnisse.MDB");
    EXPECT_EQ(find_file_nocase(dir.str(), "other.mdb"), dir.str() + "other.mdb");
    EXPECT_TRUE(file_exists(dir.str() + "rivola_8_ergebnisse.MDB"));
    remove_file(dir.str() + "rivola_8_ergebnisse.MDB");
    remove_file(dir.str() + "rivola_8_ergebnisse.MDB");  // a second delete is no error
    EXPECT_FALSE(file_exists(dir.str() + "rivola_8_ergebnisse.MDB"));
}
