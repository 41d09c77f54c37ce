// Result listings written from plants and results built in memory. The
// expected columns and texts are worked out by hand from the layout of the
// listings (column ranges, edit descriptors), never taken from a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "messages/m_rivola_error.h"
#include "common/test_util.h"
#include "output/output_plant.h"
#include "output/listing.h"
#include "output/output.h"
#include "support/m_strings.h"

using namespace rivola;
using support::ulen;

namespace {

// The n characters from 1-based column `col` of a line.
std::string cols(const std::string& line, size_t col, size_t n) {
    const size_t b = support::ucut(line, col - 1).size();
    return support::ucut(std::string_view(line).substr(b), n);
}

struct ListingTest : ::testing::Test {
    test::TempDir dir{"listing"};
    RunContext ctx;

    void SetUp() override {
        ctx.run.basePath = dir.str() + "PLANT";
        ctx.plant.all.titel[1] = "Kläranlage Nord";
        ctx.plant.all.titel[2] = "Variante 1";
        ctx.plant.all.AnhangERG = "Anhang 1";
        ctx.plant.all.AnhangERK = "Anhang 2";
        ctx.plant.all.AnhangQVE = "Anhang 3";
        ctx.plant.all.datum = "05.03.2024";
        ctx.run.passes = 3;
    }

    // n elements; each one a flume on strand 1 with 0.1 m3/s unless changed.
    void plant(int n) { test::flume_line(ctx.plant, n); }
    Element& el(int i) { return ctx.plant.el[i]; }
    std::vector<std::string> lines(const char* ext) {
        return test::read_lines(ctx.run.basePath + ext);
    }
    // The first line of a listing that begins with `prefix`.
    static std::vector<std::string>::const_iterator row(const std::vector<std::string>& l,
                                                        const std::string& prefix) {
        return std::find_if(l.begin(), l.end(),
                            [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    }
    // Pages of a listing, split at the form-feed lines.
    std::vector<std::vector<std::string>> pages(const char* ext) {
        std::vector<std::vector<std::string>> p(1);
        for (const auto& l : lines(ext)) {
            if (l == "\f") p.emplace_back();
            p.back().push_back(l);
        }
        return p;
    }
    // Element lines (the table rows that carry a name) of a page.
    static std::vector<std::string> named(const std::vector<std::string>& page) {
        std::vector<std::string> r;
        for (const auto& l : page)
            if (ulen(l) == 130 && l.rfind(" I G", 0) == 0) r.push_back(support::rtrim(cols(l, 4, 12)));
        return r;
    }
};

}  // namespace

// 60 lines a page; the head takes 12, each flume 2. Before a flume the page
// is closed once more than 60 - 7 = 53 lines are used, after 21 flumes
// (12 + 42 = 54); the legend of 16 lines then no longer fits either. (The
// page frame, header and page numbers are pinned by the stored listings.)
TEST_F(ListingTest, PagesBreakBeforeTheTableOrTheLegendOverflows) {
    for (const size_t onSecond : {9u, 0u}) {  // flumes on page 2
        SCOPED_TRACE(onSecond);
        plant(21 + static_cast<int>(onSecond));
        output::outerg(ctx);
        const auto p = pages(".ERG");
        ASSERT_EQ(p.size(), 2u);
        const auto n1 = named(p[0]), n2 = named(p[1]);
        ASSERT_EQ(n1.size(), 21u);
        EXPECT_EQ(n1.back(), "G21");
        ASSERT_EQ(n2.size(), onSecond);
        if (onSecond) { EXPECT_EQ(n2.front(), "G22"); }
        if (!onSecond) {
            EXPECT_NE(std::find(p[1].begin(), p[1].end(), "  Bemerkungen:    3 Iterationsschritte"), p[1].end());
        }
    }
}

// G1 carries numbers wider than their columns; DHeber1 is a siphon pipe whose
// pressure head falls below -7.0 m at its inlet end but not at its outlet end;
// the remarks of the pressure pipe G3 are completed.
// (The siphon remark itself is shown by the stored listing of the plant with
// its two siphon pipes.)
TEST_F(ListingTest, NumbersTooWideBecomeAsterisksSiphonsShowCavitationAndPipesFlowPartFull) {
    plant(3);
    el(1).res[2].Q = 12345.678f;      // F7.3 holds at most 999.999
    el(1).res[2].z = 123456.0f;       // F8.3 holds at most 9999.999
    el(1).res[2].h = -10.5f;          // F6.2 holds -10.50
    el(1).HVK = 123.0f;               // F6.3 holds at most 99.999
    el(2).ityp = T_D;
    el(2).bez = "DHeber1";
    el(2).kurzbez = "Heber";
    el(2).prof[kProfDown] = el(2).prof[kProfUp] = test::rect(99.0f, 0.6f, 1.0f, true, 0.0f);
    el(2).res[2].h = -7.5f;
    el(2).res[1].h = -6.5f;
    // a pressure pipe 0.6 m high running part full at its inlet end
    el(3).ityp = T_D;
    el(3).prof[kProfDown] = el(3).prof[kProfUp] = test::rect(99.0f, 0.6f, 1.0f, true, 0.0f);
    el(3).res[2].h = 0.45f;
    el(3).res[1].h = 0.8f;
    output::outerg(ctx);
    output::complete_remarks(ctx, 3);  // a second time changes nothing
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(el(3).res[2].bem[k] == "FS", k == 5) << k;   // once, in the fifth remark
        EXPECT_NE(el(3).res[1].bem[k], "FS") << k;
    }
    const auto l = lines(".ERG");
    const auto g = row(l, " I G1");
    ASSERT_NE(g, l.end());
    EXPECT_EQ(cols(*g, 20, 7), "*******");
    EXPECT_EQ(cols(*g, 37, 8), "********");
    EXPECT_EQ(cols(*g, 51, 6), "-10.50");
    EXPECT_EQ(cols(*g, 97, 6), "******");
    const auto it = row(l, " I DHeber1");
    ASSERT_NE(it, l.end());
    EXPECT_NE(cols(*it, 118, 10).find("Kv"), std::string::npos);        // -7.5 m is below -7.0 m
    EXPECT_EQ(cols(*(it + 1), 118, 10).find("Kv"), std::string::npos);  // -6.5 m is not
}

// Without marked elements no *.ERK, without divisions or confluences no
// *.QVE, and those of an earlier run go. (The choice of the marked elements
// and their separators is pinned by the stored abbreviated listing.)
TEST_F(ListingTest, AbbreviatedListingAndDischargeDistributionOnlyWithTheirElements) {
    plant(4);
    const std::string erk = ctx.run.basePath + ".ERK", qve = ctx.run.basePath + ".QVE";
    for (const std::string& f : {erk, qve}) test::write_file(f, "old listing");
    output::outerg(ctx);
    output::outerk(ctx);
    output::outqve(ctx);
    EXPECT_FALSE(std::filesystem::exists(erk));
    EXPECT_FALSE(std::filesystem::exists(qve));
    // G1 -> A2 -> (G3, G4); 0.3 m3/s split into 0.1 and 0.2
    el(2).ityp = T_A;
    el(2).bez = "AVerteiler";
    el(2).iab = {0, 3, 4};
    el(2).iord = 1;
    ctx.plant.auf.resize(2);
    ctx.plant.auf[1].br[1].zeta = 0.5f;
    ctx.plant.auf[1].br[2].hvs = 0.02f;  // a single-loss head instead of a coefficient
    el(2).res[2].Q = 0.3f;
    el(3).res[2].Q = 0.1f;
    el(4).res[2].Q = 0.2f;
    el(4).istrang = 2;
    // The division's line of a fresh *.QVE.
    const auto division = [&] {
        output::outqve(ctx);
        const auto l = lines(".QVE");
        const auto it = row(l, " I AVerteiler");
        return it == l.end() ? std::string() : *it;
    };
    EXPECT_EQ(division(),
              " I AVerteiler     1I G3            1I  0.100I  33.3I  0.50I G4            2I  "
              "0.200I  66.7I   -  I");
    EXPECT_EQ(ctx.run.writtenFiles.back(), qve);

    // Coefficients tabled over the share at 0, 0.2, ..., 1.0: branch 1 takes
    // 1/3 of the discharge, between 0.4 (share 0.2) and 1.0 (share 0.4):
    // 0.4 + (1/3 - 0.2) / 0.2 * 0.6 = 0.80; branch 2 (2/3) between 2.0 and
    // 3.0: 2.0 + (2/3 - 0.6) / 0.2 * 1.0 = 2.33.
    ctx.plant.auf[1].tflag = 'T';
    ctx.plant.auf[1].br[1].zt = {0, 0.1f, 0.4f, 1.0f, 1.5f, 2.0f, 2.5f};
    ctx.plant.auf[1].br[2].zt = {0, 0.5f, 1.0f, 1.5f, 2.0f, 3.0f, 4.0f};
    const std::string t = division();
    EXPECT_EQ(cols(t, 53, 6), "  0.80");  // blank and F5.2
    EXPECT_EQ(cols(t, 92, 6), "  2.33");

    // without inflow the division shares half and half
    for (int i = 1; i <= 4; ++i) el(i).res[1].Q = el(i).res[2].Q = 0.0f;
    const std::string z = division();
    EXPECT_EQ(cols(z, 46, 6), "  50.0");  // columns 46-51: blank and F5.1
    EXPECT_EQ(cols(z, 85, 6), "  50.0");
}

TEST_F(ListingTest, DivisionAndConfluenceLines) {
    // G1 -> VDiv2 -> (UWeir3, UWeir4) -> ... ; a distribution flume whose two
    // outlets are weirs ends in a section without flow.
    plant(6);
    el(2).ityp = T_A;
    el(2).bez = "VDiv2";
    el(2).iab = {0, 3, 4};
    el(3).ityp = T_U;
    el(4).ityp = T_U;
    el(4).istrang = 2;
    el(3).res[2].Q = 0.07f;
    el(4).res[2].Q = 0.03f;
    el(5).ityp = T_Z;
    el(5).bez = "ZJoin5";
    el(5).izu = {0, 3, 4};
    ctx.plant.aufteilung.resize(2);
    el(2).iord = 1;
    el(5).iord = 1;
    ctx.plant.auf.resize(2);
    ctx.plant.auf[1].branch[1].hR = 0.012f;
    ctx.plant.auf[1].branch[1].hv = 0.034f;
    ctx.plant.zus.resize(2);
    // the 2nd inlet: z, h, A, v, hydraulic diameter, slope, E - z, friction loss, all losses to the inlet
    ctx.plant.zus[1].inlet[2] = BranchState{99.5f, 0.4f, 0.4f, 0.25f, 0.5f, 0.001f, 0.4032f, 0.005f, 0.021f};
    ctx.plant.wsp.div.resize(2);
    ctx.plant.wsp.div[1].bem[1][1] = "gr";   // branch 1 leaves at critical depth
    ctx.plant.wsp.div[1].hvu[1] = 0.005f;    // and loses 5 mm in the transition of the flume
    const auto a = output::element_lines(ctx, 2);
    ASSERT_EQ(a.size(), 4u);
    EXPECT_NE(cols(a[1], 118, 10).find("gr"), std::string::npos) << a[1];
    EXPECT_EQ(cols(a[2], 118, 10).find("gr"), std::string::npos) << a[2];
    EXPECT_EQ(cols(a[1], 20, 7), "  0.070");
    EXPECT_EQ(cols(a[2], 20, 7), "  0.030");
    EXPECT_EQ(cols(a[3], 17, 2), "**");
    EXPECT_EQ(cols(a[3], 20, 7), "  0.000");
    EXPECT_EQ(cols(a[1], 97, 18), " 0.012 0.034 0.005");  // friction, single and transition loss of branch 1
    const auto z = output::element_lines(ctx, 5);
    ASSERT_EQ(z.size(), 3u);
    // inlet 2: z 99.5, h 0.4, WSP 99.9, E 99.5 + 0.4032, shear stress
    // 0.25 * 0.5 * 9806.65 * 0.001 = 1.23 N/m2; of the 0.021 m lost up to the
    // inlet 0.005 m by friction, 0.016 m single losses
    EXPECT_EQ(cols(z[2], 37, 8), "  99.500");
    EXPECT_EQ(cols(z[2], 57, 8), "  99.900");
    EXPECT_EQ(cols(z[2], 78, 10), "    99.903");
    EXPECT_EQ(cols(z[2], 88, 6), "  1.23");
    EXPECT_EQ(cols(z[2], 97, 18), " 0.005 0.016      ");
}

struct WarningTest : ListingTest {
    void SetUp() override {
        ctx.plant = Plant{};
        ctx.run.ierr = 0;
        ListingTest::SetUp();
        checks::fehler(ctx, "INIT", dir.str() + "PLANT", "Prüfprotokoll");
        plant(3);
        el(2).ityp = T_W;
        el(2).bez = "WWand2";
        el(2).bez_lang = "WWand2";
    }
    std::string checkList() {
        ctx.rep.close();
        return test::read_file(dir.str() + "PLANT.pkl");
    }
};

TEST_F(WarningTest, WarningsOfTheElementLines) {
    // Each case changes the wall WWand2 of a fresh plant; `said` is a part of
    // the warning in the check list, empty for none.
    struct Case {
        const char* what;
        std::function<void(Element&)> set;
        const char* said;
    };
    const Case cases[] = {
        // v = 1.0 m/s below the wall: v^2/(2g) = 0.051 m > 0.01 m given
        {"given single loss below one velocity head",
         [](Element& e) { e.hvs = 0.01f, e.res[1].v = 1.0f; }, "angegebene Einzelverlusthöhe ist zu"},
        {"given single loss above one velocity head",
         [](Element& e) { e.hvs = 0.06f, e.res[1].v = 1.0f; }, ""},
        // opening 0.1 m, upstream depth 0.4 m: h = 4.00 a, below the 5 a the
        // outflow formula needs
        {"outflow formula below its range",
         [this](Element& e) {
             ctx.plant.wand.resize(2);
             ctx.plant.wand[1].H = 0.1f;
             e.iord = 1;
             e.res[2].h = 0.4f;
             e.res[2].bem[5] = "µ";
         },
         "h = 4.00*a"},
        {"sluice gate without outflow formula",
         [](Element& e) {
             e.kurzbez = "Schuetz";
             e.res[1].bem[1] = "gr";
             e.res[2].bem[5] = "FS";
         },
         "wegen des zu"},
        {"division with critical depth at its inlet",
         [](Element& e) {
             e.ityp = T_A;
             e.bez = e.bez_lang = "AAuf";
             e.iab = {0, 3, 0};
             e.res[2].bem[1] = "gr";
         },
         "AAuf"},
        {"sluice gate whose outflow formula gave too low a level",
         [this](Element& e) {
             ctx.plant.wand.resize(2);
             ctx.plant.wand[1].formulaGoverns = true;
             e.iord = 1;
             e.kurzbez = "Schuetz";
             e.res[1].bem[1] = "gr";
             e.res[2].bem[5] = "FS";
             e.res[2].bem[4] = "ZT";
         },
         "weil E(µ)<E(Zeta)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.set(el(2));
        output::element_lines(ctx, 2);
        EXPECT_EQ(ctx.run.ierr, *c.said ? 1 : 0);
        if (*c.said) { EXPECT_NE(checkList().find(c.said), std::string::npos); }
    }
    // the last case: the remark is taken back by the warning
    EXPECT_EQ(el(2).res[2].bem[4], "");
    // a wall writes its downstream line only with a transition loss to show
    SetUp();
    for (const float hvu : {0.0001f, 0.0002f}) {
        el(2).HVU = hvu;
        EXPECT_EQ(output::element_lines(ctx, 2).size(), hvu > 0.00015f ? 2u : 1u) << hvu;
    }
}

TEST_F(ListingTest, PumpEnergy) {
    // P2 lifts 0.1 m3/s by 5.0 m through the pressure pipe D3 (losses
    // 0.2 + 0.1 + 0.05 m): Pp = 9.80665 * 0.1 * 5.0 = 4.903 kW,
    // Pv = 9.80665 * 0.1 * 0.35 = 0.343 kW.
    plant(4);
    el(2).ityp = T_P;
    el(2).bez = "PPumpe";
    el(2).beschreibung = "Zulaufpumpwerk";
    el(2).HVU = -5.0f;
    el(3).ityp = T_D;
    el(3).HVK = 0.2f;
    el(3).HVE1 = 0.1f;
    el(3).HVU = 0.05f;
    const auto pe = output::pump_energy(ctx, 2);
    EXPECT_NEAR(pe.H, 5.0f, 1e-6);
    EXPECT_NEAR(pe.Hv, 0.35f, 1e-6);
    EXPECT_NEAR(pe.Pp, 4.903325f, 1e-4);
    EXPECT_NEAR(pe.Pv, 0.3432328f, 1e-4);
}

TEST_F(WarningTest, LinkTableAndDischargeLogInTheCheckList) {
    el(1).zulauf1 = "";
    el(1).ablauf1 = "WWand2";
    el(2).res[1].Qmin = 0.05f;
    el(2).res[1].Qmax = 0.25f;
    output::outsys(ctx);
    output::outqqq(ctx);
    const std::string t = checkList();
    EXPECT_NE(t.find(" erweiterte Systemlogik"), std::string::npos);
    // G1: 0.1 m3/s = 100.0 l/s; element 1, no inlet, outlet 2, strand 1
    EXPECT_NE(t.find(" G1                        WWand2         100.0    1    0    2    1"),
              std::string::npos)
        << t;
    // the bounds of the wall's outlet end in m3/s
    EXPECT_NE(t.find("    1    0.050    0.250"), std::string::npos) << t;
}
