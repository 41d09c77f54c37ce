#include <gtest/gtest.h>

#include "model/plant.h"

using namespace rivola;

// The value pairs of divisions, in one sequence on one setting, so that a
// flag or value left over from the row before shows, and the free and the
// required divisions number their iterations.
TEST(DivisionSetting, TableOfValuePairs) {
    const struct {
        float a1, a2;
        bool set, ok, fixed, fixedQ1, requiredQ1, valueQ2;
        float value;
        int iter;
    } cases[] = {
        {kMissing, kMissing, true, true, false, false, false, false, 0.0f, 1},   // free division
        {60.0f, 40.0f, true, true, true, false, false, false, 0.6f, 0},          // 60/40 split -> 0.6
        {60.0f, 39.8f, true, false, true, false, false, false, 0.6f, 0},         // beyond the 0.1 tolerance
        {60.0f, 39.95f, true, true, true, false, false, false, 0.6f, 0},
        {25.0f, kMissing, true, true, true, true, false, false, 0.025f, 0},      // fixed 25 l/s into outlet 1
        {-25.0f, kMissing, true, true, false, false, true, false, 0.025f, 2},    // required 25 l/s in outlet 1
        {kMissing, -30.0f, true, true, false, false, false, true, 0.030f, 3},    // 30 l/s for outlet 2
        {-10.0f, 20.0f, false, true, false, false, false, false, 0.0f, 0},       // other pairs: no setting
    };
    int niter = 0;
    DivisionSetting s;
    bool ok = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a1 << " / " << c.a2);
        EXPECT_EQ(division_setting(c.a1, c.a2, niter, s, ok), c.set);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(s.fixed, c.fixed);
        EXPECT_EQ(s.fixedQ1, c.fixedQ1);
        EXPECT_EQ(s.requiredQ1, c.requiredQ1);
        EXPECT_EQ(s.valueQ2, c.valueQ2);
        EXPECT_FLOAT_EQ(s.value, c.value);
        EXPECT_EQ(s.iter, c.iter);
    }
    EXPECT_EQ(niter, 3);
}

TEST(PlantLookups, OrdinalsAndCounters) {
    Plant p;
    p.resize(6);
    const char* names[] = {"", "Q1", "G1", "V1", "G2", "V2", "S1"};
    const int types[] = {0, T_Q, T_G, T_A, T_G, T_V, T_Z};
    for (int i = 1; i <= 6; ++i) {
        p.el[i].bez = names[i];
        p.el[i].ityp = types[i];
    }
    EXPECT_EQ(i_elmnt(p, T_G, 0), 0);
    EXPECT_EQ(indtyp(p, T_G, 2), 1);
    EXPECT_EQ(indtyp(p, T_G, 4), 2);
    EXPECT_EQ(indsys(p, T_G, 2), 4);
    EXPECT_EQ(indsys(p, T_G, 3), 0);
    indx(p, 6);
    EXPECT_EQ(p.ntyp[T_G], 2);
    EXPECT_EQ(p.ntyp[T_A], 1);
    EXPECT_EQ(p.ntyp[T_V], 2);   // V1 is a division and also a V-element
    EXPECT_EQ(p.ntyp[T_S], 1);   // S1 is a confluence and also an S-element
    EXPECT_EQ(p.ntyp[T_Z], 1);
}
