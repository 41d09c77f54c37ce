// Generated large plants: element counts and composition as asked for, the
// capacities of the model kept, and every plant valid for the checks.
#include <gtest/gtest.h>

#include "common/variant_db.h"

namespace rivola::test {
namespace {

// A plan of the generator: elements, free divisions (-1: the default share)
// and lanes per stage.
using Plan = gen::PlantShape;
const std::vector<std::string> kNone;   // no message

// The default share of free divisions is 6 per 100 elements: 60 of 1000.
// The per-type capacities add up to 88000 computed elements (12000 each for
// G, D, B and W, 8000 for Q, 6000 each for A and Z, 4000 each for V, S and U,
// 2000 each for R, T, M and P), so a plant of 100000 elements holds at least
// 12000 observation points without a type number; it is checked. With 2
// lanes per stage a plant of 25000 elements has 1500 stages, and half of its
// lanes hold few structures; it is computed in full: every division balances,
// and the trunk, sized for the side inflows the lanes gather, carries them
// without overflow. No plant has a finding.
TEST(GeneratedPlant, PlantsOfSeveralShapesUpToTheLargestPassTheChecks) {
    const struct {
        int elements, freeDivisions, lanes;
        bool full = false;   // computed in full, not only checked
    } cases[] = {{12, 1, 2},  {1000, -1, 16},      {400, 7, 3}, {60, 0, 16},
                 {300, 20, 5}, {100000, 6000, 16}, {25000, 1500, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elements);
        gen::PlantSummary sum;
        std::string why;
        const std::string sql = gen::generate(Plan{c.elements, c.freeDivisions, c.lanes}, sum, why);
        ASSERT_TRUE(why.empty()) << why;
        TempDir dir("gen_shapes");
        const VariantRun o = run_generated(dir, sql, c.full);
        ASSERT_EQ(o.loadStatus, "ok");
        EXPECT_EQ(std::tie(o.ierr, o.codes, o.boxes), std::tuple(0, kNone, kNone));
        EXPECT_EQ(o.checklist.find("Differenz der Energieh"), std::string::npos);
        const int free = c.freeDivisions < 0 ? 60 : c.freeDivisions;
        EXPECT_EQ(std::pair(o.nsys, o.niter), std::pair(c.elements, free));
        for (int t = 1; t <= kMaxItyp; ++t)
            if (type_capacity(t) > 0) {
                EXPECT_LE(o.ntyp[t], type_capacity(t)) << t;
            }
        if (c.elements >= 25000) {
            if (!c.full) {
                EXPECT_GE(o.untyped, 12000);
            }
            // every type of element takes part
            for (int t : {T_G, T_D, T_B, T_V, T_S, T_Q, T_R, T_U, T_W, T_T, T_M, T_P, T_A, T_Z})
                EXPECT_GT(o.ntyp[t], 0) << t;
            continue;
        }
        EXPECT_EQ(std::pair(o.ntyp[T_A], o.ntyp[T_Z]), std::pair(free, free));
        if (c.elements > 12) continue;
        // The smallest plant, one free division with two lanes, counted by hand:
        // head works Q G R G M G, the division A, a feed channel G in each lane,
        // the confluence Z, the trunk channel G and the outlet channel G.
        EXPECT_EQ(gen::smallest_plant(Plan{12, 1, 2}), 12);
        EXPECT_EQ(o.ntyp[T_G], 7);
        for (int t : {T_Q, T_R, T_M}) EXPECT_EQ(o.ntyp[t], 1) << t;
        EXPECT_EQ(o.untyped, 0);
    }
}

TEST(GeneratedPlant, DischargeBoundsStayWithinThePlantInflow) {
    // Three stages of eight lanes: free divisions nested three deep, stages in
    // series. Whatever the splits, no element can carry more than all inflows
    // together (the plant inflow and the side inflows of 0.5 l/s), and before
    // the first pass the outlet carries exactly that sum.
    gen::PlantSummary sum;
    std::string why;
    const std::string sql = gen::generate(Plan{400, 21, 8}, sum, why);
    ASSERT_TRUE(why.empty()) << why;
    const float total = static_cast<float>(sum.inflow + 0.5 * (sum.count('Q') - 1)) * 0.001f;
    TempDir dir("gen_bounds");
    const VariantRun o = run_generated(dir, sql);
    ASSERT_EQ(o.ierr, 0);
    EXPECT_NEAR(o.outletQ, total, 1e-4f);
    EXPECT_LE(o.largestQmax, total + 1e-4f);
}

TEST(GeneratedPlant, RefusesWhatTheModelCannotHoldAndSeedsOnlyTheLanes) {
    gen::PlantSummary sum;
    std::string why;
    EXPECT_TRUE(gen::generate(Plan{100001, 6000, 16}, sum, why).empty());
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(gen::generate(Plan{100000, 6001, 16}, sum, why).empty());
    EXPECT_FALSE(why.empty());
    // one division with two lanes needs 12 elements (see above)
    EXPECT_TRUE(gen::generate(Plan{11, 1, 2}, sum, why).empty());
    EXPECT_NE(why.find("12"), std::string::npos) << why;
    // the seed varies the lanes but not the composition
    gen::PlantShape a = Plan{500, 14, 8}, b = a;
    b.seed = 2;
    gen::PlantSummary sa, sa2, sb;
    const std::string x = gen::generate(a, sa, why), x2 = gen::generate(a, sa2, why),
                      y = gen::generate(b, sb, why);
    EXPECT_EQ(x, x2);
    EXPECT_NE(x, y);
    EXPECT_EQ(sa.byLetter, sb.byLetter);
}

}  // namespace
}  // namespace rivola::test
