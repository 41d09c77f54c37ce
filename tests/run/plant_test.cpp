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
        const bool set = division_setting(c.a1, c.a2, niter, s, ok);
        EXPECT_EQ(std::tie(set, ok, s.fixed, s.fixedQ1, s.requiredQ1, s.valueQ2, s.iter),
                  std::tie(c.set, c.ok, c.fixed, c.fixedQ1, c.requiredQ1, c.valueQ2, c.iter));
        EXPECT_FLOAT_EQ(s.value, c.value);
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
    EXPECT_EQ(
        std::tuple(i_elmnt(p, T_G, 0), indtyp(p, T_G, 2), indtyp(p, T_G, 4), indsys(p, T_G, 2), indsys(p, T_G, 3)),
        std::tuple(0, 1, 2, 4, 0));
    indx(p, 6);
    // V1 is a division and also a V-element, S1 a confluence and also an S-element
    EXPECT_EQ(std::tuple(p.ntyp[T_G], p.ntyp[T_A], p.ntyp[T_V], p.ntyp[T_S], p.ntyp[T_Z]),
              std::tuple(2, 1, 2, 1, 1));
}
