// The water-level walk over generated plants with many free divisions: every
// split must be balanced, and the walk must end on its own, not by the limit
// of passes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "common/variant_db.h"
#include "hydraulics/lane_walk.h"

using namespace rivola;

namespace {

struct Walked {
    std::string why;
    RunContext ctx;
    test::RecordingUi ui;
};

// Loads the generated plant (with `change`, SQL run after it) into a fresh
// variant and computes it on `threads` threads (0: one per core).
void compute(const test::TempDir& dir, const gen::PlantShape& shape, Walked& w, const std::string& change = {},
             int threads = 0) {
    gen::PlantSummary sum;
    const std::string sql = gen::generate(shape, sum, w.why) + change;
    if (!w.why.empty()) return;
    std::string status;
    const std::string db = test::load_variant(dir, "GEN", sql, status);
    if (status != "ok") {
        w.why = "load: " + status;
        return;
    }
    w.ctx.ui = &w.ui;
    w.ctx.db.diagFile = dir.str() + "DB_Fehler.pkl";
    w.ctx.run.params = {db};
    w.ctx.run.threads = threads;
    run::r_rivola(w.ctx, 1);
}

}  // namespace

TEST(GeneratedWalk, FreeDivisionsBalanceAndTheWalkEndsByItself) {
    struct Case {
        int elements, lanes;
        unsigned seed;
    };
    for (const Case c : {Case{1000, 16, 1}, Case{1000, 4, 3}, Case{600, 2, 7}}) {
        SCOPED_TRACE(std::to_string(c.elements) + " elements, " + std::to_string(c.lanes) +
                     " lanes, seed " + std::to_string(c.seed));
        test::TempDir dir("genwalk");
        const gen::PlantShape shape{c.elements, -1, c.lanes, c.seed};   // 6 free divisions per 100 elements
        Walked w;
        compute(dir, shape, w);
        ASSERT_TRUE(w.why.empty()) << w.why;
        const RunContext& ctx = w.ctx;
        EXPECT_LT(ctx.run.ierr, 2);
        EXPECT_LT(ctx.run.passes, ctx.run.maxPasses) << "the walk ran into the limit of passes";
        const Plant& p = ctx.plant;
        ASSERT_GT(p.niter, 0);
        int free = 0;
        for (size_t k = 1; k < p.aufteilung.size() && k < p.wsp.div.size(); ++k) {
            if (p.aufteilung[k].iter == 0) continue;
            ++free;
            const int i = p.wsp.div[k].isys;
            const Element& e = p.el[i];
            // the energy heights of both branches agree to the millimetre the
            // program reports as not balanced
            EXPECT_LE(std::fabs(p.wsp.div[k].dE), 0.001f) << e.bez;
            // the split hands on all the water: the two outlets carry the inflow
            const float q1 = p.el[e.iab[1]].res[2].Q, q2 = p.el[e.iab[2]].res[2].Q;
            EXPECT_NEAR(q1 + q2, e.res[2].Q, 1e-5f + 1e-5f * e.res[2].Q) << e.bez;
        }
        EXPECT_EQ(free, p.niter);
        // no division was reported as unbalanced
        EXPECT_EQ(test::read_file(dir.str() + "GEN.pkl").find("Differenz der Energieh"),
                  std::string::npos);
    }
}

// The lanes of the passes computed on threads tell what one thread tells:
// the same screen log, check list, results and passes, for a plant that
// computes and for one that stops in the middle of a lane (an immersion tube
// that cannot run full: its inlet profile widened to 3 m).
TEST(GeneratedWalk, LanesOnThreadsTellWhatOneThreadTells) {
    const gen::PlantShape shape{1000, -1, 16, 1};
    for (const std::string change : {"", "UPDATE tbl_rvldaten SET GEO_oB11 = 3 WHERE bez = 'T16';\n"}) {
        SCOPED_TRACE(change.empty() ? "computes" : "tube T16 partly full");
        test::TempDir dir("lanes");
        struct Told {
            std::vector<std::string> logs, boxes;
            std::string checkList, csv;
            int ierr = 0, passes = 0;
        };
        std::vector<Told> told;
        for (int threads : {1, 3}) {
            Walked w;
            compute(dir, shape, w, change, threads);
            ASSERT_TRUE(w.why.empty()) << w.why;
            EXPECT_EQ(hyd::LaneWalk::suits(w.ctx, threads), threads > 1);
            told.push_back({w.ui.logs, w.ui.boxes, test::read_file(dir.str() + "GEN.pkl"),
                            change.empty() ? test::read_file(dir.str() + "GEN.csv") : "", w.ctx.run.ierr,
                            w.ctx.run.passes});
        }
        const Told& one = told[0];
        const Told& three = told[1];
        EXPECT_EQ(one.ierr, change.empty() ? 0 : 2);
        EXPECT_GT(one.logs.size(), 600u);  // a line for every element end the first pass reached
        EXPECT_EQ(three.logs, one.logs);
        EXPECT_EQ(three.boxes, one.boxes);
        EXPECT_EQ(three.checkList, one.checkList);
        EXPECT_EQ(three.csv, one.csv);
        EXPECT_EQ(three.ierr, one.ierr);
        EXPECT_EQ(three.passes, one.passes);
        if (!change.empty()) EXPECT_TRUE(test::holds(one.checkList, "Bei T16 liegt"));
    }
}
