// When the division iteration of the walk ends: the convergence test after a
// pass, the early stop at the maximum number of passes and its warnings.
#include <gtest/gtest.h>

#include "messages/m_rivola_error.h"
#include "hydraulics/hyd_test_util.h"
#include "hydraulics/division_convergence.h"
#include "common/test_util.h"

namespace rivola {
namespace {

// A plant of three divisions as the walk sees them after a pass: A_FREE
// iterated, A_FIX a fixed percentage split, A_MIN a minimum discharge.
struct Divisions {
    RunContext ctx;
    hydtest::LogServices ui;
    test::TempDir dir{"chkdhe"};
    explicit Divisions(const std::string& language = "DEUTSCH") {
        ctx.ui = &ui;
        ctx.settings.language = language;
        checks::fehler(ctx, "INIT", dir.str() + "plant", "Prüfprotokoll");
        Plant& p = ctx.plant;
        p.resize(3);
        const char* names[] = {"", "A_FREE", "A_FIX", "A_MIN"};
        p.aufteilung.assign(4, DivisionSetting{});
        p.wsp.div.assign(4, DivisionState{});
        for (int k = 1; k <= 3; ++k) {
            p.el[k].bez = names[k];
            p.el[k].ityp = T_A;
            p.wsp.div[k].isys = k;
        }
        p.aufteilung[1].iter = 1;
        p.aufteilung[2].fixed = true;
        p.aufteilung[2].value = 0.6f;
        p.aufteilung[3].requiredQ1 = true;
        p.aufteilung[3].iter = 2;
        ctx.run.maxPasses = 100;
        ctx.run.tolerance = 0.00005f;
    }
    DivisionState& d(int k) { return ctx.plant.wsp.div[k]; }
    // One pass with the given energy differences and converged flag.
    void pass(int n, float dE1, float dE2, float dE3, bool converged) {
        ctx.plant.wsp.pass = n;
        d(1).dE = dE1;
        d(2).dE = dE2;
        d(3).dE = dE3;
        ctx.run.converged = converged ? 1 : 0;
        hyd::chkdhe(ctx);
    }
    std::string checklist() {
        ctx.rep.close();
        return test::read_file(dir.str() + "plant.pkl");
    }
};

TEST(IterationControl, FirstTwoPassesAreNotTestedButRemembered) {
    Divisions t;
    t.pass(0, 0.02f, 0.0f, 0.01f, false);
    EXPECT_FALSE(t.ctx.plant.wsp.stop);
    EXPECT_FLOAT_EQ(t.d(1).dEold, 0.02f);
    t.pass(1, 0.02f, 0.0f, 0.01f, false);  // unchanged, but pass 1 is not tested
    EXPECT_FALSE(t.ctx.plant.wsp.stop);
    // from the third pass on an unchanged energy difference ends the walk
    t.pass(2, 0.02001f, 0.0f, 0.01f, false);
    EXPECT_TRUE(t.ctx.plant.wsp.stop);
    EXPECT_FALSE(t.ctx.plant.wsp.early);
}

TEST(IterationControl, AMovingIteratedDivisionKeepsTheWalkGoing) {
    Divisions t;
    t.pass(0, 0.02f, 0.5f, 0.01f, false);
    t.pass(1, 0.01f, 0.5f, 0.01f, false);
    t.pass(2, 0.005f, 0.5f, 0.01f, false);   // the free division still moves
    EXPECT_FALSE(t.ctx.plant.wsp.stop);
    t.pass(3, 0.005f, 0.9f, 0.00999f, false); // a fixed one may move; the other within tolerance
    EXPECT_TRUE(t.ctx.plant.wsp.stop);
}

TEST(IterationControl, ConvergedPassEndsWithoutWarningsWhenBalanced) {
    Divisions t;
    t.pass(0, 0.0f, 0.0005f, 0.0f, true);
    EXPECT_EQ(t.ctx.run.balance, 0);
    EXPECT_EQ(t.ctx.run.ierr, 0);
    EXPECT_EQ(t.checklist().find("Warnungen zum Berechnungsablauf"), std::string::npos);
}

TEST(IterationControl, MaximumPassesStopsEarlyWithMessageAndCheckListWarnings) {
    for (const std::string lang : {"DEUTSCH", "ENGLISH"}) {
        Divisions t(lang);
        t.ctx.run.iniRead = 1;
        for (int n = 0; n < 100; ++n) t.pass(n, 0.3f + 0.01f * n, -0.02f, 0.0f, false);
        EXPECT_FALSE(t.ctx.plant.wsp.stop);
        t.pass(100, 1.5f, -0.02f, 0.0f, false);
        EXPECT_TRUE(t.ctx.plant.wsp.stop);
        EXPECT_TRUE(t.ctx.plant.wsp.early);
        EXPECT_EQ(t.ctx.run.ierr, 1);
        EXPECT_EQ(t.ctx.run.balance, 1);
        const std::string cl = t.checklist();
        if (lang == "DEUTSCH") {
            EXPECT_TRUE(t.ui.logged("Fehler: Der Energiehöhenabgleich wurde nach   100"));
            EXPECT_TRUE(t.ui.logged("Iterationsschleifen vorzeitig beendet!"));
            EXPECT_NE(cl.find("     Warnungen zum Berechnungsablauf\n"
                              "     Die Iteration wurde durch den Anwender (RVL_iteration.ini) gesteuert.\n"
                              "     Die Berechnung wurde nach der 100. Iterationsschleife abgebrochen!\n"
                              "     Die Energiehöhen konnten bei folgenden freien Aufteilungen nicht abgeglichen werden:\n"
                              "      - A_FREE       Differenz der Energiehöhe:    1.5000\n"
                              "     Warnungen zum Berechnungsablauf\n"
                              "     Die Iteration wurde durch den Anwender (RVL_iteration.ini) gesteuert.\n"
                              "     Die Energiehöhen konnten bei folgenden durch den Anwender fixierten Aufteilungen nicht abgeglichen werden:\n"
                              "      - A_FIX        Differenz der Energiehöhe:   -0.0200\n"),
                      std::string::npos)
                << cl;
        } else {
            EXPECT_TRUE(t.ui.logged("error: The balance of energy level has been stopped early after   100"));
            EXPECT_NE(cl.find("     warnings to iterative calculation\n"
                              "     The iteration was influenced by user (RVL_iteration.ini).\n"
                              "     The iteration was stopped after the 100. loop!\n"
                              "     The energy level could not be balanced at the following \"free\" divisions:\n"
                              "      - A_FREE       difference of energy level:    1.5000\n"),
                      std::string::npos)
                << cl;
            EXPECT_NE(cl.find("user-specified fixed divisions:\n"
                              "      - A_FIX        difference of energy level:   -0.0200\n"),
                      std::string::npos)
                << cl;
        }
        // the balanced minimum-discharge division is not listed
        EXPECT_EQ(cl.find("A_MIN"), std::string::npos);
    }
}

TEST(IterationControl, MaximumPassesWithBalancedDivisionsStillSayWhyInTheCheckList) {
    // The free division keeps moving by less than 1 mm until the last pass:
    // a warning of the run, and the check list tells that the walk was cut.
    for (const std::string lang : {"DEUTSCH", "ENGLISH"}) {
        Divisions t(lang);
        for (int n = 0; n < 100; ++n) t.pass(n, 0.0001f * (n % 5), 0.0f, 0.0f, false);
        t.pass(100, 0.0004f, 0.0f, 0.0f, false);
        EXPECT_TRUE(t.ctx.plant.wsp.early);
        EXPECT_EQ(t.ctx.run.ierr, 1);
        EXPECT_EQ(t.ctx.run.balance, 0);  // balanced within 1 mm
        const std::string cl = t.checklist();
        const std::string expected =
            lang == "DEUTSCH"
                ? "Prüfprotokoll: " + t.dir.str() + "plant.pkl\n"
                  "     Warnungen zum Berechnungsablauf\n"
                  "     Die Berechnung wurde nach der 100. Iterationsschleife abgebrochen!\n"
                : "Prüfprotokoll: " + t.dir.str() + "plant.pkl\n"
                  "     warnings to iterative calculation\n"
                  "     The iteration was stopped after the 100. loop!\n";
        EXPECT_EQ(cl, expected);
    }
}

TEST(IterationControl, OnlyFixedDivisionsUnbalancedOpenTheirOwnBlock) {
    Divisions t;
    t.pass(0, 0.0f, 0.004f, 0.0f, true);
    EXPECT_EQ(t.ctx.run.balance, 1);
    EXPECT_EQ(t.ctx.run.ierr, 1);
    const std::string cl = t.checklist();
    EXPECT_EQ(cl.find("freien Aufteilungen"), std::string::npos);
    EXPECT_EQ(cl.find("abgebrochen"), std::string::npos);
    EXPECT_NE(cl.find("     Warnungen zum Berechnungsablauf\n"
                      "     Die Energiehöhen konnten bei folgenden durch den Anwender fixierten"),
              std::string::npos)
        << cl;
}

}  // namespace
}  // namespace rivola
