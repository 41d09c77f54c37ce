// The screen messages, menu labels and dialogs of the user interface shell,
// driven through a recording set of services. Expected texts are the system's
// own wording, typed here independently of the message table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/recording_ui.h"
#include "common/test_util.h"
#include "model/context.h"
#include "messages/cli_services.h"
#include "messages/m_realwin.h"

namespace fs = std::filesystem;
using namespace rivola;

namespace {

// Records besides a stop of the program.
struct Recorder : test::RecordingUi {
    bool stopped = false;
    void stop_program() override { stopped = true; }
};

struct Shell : ::testing::Test {
    RunContext ctx;
    Recorder rec;
    void SetUp() override { ctx.ui = &rec; }
};

}  // namespace

// Each message key gives its lines in the user's language, the caller's text
// put in where the message takes one.
TEST_F(Shell, ScreenMessagesInBothLanguagesOneLogLinePerTextLine) {
    const struct {
        int key;
        bool english;
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {1, false, "", {"Prüfen der Eingabedaten"}},
        {2, false, "", {"Energiehöhendifferenzen an Aufteilungen", "konnten nicht vollständig abgeglichen werden!"}},
        {82, true, "", {"error:  A cross section with more than 3 berms is not accepted."}},
        {10, false, "PLANT.mdb", {"R I V O L A  8.03", "Hydraulische Berechnung von Kläranlagen", "Variante: PLANT.mdb"}},
        {101, false, "HVONHE      ", {"Abbruch durch FKTHYA/HVONHE!", "Bitte an Marlow Wasserbau wenden!"}},
        {6, false, "/tmp/PLANT", {"/tmp/PLANT.ERK (abbrev.)"}},
        {27, false, "frei gewählter Text   ", {"frei gewählter Text"}},
        {80, false, "100", {"Fehler: Der Energiehöhenabgleich wurde nach   100", "Iterationsschleifen vorzeitig beendet!"}},
        {99, false, "", {"Fehleingabe in screen_DLGedit!!!"}},
        {0, false, "", {"Fehleingabe in screen_DLGedit!!!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        rec.logs.clear();
        ctx.settings.language = c.english ? "ENGLISH" : "DEUTSCH";
        ui::screen_dlgedit(ctx, c.key, 1, c.text);
        EXPECT_EQ(rec.logs, c.lines);
    }
    // a caller's text is cut to 200 characters (umlauts: characters, not bytes)
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += "ä";
    rec.logs.clear();
    ui::screen_dlgedit(ctx, 27, 1, longText);
    EXPECT_EQ(rec.logs, std::vector<std::string>{longText.substr(0, 400)});
    ctx.ui = nullptr;   // without services nothing happens and nothing breaks
    ui::screen_dlgedit(ctx, 1, 1);
}

TEST_F(Shell, MessageBoxKindFollowsTheTitleAndCancelNeedsConfirmation) {
    std::string answer;
    for (const bool yes : {true, false}) {
        rec.answer = yes;
        EXPECT_EQ(ui::rw_msgbox(ctx, "Weiter?", "Frage?", &answer), yes ? 1 : 0);
        EXPECT_EQ(answer, yes ? "Ja" : "No");
    }
    EXPECT_EQ(rec.questions, (std::vector<std::string>(2, "Frage?|Weiter?")));

    EXPECT_EQ(ui::rw_msgbox(ctx, "Runtime-Fehler siehe: runtime_error.pkl", "Hinweis"), 1);
    EXPECT_EQ(rec.boxes.back(), "Hinweis|Runtime-Fehler siehe: runtime_error.pkl");
    EXPECT_EQ(std::pair(ctx.run.ierr, rec.stopped), std::pair(0, false));

    ui::rw_msgbox(ctx, "Speicher voll", "Abbruch!!!");
    EXPECT_EQ(rec.boxes.back(), "Schwerer Fehler: Nach <OK> erfolgt Programmabbruch!|Speicher voll");
    EXPECT_TRUE(ctx.run.ierr >= 3 && rec.stopped) << ctx.run.ierr;

    // the cancel question: false only when the user confirms
    rec.answer = true;
    EXPECT_FALSE(ui::cancel_yesno(ctx));
    EXPECT_EQ(rec.questions.back(), "Abbruch?|Wollen Sie den Programmablauf wirklich abbrechen ?");
    rec.answer = false, ctx.settings.language = "ENGLISH";
    EXPECT_TRUE(ui::cancel_yesno(ctx));
    EXPECT_EQ(rec.questions.back(), "Cancel?|Are You shure to cancel program ?");
    ctx.ui = nullptr;  // nobody to confirm: the run goes on
    EXPECT_TRUE(ui::cancel_yesno(ctx));
}

TEST_F(Shell, ClosingDialogOffersOnlyACheckListWithMessages) {
    const rivola::test::TempDir tmp("finale");
    const fs::path pkl = tmp.path() / "PLANT.pkl";
    ctx.run.checkListFile = pkl.string();

    // No check list file at all, then only the marker of an empty list.
    ui::rw_dlgfinale(ctx, "Berechnungsende");
    EXPECT_EQ(std::tie(rec.finales, rec.finaleList), std::tuple(std::vector<std::string>{"Berechnungsende"}, ""));
    std::ofstream(pkl) << "#NO#no warnings/errors\n";
    ui::rw_dlgfinale(ctx, "Berechnungsende");
    EXPECT_EQ(rec.finaleList, "");

    // A list with a warning, still open for writing by the reporter.
    ctx.rep.unit = std::fopen(pkl.string().c_str(), "w");
    ASSERT_NE(ctx.rep.unit, nullptr);
    std::fputs("Prüfprotokoll: PLANT.pkl\nW10 Warnung: In den ALL-Daten\n", ctx.rep.unit);
    ui::rw_dlgfinale(ctx, "Warnungen siehe: PLANT.pkl");
    EXPECT_EQ(rec.finaleList, pkl.string());
    EXPECT_EQ(ui::read_check_list(pkl.string()),
              (std::vector<std::string>{"Prüfprotokoll: PLANT.pkl", "W10 Warnung: In den ALL-Daten"}));
    ctx.rep.close();
}

TEST(CheckList, EmptinessTitleAndPrintout) {
    EXPECT_FALSE(ui::check_list_has_messages({}));
    EXPECT_FALSE(ui::check_list_has_messages({"", "  "}));
    EXPECT_FALSE(ui::check_list_has_messages({"#NO#no warnings/errors"}));
    EXPECT_TRUE(ui::check_list_has_messages({"#NO#no warnings/errors", "W10 Warnung"}));
    EXPECT_TRUE(ui::check_list_has_messages({"S03 Fehler"}));
    EXPECT_EQ(ui::check_list_title("DEUTSCH", "PLANT.mdb   "), "PLANT.mdb: Warnungen und Fehler ...");
    EXPECT_EQ(ui::check_list_empty_text("DEUTSCH"), "Es sind keine Warnungen/Fehler vorhanden.");

    const auto p = ui::check_list_printout("PLANT: Warnungen und Fehler ...", "06.12.2025",
                                           {"Prüfprotokoll: PLANT.pkl", "W10 Warnung   "});
    const std::string rule(80, '=');
    EXPECT_EQ(p, (std::vector<std::string>{rule, "PLANT: Warnungen und Fehler ...", "06.12.2025", rule,
                                           "Prüfprotokoll: PLANT.pkl", "W10 Warnung", rule}));
}

// Without a window the lines go to the streams: the log to standard output, boxes,
// questions (answered as the program was started) and the check list to the error stream.
TEST(CliServices, LinesGoToTheirStreams) {
    const rivola::test::TempDir tmp("cli");
    const std::string pkl = (tmp.path() / "P.pkl").string();
    std::ofstream(pkl) << "Prüfprotokoll: P.pkl\nW10 Warnung\n";
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        std::ostringstream out, err;
        ui::CliServices cli(yes, out, err);
        cli.log("R I V O L A  8.03");
        cli.message("Datenbankfehler", "Die Ergebnisdatenbank\n\"RIVOLA_8_Ergebnisse.mdb\" existiert nicht.");
        EXPECT_EQ(cli.question("Frage?", "Weiter?"), yes);
        EXPECT_EQ(cli.openFile("Auswahl", "*.mdb"), "");
        cli.finale("Warnungen siehe: P.pkl", pkl);
        EXPECT_EQ(out.str(), "R I V O L A  8.03\n");
        const std::string box = "Datenbankfehler:\n  Die Ergebnisdatenbank\n  \"RIVOLA_8_Ergebnisse.mdb\" existiert nicht.\n";
        for (const std::string& part : {box, std::string(yes ? "-> yes" : "-> no"),
                                        std::string(yes ? "Warnungen siehe: P.pkl\nPrüfprotokoll: P.pkl\nW10 Warnung\n"
                                                        : "Warnungen siehe: P.pkl\n")})
            EXPECT_NE(err.str().find(part), std::string::npos) << part << " in\n" << err.str();
        // the check list follows the closing text only when the answers are yes
        EXPECT_EQ(err.str().find("W10") != std::string::npos, yes) << err.str();
    }
}
