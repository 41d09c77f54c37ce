// The plot data file: links, strands, profile heights, inverts and the ground
// levels of every element, against values worked out by hand.
#include <gtest/gtest.h>


#include "common/test_util.h"
#include "output/m_output_eingabe.h"
#include "output/output_plant.h"

using namespace rivola;
using namespace rivola::test;

namespace {

// The fields of a line of the plot data file.
std::vector<std::string> fields(const std::string& line) { return rivola::test::fields(line, ';'); }

// Writes the plot data file of a run and returns its lines.
std::vector<std::string> plot_lines(RunContext& ctx) {
    output::o_plot(ctx);
    return read_lines(ctx.run.basePath + "_plot.csv");
}

struct PlotData : ::testing::Test {
    TempDir dir;
    RunContext ctx;
    void SetUp() override { place_run(ctx, dir.path(), "ANLAGE"); }
};

// Q1 -> G1 -> D1 -> D2 -> G2: two pressure pipes between two flumes.
void pipes_between_flumes(RunContext& ctx) {
    Plant& p = ctx.plant;
    elements(p, {{"Q1", T_Q}, {"G1", T_G}, {"D1", T_D}, {"D2", T_D}, {"G2", T_G}});
    link_line(p);
    p.el[1].prof[kProfUp] = p.el[1].prof[kProfDown] = rect(101.2f, 1.0f, 0.8f);
    p.el[2].prof[kProfUp] = rect(101.0f, 1.0f, 0.8f);      // ground 102.000
    p.el[2].prof[kProfDown] = rect(100.9f, 1.0f, 0.8f);    // ground 101.900
    p.el[3].prof[kProfUp] = rect(100.5f, 0.5f, 0.5f, true, 0.25f);
    p.el[3].prof[kProfDown] = rect(100.3f, 0.5f, 0.5f, true, 0.25f);
    p.el[4].prof[kProfUp] = rect(100.2f, 0.5f, 0.5f, true, 0.25f);
    p.el[4].prof[kProfDown] = rect(100.0f, 0.5f, 0.5f, true, 0.25f);
    p.el[5].prof[kProfUp] = rect(99.8f, 1.2f, 1.0f);       // ground 101.000
    p.el[5].prof[kProfDown] = rect(99.7f, 1.2f, 1.0f);     // ground 100.900
    p.el[3].geo.L = 20.0f;
    p.el[3].beschreibung = "Druckleitung";
    p.el[3].plotweg = "A";
    p.el[4].hve.H = 0.001f;
    p.el[5].hve.H = 0.25f;
    p.el[5].plotflag = 'N';
}

}  // namespace

TEST_F(PlotData, PipesBetweenFlumesCarryTheGroundOfTheFlumesBesideThem) {
    pipes_between_flumes(ctx);
    const auto l = plot_lines(ctx);
    ASSERT_EQ(l.size(), 6u);
    // (its header and field layout are pinned by the stored plot data of the examples)
    // both pipes: upstream ground of the flume above (101.900), downstream
    // ground of the flume below (101.000)
    EXPECT_EQ(l[3], "3;True;D1;G1;;;D2;;1;1;;T;20.000;0.750;;0.750;;100.500;;100.300;101.900;101.000;Druckleitung;A;");
    EXPECT_EQ(l[4], "4;True;D2;D1;;;G2;;1;1;;T;0.000;0.750;;0.750;;100.200;;100.000;101.900;101.000;;;");
    // (the flumes stand on their own profile tops, as the stored plot data show)
    // the last element: "ENDE", left out of the drawing, a slot height above 1 mm
    const auto g2 = fields(l[5]);
    EXPECT_EQ(g2[1], "False");
    EXPECT_EQ(g2[6], "ENDE");
    EXPECT_EQ(g2[16], "0.250");
    EXPECT_EQ(g2[20], "101.000");
    EXPECT_EQ(g2[21], "100.900");
    // ctx.run lists the file as written
    ASSERT_FALSE(ctx.run.writtenFiles.empty());
    EXPECT_EQ(ctx.run.writtenFiles.back(), ctx.run.basePath + "_plot.csv");
}

TEST_F(PlotData, PipeAtTheEndStandsOnItsOwnProfileAndUnsetGroundsAreMarked) {
    Plant& p = ctx.plant;
    // a pipe with no inlet, whose upstream ground nothing sets; an immersion tube as the last element
    elements(p, {{"D0", T_D}, {"G1", T_G}, {"T1", T_T}});
    link_line(p);
    p.el[2].prof[kProfUp] = rect(100.0f, 1.0f, 0.8f);
    p.el[2].prof[kProfDown] = rect(99.9f, 1.0f, 0.8f);
    p.el[3].prof[kProfUp] = rect(99.5f, 0.3f, 0.3f, true, 0.15f);
    p.el[3].prof[kProfDown] = rect(99.4f, 0.3f, 0.3f, true, 0.15f);
    const auto l = plot_lines(ctx);
    ASSERT_EQ(l.size(), 4u);
    const auto d0 = fields(l[1]);
    EXPECT_EQ(d0[20], "-9999.990");
    EXPECT_EQ(d0[21], "101.000");      // upstream ground of the flume below
    const auto t1 = fields(l[3]);
    EXPECT_EQ(t1[20], "100.900");      // downstream ground of the flume above
    EXPECT_EQ(t1[21], "99.850");       // 99.4 + 0.15 + 0.3
    EXPECT_EQ(t1[6], "ENDE");
}

TEST_F(PlotData, BranchingElementsWriteTheirBranchProfilesAndStrands) {
    Plant& p = ctx.plant;
    // Q1 -> A1 -> (W1, G2) -> Z1 -> V1 -> (U1, G3) -> S1 -> V2 -> S2; V1 a
    // distribution flume with two outlets, S1 a collection flume with two inlets
    elements(p, {{"Q1", T_Q}, {"A1", T_A}, {"W1", T_W}, {"G2", T_G, 2}, {"Z1", T_Z}, {"V1", T_A}, {"U1", T_U},
                 {"G3", T_G, 3}, {"S1", T_Z}, {"V2", T_V}, {"S2", T_S}});
    links(p, {{0, 2}, {1, 3, 0, 4}, {2, 5}, {2, 5}, {3, 6, 4}, {5, 7, 0, 8}, {6, 9}, {6, 9}, {7, 10, 8}, {9, 11}, {10, 0}});
    Element& a = p.el[2];
    a.prof[kProfUp] = rect(100.0f, 1.0f, 1.0f);
    a.prof[kProfBranch1] = rect(99.9f, 0.8f, 0.5f);
    a.prof[kProfBranch2] = rect(99.8f, 0.6f, 0.4f);
    Element& z = p.el[5];   // its 1st inlet is a wall, its 2nd not: branches swapped
    z.prof[kProfBranch1] = rect(99.5f, 0.7f, 0.5f);
    z.prof[kProfBranch2] = rect(99.4f, 0.9f, 0.5f);
    z.prof[kProfDown] = rect(99.3f, 1.0f, 0.6f);
    Element& v = p.el[6];
    v.prof[kProfUp] = rect(99.2f, 1.1f, 2.0f);
    v.prof[kProfDown] = rect(99.1f, 1.3f, 2.0f);
    Element& s = p.el[9];
    s.prof[kProfUp] = rect(98.9f, 1.0f, 2.0f);
    s.prof[kProfDown] = rect(98.8f, 1.2f, 2.0f);
    const auto l = plot_lines(ctx);
    ASSERT_EQ(l.size(), 12u);
    auto cols = [&](int i, int from, int to) {
        const auto f = fields(l[static_cast<size_t>(i)]);
        std::string r;
        for (int k = from; k <= to; ++k) r += f[static_cast<size_t>(k)] + "|";
        return r;
    };
    // ord1..ord3 (fields 8-10), profh, profh2, profh1 (13-15), solo, sohle2, solu (17-19), gelo, gelu (20-21)
    EXPECT_EQ(cols(2, 8, 10), "1|1|2|");
    EXPECT_EQ(cols(2, 13, 15), "1.000|0.600|0.800|");
    EXPECT_EQ(cols(2, 17, 21), "100.000|99.800|99.900|101.000|100.700|");
    EXPECT_EQ(cols(5, 8, 10), "1|1||");
    EXPECT_EQ(cols(5, 13, 15), "0.900|0.700|1.000|");
    EXPECT_EQ(cols(5, 17, 21), "99.400|99.500|99.300|100.300|100.300|");
    EXPECT_EQ(cols(6, 8, 10), "1|1|3|");
    EXPECT_EQ(cols(6, 13, 15), "1.100|1.300|1.300|");
    EXPECT_EQ(cols(6, 17, 19), "99.200|99.100|99.100|");
    EXPECT_EQ(cols(9, 13, 15), "1.000||1.200|");
    EXPECT_EQ(cols(9, 17, 19), "98.900||98.800|");
    EXPECT_EQ(cols(10, 8, 10), "1||1|");
    EXPECT_EQ(cols(11, 8, 10), "|1|1|");
    EXPECT_EQ(cols(2, 3, 7), "Q1|||W1|G2|");

    // Both inlets of a confluence are weirs, the 2nd one the last element of
    // the list: neither is drawn second, the branch profiles keep their order.
    RunContext two;
    place_run(two, dir.path(), "ZWEI");
    Plant& q = two.plant;
    elements(q, {{"Q1", T_Q}, {"Z1", T_Z}, {"U1", T_U}, {"U2", T_U, 2}});
    links(q, {{0, 3}, {3, 0, 4}, {1, 2}, {0, 2}});
    q.el[2].prof[kProfBranch1] = rect(99.5f, 0.7f, 0.5f);
    q.el[2].prof[kProfBranch2] = rect(99.4f, 0.9f, 0.5f);
    q.el[2].prof[kProfDown] = rect(99.3f, 1.0f, 0.6f);
    const auto zf = fields(plot_lines(two).at(2));
    EXPECT_EQ(zf[13] + "|" + zf[14] + "|" + zf[17] + "|" + zf[18], "0.700|0.900|99.500|99.400");
}
