#include <gtest/gtest.h>

#include "common/recording_ui.h"
#include "common/test_util.h"
#include "run/r_rivola.h"
#include "support/m_files.h"

using namespace rivola;
using test::write_file;

namespace {

struct IniTest : ::testing::Test {
    test::TempDir dir{"ini"};
    RunContext ctx;
    void read(const std::string& text) {
        write_file(dir.str() + "RVL_iteration.ini", text);
        run::read_iteration_settings(ctx, dir.str() + "RVL_iteration.ini");
    }
};

}  // namespace

TEST_F(IniTest, MissingFileGivesDefaults) {
    ctx.run.maxPasses = 7;
    run::read_iteration_settings(ctx, dir.str() + "nothing.ini");
    EXPECT_EQ(ctx.run.maxPasses, 100);
    EXPECT_FLOAT_EQ(ctx.run.tolerance, 0.00005f);
    EXPECT_EQ(ctx.run.iterLog, 0);
    EXPECT_EQ(ctx.run.iniRead, 0);
}

TEST_F(IniTest, MaximumPassesRoundedAndAtLeastHundred) {
    read("max_iterationen = 50\n");
    EXPECT_EQ(ctx.run.maxPasses, 100);
    EXPECT_EQ(ctx.run.iniRead, 1);
    read("MAX ITERATIONEN 250.6\n");
    EXPECT_EQ(ctx.run.maxPasses, 251);
    read("Max. Iterationen: 250,4\n");           // comma as decimal point
    EXPECT_EQ(ctx.run.maxPasses, 250);
    read("ITERATIONEN MAXIMAL 101\n");
    EXPECT_EQ(ctx.run.maxPasses, 101);
}

TEST_F(IniTest, ToleranceHasAFloor) {
    read("HEEPS = 0.00001\n");
    EXPECT_FLOAT_EQ(ctx.run.tolerance, 0.00005f);
    read("heeps = 0,001\n");
    EXPECT_FLOAT_EQ(ctx.run.tolerance, 0.001f);
    read("HEEPS = 2E-3\n");
    EXPECT_FLOAT_EQ(ctx.run.tolerance, 0.002f);
}

TEST_F(IniTest, StepLogNeedsJFromColumnNine) {
    read("PROTOK  J\n");   // J in column 9
    EXPECT_EQ(ctx.run.iterLog, 1);
    read("PROTOKJ\n");     // J in column 7 only
    EXPECT_EQ(ctx.run.iterLog, 0);
    read("PROTOKOLL = ja\n");
    EXPECT_EQ(ctx.run.iterLog, 1);
    // the first matching row of a line wins: MAX/ITERAT before PROTOK
    read("MAX ITERAT PROTOKOLL J 300\n");
    EXPECT_EQ(ctx.run.maxPasses, 300);
    EXPECT_EQ(ctx.run.iterLog, 0);
}

TEST(CommandLine, ParametersWithAndWithoutPrefix) {
    RunContext ctx;
    run::cl_par(ctx, {"/data/plants/Werk A/PLANT.v2.mdb", "sim=n", "-out=engl", "/in_ansi"});
    EXPECT_EQ(ctx.run.dbDir, "/data/plants/Werk A/");
    EXPECT_EQ(ctx.run.dbName, "PLANT.v2");
    EXPECT_EQ(ctx.run.dbExt, ".mdb");
    EXPECT_EQ(ctx.run.checkListFile, "/data/plants/Werk A/PLANT.v2.pkl");
    EXPECT_EQ(ctx.run.compute, 'N');
    EXPECT_EQ(ctx.settings.language, "ENGLISH");
    EXPECT_EQ(ctx.run.ansiInput, 1);

    RunContext ctx2;
    run::cl_par(ctx2, {"plant.mdb", "english"});
    EXPECT_EQ(ctx2.run.dbDir, "");
    EXPECT_EQ(ctx2.settings.language, "ENGLISH");
    EXPECT_EQ(ctx2.run.compute, 'J');
}

TEST(FinalMessage, ByErrorLevelAndLanguage) {
    RunContext ctx;
    ctx.run.checkListFile = "/x/V.pkl";
    const char* de[] = {"Berechnungsende\n/x/V.pkl", "Warnungen siehe: /x/V.pkl",
                        "Berechnungsabbruch siehe: /x/V.pkl", "Berechnungsabbruch\n/x/V.pkl"};
    const char* en[] = {"end of calculation\n/x/V.pkl", "warnings see: /x/V.pkl",
                        "abort see: /x/V.pkl", "abort\n/x/V.pkl"};
    for (int l = 0; l <= 3; ++l) {
        ctx.run.ierr = l;
        ctx.settings.language = "DEUTSCH";
        EXPECT_EQ(run::final_message(ctx), de[l]);
        ctx.settings.language = "ENGLISH";
        EXPECT_EQ(run::final_message(ctx), en[l]);
    }
}

TEST(RunDriver, MissingResultsDatabaseStopsWithDatabaseError) {
    test::TempDir dir("nores");
    write_file(dir.str() + "V.mdb", "x");
    test::RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = {dir.str() + "V.mdb"};
    run::r_rivola(ctx, 1);
    EXPECT_EQ(ctx.run.ierr, 3);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "Datenbankfehler|Die Ergebnisdatenbank\n\"RIVOLA_8_Ergebnisse.mdb\"\nexistiert nicht.");
    ASSERT_EQ(ui.finales.size(), 1u);
    EXPECT_EQ(ui.finales[0].rfind("Berechnungsabbruch\n", 0), 0u);
}

TEST(RunDriver, MissingVariantIsNamedAndResultsDatabaseFoundWithoutRegardToCase) {
    test::TempDir dir("novar");
    test::RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = {dir.str() + "NOPE.mdb", "OUT=ENGL"};
    run::r_rivola(ctx, 1);
    EXPECT_EQ(ctx.run.ierr, 3);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].find("does not exist"), std::string::npos);
    EXPECT_NE(ui.boxes[0].find("NOPE.mdb"), std::string::npos);

    write_file(dir.str() + "V.mdb", "x");
    write_file(dir.str() + "rivola_8_ergebnisse.MDB", "x");
    RunContext ctx2;
    ctx2.ui = &ui;
    ctx2.run.params = {dir.str() + "V.mdb", "SIM=N"};
    run::initl_rivola(ctx2);
    run::init_variante(ctx2);
    EXPECT_LT(ctx2.run.ierr, 2);
    EXPECT_EQ(ctx2.run.resultsDb, dir.str() + "rivola_8_ergebnisse.MDB");
}

TEST(RunDriver, SecondRunIgnoresCommandLineAndCancelIsLevelThree) {
    test::TempDir dir("second");
    write_file(dir.str() + "V.mdb", "x");
    write_file(dir.str() + "RIVOLA_8_Ergebnisse.mdb", "x");
    test::RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = {dir.str() + "V.mdb", "SIM=N"};
    run::r_rivola(ctx, 1);
    EXPECT_EQ(ctx.run.callCount, 1);
    EXPECT_EQ(ctx.run.dbPath, dir.str() + "V.mdb");
    // the second run asks for the file; the user cancels
    ui.fileToOpen.clear();
    run::r_rivola(ctx, 1);
    EXPECT_EQ(ctx.run.callCount, 2);
    EXPECT_EQ(ctx.run.ierr, 3);
}

TEST(RunDriver, ResetGivesEmptyPlantAndAppendixLabels) {
    RunContext ctx;
    ctx.plant.resize(3);
    ctx.run.ierr = 2;
    ctx.run.compute = 'N';
    run::initl_rivola(ctx);
    EXPECT_EQ(ctx.plant.nsys, 0);
    EXPECT_EQ(ctx.plant.all.AnhangERG, "Anhang x");
    EXPECT_EQ(ctx.run.compute, 'J');
    EXPECT_EQ(ctx.run.ierr, 0);
}

TEST(ElementReset, ClearsLossesAndRemarksButKeepsBoundaryRemarks) {
    RunContext ctx;
    ctx.plant.resize(2);
    for (int i = 1; i <= 2; ++i) {
        auto& e = ctx.plant.el[i];
        e.HVK = e.HVE1 = e.HVU = 1.0f;
        e.res[1].bem[1] = e.res[2].bem[1] = "gr";
    }
    ctx.cs.bem[3] = "d";
    run::setnul(ctx, 1);
    run::setnul(ctx, 2);
    EXPECT_EQ(ctx.plant.el[1].HVK, 0.0f);
    EXPECT_EQ(ctx.plant.el[1].res[1].bem[1], "");
    EXPECT_EQ(ctx.plant.el[2].res[1].bem[1], "gr");   // boundary remark of the last element
    EXPECT_EQ(ctx.plant.el[2].res[2].bem[1], "");
    EXPECT_EQ(ctx.cs.bem[3], "");
}
