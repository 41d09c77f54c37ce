#include <gtest/gtest.h>

#include "model/plant.h"

using namespace rivola;

TEST(DivisionSetting, TableOfValuePairs) {
    int niter = 0;
    DivisionSetting s;
    bool ok = false;
    // free division
    EXPECT_TRUE(division_setting(kMissing, kMissing, niter, s, ok));
    EXPECT_EQ(s.iter, 1);
    EXPECT_FALSE(s.fixed);
    // percentage split 60/40 -> 0.6
    EXPECT_TRUE(division_setting(60.0f, 40.0f, niter, s, ok));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(s.fixed);
    EXPECT_FALSE(s.fixedQ1);
    EXPECT_FLOAT_EQ(s.value, 0.6f);
    EXPECT_EQ(s.iter, 0);
    // 60/39.8 violates the 0.1 tolerance, 60/39.95 does not
    division_setting(60.0f, 39.8f, niter, s, ok);
    EXPECT_FALSE(ok);
    division_setting(60.0f, 39.95f, niter, s, ok);
    EXPECT_TRUE(ok);
    // fixed discharge 25 l/s into the 1st outlet
    EXPECT_TRUE(division_setting(25.0f, kMissing, niter, s, ok));
    EXPECT_TRUE(s.fixed && s.fixedQ1);
    EXPECT_FLOAT_EQ(s.value, 0.025f);
    EXPECT_EQ(s.iter, 0);
    // required discharge 25 l/s in the 1st outlet, next iteration number
    EXPECT_TRUE(division_setting(-25.0f, kMissing, niter, s, ok));
    EXPECT_TRUE(s.requiredQ1);
    EXPECT_FALSE(s.fixed);
    EXPECT_FLOAT_EQ(s.value, 0.025f);
    EXPECT_EQ(s.iter, 2);
    // discharge value for the 2nd outlet
    EXPECT_TRUE(division_setting(kMissing, -30.0f, niter, s, ok));
    EXPECT_TRUE(s.valueQ2);
    EXPECT_FLOAT_EQ(s.value, 0.030f);
    EXPECT_EQ(s.iter, 3);
    // other combinations: no setting
    EXPECT_FALSE(division_setting(-10.0f, 20.0f, niter, s, ok));
    EXPECT_FALSE(s.fixed || s.fixedQ1 || s.requiredQ1 || s.valueQ2);
    EXPECT_EQ(s.iter, 0);
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

TEST(PlantUnits, DischargeFactor) {
    EXPECT_FLOAT_EQ(3600.0f * q_factor("N"), 1.0f);
    EXPECT_FLOAT_EQ(1000.0f * q_factor(" "), 1.0f);
    EXPECT_FLOAT_EQ(1000.0f * q_factor(""), 1.0f);
    EXPECT_FLOAT_EQ(q_factor("y"), 0.001f);
}
