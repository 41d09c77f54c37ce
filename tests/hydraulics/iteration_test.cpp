// The root finders of the formulas and of the division iteration, and the
// test that ends the walk's passes, against residuals whose roots are known.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "common/plant_builder.h"
#include "hydraulics/division_convergence.h"
#include "hydraulics/root_steps.h"
#include "output/outwsp_screen.h"

using namespace rivola;
using namespace rivola::hyd;

TEST(Rfalsi, FirstTrialsAsGivenThenSecantToTheRoot) {
    RunContext ctx;
    int cnt = 0;
    float lo = 0.0f, hi = 9999.9f, x = 0.0f, f = 0.0f;
    rfalsi(ctx, "T", 0, cnt, 0.3f, 1.7f, lo, hi, x, f);
    EXPECT_FLOAT_EQ(x, 0.3f);
    f = 2.0f - 0.3f;
    rfalsi(ctx, "T", 0, cnt, 0.3f, 1.7f, lo, hi, x, f);
    EXPECT_FLOAT_EQ(x, 1.7f);
    f = 2.0f - 1.7f;
    rfalsi(ctx, "T", 0, cnt, 0.3f, 1.7f, lo, hi, x, f);
    EXPECT_NEAR(x, 2.0f, 1e-5f);  // the residual 2 - x is linear: the secant hits 2
    EXPECT_FLOAT_EQ(lo, 1.7f);    // a falling residual still positive raises the lower bound

    // two trials closer than the tolerance, the residual barely falling and of
    // one sign: the root lies far above, the next trial steps out by half the
    // last one instead of staying between the two
    auto trials = [&](std::initializer_list<float> residuals) {
        cnt = 0;
        lo = 0.0f, hi = 9999.9f;
        for (const float r : residuals) {
            f = r;
            rfalsi(ctx, "T", 0, cnt, 0.5f, 0.500005f, lo, hi, x, f);
        }
    };
    trials({0.0f, 1.0f, 0.9f});
    EXPECT_NEAR(x, 0.75f, 1e-5f);
    // the same trials with residuals of both signs: the root lies between
    // them, the midpoint is taken as converged
    trials({0.0f, 1.0f, -1.0f});
    EXPECT_NEAR(x, 0.5000025f, 1e-6f);
    EXPECT_EQ(f, 0.0f);
}

TEST(Rfalsi, AResidualThatJumpsIsBisectedOntoTheJump) {
    // -1 below 0.7, +1 above: no slope for the secant to follow
    RunContext ctx;
    int cnt = 0;
    float lo = 0.0f, hi = 1.0f, x = 0.0f, f = 0.0f;
    int k = 0;
    for (; k < 300; ++k) {
        rfalsi(ctx, "T", 0, cnt, 0.1f, 0.2f, lo, hi, x, f);
        if (cnt > 2 && f == 0.0f) break;  // declared converged across the jump
        if (cnt == 3) {
            // unchanged residual: halfway from the last trial to the upper
            // bound; without a slope the bounds stay as given
            EXPECT_FLOAT_EQ(x, 0.6f);
            EXPECT_FLOAT_EQ(lo, 0.0f);
            EXPECT_FLOAT_EQ(hi, 1.0f);
        }
        f = x < 0.7f ? -1.0f : 1.0f;
    }
    ASSERT_LT(k, 300);
    EXPECT_NEAR(x, 0.7f, 1e-4f);
}



namespace {
// Drives itstep as the division computation does: the first step moves the
// trial by halving towards the side the residual points to, every later step
// is itstep's. Returns the trials taken until |f| <= tol (or -1).
template <class F>
int drive_itstep(RunContext& ctx, F fun, float& x, float tol, float restart) {
    int cnt = 0;
    for (int k = 0; k < 200; ++k) {
        const float f = fun(x, k);
        if (std::fabs(f) <= tol) return k;
        itstep(ctx, "HYAZWG", 1, cnt, 0.0f, 1.0f, x, f, restart);
        if (cnt == 1) x = f <= 0.0f ? 0.5f * (x + 1.0f) : 0.5f * x;
    }
    return -1;
}
}  // namespace



TEST(Itstep, LeavesAStaleBracketWhenTheResidualHasMovedPastIt) {
    // The residual of a division drifts while the splits around it still move:
    // dE = x - 0.6 for the first two trials (which bracket 0.6), after that the
    // root has moved to x = 0.45, below every trial kept so far (linear, so the
    // roots are exact).
    auto drifting = [](float x, int k) { return k < 2 ? x - 0.6f : 1.5f * (x - 0.45f); };
    RunContext ctx;
    float x = 0.5f;
    const int steps = drive_itstep(ctx, drifting, x, 0.00005f, 0.001f);
    ASSERT_GE(steps, 0) << "the split stayed on the stale side";
    EXPECT_NEAR(x, 0.45f, 0.0001f);
}

TEST(Itstep, FormulaRoutineLeavesABracketMadeOfAForeignFirstPoint) {
    // A weir restarts its secant stepping from the free-overflow head with the
    // residual of another trial, so the first point need not lie on the
    // residual: here (0.5, -0.2) while the residual is h - 0.3 (root 0.3,
    // +0.2 at 0.5). The false bracket must not hold the trials at 0.5.
    auto run = [](float restart) {
        RunContext ctx;
        int cnt = 0;
        float x = 0.5f;
        itstep(ctx, "HYAUEB", 0, cnt, 0.1f, 9999.9f, x, -0.2f, restart);
        x = 0.6f;
        for (int k = 0; k < 200; ++k) {
            const float f = x - 0.3f;
            if (std::fabs(f) < 1e-4f) return x;
            itstep(ctx, "HYAUEB", 0, cnt, 0.1f, 9999.9f, x, f, restart);
        }
        return -1.0f;
    };
    EXPECT_NEAR(run(0.0f), 0.3f, 1e-4f);  // the default of the formula routines
    EXPECT_EQ(run(std::numeric_limits<float>::infinity()), -1.0f);
}


namespace {

// A plant of three divisions as the walk sees them after a pass: A_FREE
// iterated, A_FIX a fixed percentage split, A_MIN a minimum discharge.
struct Divisions : test::PlantBench {
    explicit Divisions(const std::string& lang = "DEUTSCH") {
        language(lang);
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
        d(1).dE = dE1, d(2).dE = dE2, d(3).dE = dE3;
        ctx.run.converged = converged ? 1 : 0;
        hyd::chkdhe(ctx);
    }
};

}  // namespace

TEST(IterationControl, TheWalkEndsWhenTheIteratedDivisionsStandStill) {
    Divisions t;
    // the screen line of a pass: the largest difference at a free division
    // (A_FREE 2 cm, A_MIN -35.25 mm; the fixed A_FIX is not iterated)
    t.d(1).dE = 0.02f, t.d(2).dE = 0.5f, t.d(3).dE = -0.03525f;
    output::outwsp_screen_pass(t.ctx, 4);
    t.ctx.settings.language = "ENGLISH";
    output::outwsp_screen_pass(t.ctx, 5);
    EXPECT_EQ(t.ui.logs, (std::vector<std::string>{
                           "Iterationsschleife     4   größte Energiehöhendifferenz    35.25 mm",
                           "iteration loop     5   largest energy difference    35.25 mm"}));
    t.ctx.settings.language = "DEUTSCH";
    t.pass(0, 0.02f, 0.5f, 0.01f, false);
    EXPECT_FLOAT_EQ(t.d(1).dEold, 0.02f);
    t.pass(1, 0.02f, 0.5f, 0.01f, false);  // unchanged, but pass 1 is not tested
    EXPECT_FALSE(t.ctx.plant.wsp.stop);
    t.pass(2, 0.01f, 0.5f, 0.01f, false);  // the free division still moves
    EXPECT_FALSE(t.ctx.plant.wsp.stop);
    t.pass(3, 0.01001f, 0.9f, 0.00999f, false);  // a fixed one may move; the rest within tolerance
    EXPECT_TRUE(t.ctx.plant.wsp.stop);
    EXPECT_FALSE(t.ctx.plant.wsp.early);
}

TEST(IterationControl, MaximumPassesStopEarlyWithMessageAndCheckListWarnings) {
    for (const std::string lang : {"DEUTSCH", "ENGLISH"}) {
        Divisions t(lang);
        t.ctx.run.iniRead = 1;
        for (int n = 0; n < 100; ++n) t.pass(n, 0.3f + 0.01f * n, -0.02f, 0.0f, false);
        EXPECT_FALSE(t.ctx.plant.wsp.stop);
        t.pass(100, 1.5f, -0.02f, 0.0f, false);
        EXPECT_TRUE(t.ctx.plant.wsp.stop && t.ctx.plant.wsp.early);
        EXPECT_EQ(t.ctx.run.ierr, 1);
        EXPECT_EQ(t.ctx.run.balance, 1);
        const std::string cl = t.closed_checklist();
        EXPECT_EQ(cl.find("A_MIN"), std::string::npos);  // balanced: not listed
        if (lang == "ENGLISH") {
            EXPECT_TRUE(t.logged("error: The balance of energy level has been stopped early after   100"));
            EXPECT_NE(cl.find("      - A_FREE       difference of energy level:    1.5000\n"), std::string::npos);
            continue;
        }
        EXPECT_TRUE(t.logged("Fehler: Der Energiehöhenabgleich wurde nach   100"));
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
    }
}

