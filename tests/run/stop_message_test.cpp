// Runs that stop with a message on the screen only: the final message names
// the check list, so the check list must exist and hold the same lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "messages/m_rivola_error.h"
#include "common/variant_db.h"
#include "messages/m_realwin.h"

using namespace rivola;
using namespace rivola::test;

namespace {

// Two flumes whose last element does not end the system.
std::string plant_without_end() {
    const std::string row = "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, Q, GEO_L, GEO_K, GEO_ZO1, "
                            "GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11) VALUES ";
    return "CREATE TABLE tbl_all " + std::string(input::kTblAllColumns) + ";\nCREATE TABLE tbl_rvldaten " +
           input::kTblRvldatenColumns +
           ";\nINSERT INTO tbl_all (Titel, Wasserstand, Q_ls) VALUES ('Ohne Ende', 100.5, 'J');\n" + row +
           "(10, 1, 'Q1', NULL, 'G1', 50, NULL, NULL, 100.2, 'T', 1.0, 1.0, NULL, NULL, NULL, NULL);\n" + row +
           "(20, 1, 'G1', 'Q1', 'G2', NULL, 10, 70, 100.2, 'T', 1.0, 1.0, 100.1, 'T', 1.0, 1.0);\n";
}

}  // namespace

// In either language: a stop shown on the screen is written into the check
// list as well; a run stopped that way ends with a final message naming the
// check list, which holds the title and the stop.
TEST(StopMessage, ScreenStopIsWrittenIntoTheCheckListInTheUsersLanguage) {
    const struct {
        const char *language, *first, *second, *title, *abort, *stop;
    } cases[] = {
        {"DEUTSCH", "Iteration in HYANEU/Regula Falsi Iterationsschritte > 1000 !",
         "Bitte an Marlow Wasserbau wenden!", "Prüfprotokoll: ", "Berechnungsabbruch siehe: ",
         "Fehler: Beim letzten Systemelement muss beim 1. Ablauf \"ENDE\" eingetragen sein!"},
        {"ENGLISH", "iteration in HYANEU/Regula Falsi iteration steps > 1000 !", "Contact Marlow Wasserbau!",
         "check-list: ", "abort see: ", "error: At the last system element the 1st outlet must be named \"ENDE\"!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        TempDir dir("stop_message");
        {
            RecordingUi ui;
            RunContext ctx;
            ctx.ui = &ui, ctx.settings.language = c.language;
            checks::fehler(ctx, "INIT", dir.str() + "plant", "Prüfprotokoll");
            ui::screen_dlgedit(ctx, 84, 0, "HYANEU");
            // the screen keeps its lines
            EXPECT_EQ(ui.logs, (std::vector<std::string>{c.first, c.second}));
            ctx.rep.close();
            EXPECT_EQ(read_file(dir.str() + "plant.pkl"),
                      "Prüfprotokoll: " + dir.str() + "plant.pkl\n" + c.first + "\n" + c.second + "\n");
        }
        const std::string db = loaded_variant(dir, "NOEND", plant_without_end());
        RecordingUi ui;
        RunContext ctx;
        ctx.ui = &ui, ctx.run.params = {db, "SIM=J"}, ctx.settings.language = c.language;
        if (std::string(c.language) == "ENGLISH") ctx.run.params.push_back("ENGLISH");
        run::r_rivola(ctx, 1);
        EXPECT_EQ(ctx.run.ierr, 2);
        const std::string checkList = dir.str() + "NOEND.pkl";
        EXPECT_EQ(ui.finales, std::vector<std::string>{c.abort + checkList});
        EXPECT_EQ(ui.finaleList, checkList);
        EXPECT_EQ(read_lines(checkList), (std::vector<std::string>{c.title + checkList, c.stop}));
    }
    // progress lines and stops outside a run write no check list
    TempDir dir("stop_message");
    RunContext ctx;
    checks::fehler(ctx, "INIT", dir.str() + "plant", "Prüfprotokoll");
    ui::screen_dlgedit(ctx, 26);
    ctx.rep.close();
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "plant.pkl"));
    RunContext bare;
    const auto cwd = std::filesystem::current_path();
    ui::screen_dlgedit(bare, 84, 0, "HEVGL");
    bare.rep.close();
    EXPECT_FALSE(std::filesystem::exists(cwd / ".pkl"));
}
