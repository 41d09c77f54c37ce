// Checks called on their own: what the chain of the set-up cannot reach
// because an earlier check stops first, the labels of the capacity check in
// English, and the scratch files.
#include <gtest/gtest.h>

#include "run/r_rivola.h"
#include "checks/pruefung.h"
#include "common/plant_builder.h"

using namespace rivola;
using rivola::test::SetupFixture;

// A measurement flume of kind K with a throat width: the message has no
// text, the run still stops.
TEST_F(SetupFixture, RoundThroatWithWidthCountsWithoutALine) {
    plant({{"Q1", "", "G2"}, {"G2", "Q1", "M3"}, {"M3", "G2", "G4"}, {"G4", "M3", "ENDE"}});
    default_data();
    el("M3").hve.T = "T";
    el("M3").hve.BU = 0.4f;
    run::set_up(ctx);
    ASSERT_EQ(ctx.run.ierr, 0) << checklist();
    el("M3").hve.T = "K";
    checks::prumuw(ctx);
    EXPECT_EQ(ctx.run.ierr, 2);
    EXPECT_TRUE(codes().empty());
    EXPECT_TRUE(logged("Fehler: hydraulischen Verlusten"));
}
