// The screen messages, menu labels and dialogs of the user interface shell,
// driven through a recording set of services. Expected texts are the system's
// own wording, typed here independently of the message table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/test_util.h"
#include "model/context.h"
#include "messages/cli_services.h"
#include "messages/m_language.h"
#include "messages/m_realwin.h"
#include "messages/services.h"

namespace fs = std::filesystem;
using namespace rivola;

namespace {

struct Recorder : ui::Services {
    std::vector<std::string> logLines, messages, questions;
    std::string finaleText, finaleList;
    int finales = 0;
    bool answer = false;
    bool stopped = false;
    void message(const std::string& title, const std::string& text) override {
        messages.push_back(title + "|" + text);
    }
    bool question(const std::string& title, const std::string& text) override {
        questions.push_back(title + "|" + text);
        return answer;
    }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string& line) override { logLines.push_back(line); }
    void finale(const std::string& text, const std::string& checkList) override {
        ++finales;
        finaleText = text;
        finaleList = checkList;
    }
    void stop_program() override { stopped = true; }
};

struct Shell : ::testing::Test {
    RunContext ctx;
    Recorder rec;
    void SetUp() override { ctx.ui = &rec; }
    void english() { ctx.settings.language = "ENGLISH"; }
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
        {34, false, "", {"Fehler: hydraulischen Verlusten"}},
        {2, false, "", {"Energiehöhendifferenzen an Aufteilungen", "konnten nicht vollständig abgeglichen werden!"}},
        {40, true, "", {"error: At the last system element the 1st outlet must be named \"ENDE\"!"}},
        {82, true, "", {"error:  A cross section with more than 3 berms is not accepted."}},
        {104, true, "", {"abort by GAUSS: singular matrix!", "Contact Marlow Wasserbau!"}},
        {10, false, "PLANT.mdb", {"R I V O L A  8.03", "Hydraulische Berechnung von Kläranlagen", "Variante: PLANT.mdb"}},
        {101, false, "HVONHE      ", {"Abbruch durch FKTHYA/HVONHE!", "Bitte an Marlow Wasserbau wenden!"}},
        {6, false, "/tmp/PLANT", {"/tmp/PLANT.ERK (abbrev.)"}},
        {27, false, "frei gewählter Text   ", {"frei gewählter Text"}},
        {80, false, "100", {"Fehler: Der Energiehöhenabgleich wurde nach   100", "Iterationsschleifen vorzeitig beendet!"}},
        {80, true, "7", {"error: The balance of energy level has been stopped early after     7"}},
        {99, false, "", {"Fehleingabe in screen_DLGedit!!!"}},
        {0, false, "", {"Fehleingabe in screen_DLGedit!!!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        rec.logLines.clear();
        ctx.settings.language = c.english ? "ENGLISH" : "DEUTSCH";
        ui::screen_dlgedit(ctx, c.key, 1, c.text);
        ASSERT_GE(rec.logLines.size(), c.lines.size());
        rec.logLines.resize(c.key == 80 && c.english ? 1 : rec.logLines.size());   // its first line only
        EXPECT_EQ(rec.logLines, c.lines);
    }
    // a caller's text is cut to 200 characters (umlauts: characters, not bytes)
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += "ä";
    rec.logLines.clear();
    ui::screen_dlgedit(ctx, 27, 1, longText);
    ASSERT_EQ(rec.logLines.size(), 1u);
    EXPECT_EQ(rec.logLines[0].size(), 400u);
    ctx.ui = nullptr;   // without services nothing happens and nothing breaks
    ui::screen_dlgedit(ctx, 1, 1);
}

TEST_F(Shell, MessageBoxKindFollowsTheTitleAndCancelNeedsConfirmation) {
    std::string answer;
    rec.answer = true;
    EXPECT_EQ(ui::rw_msgbox(ctx, "Weiter?", "Frage?", &answer), 1);
    EXPECT_EQ(answer, "Ja");
    rec.answer = false;
    EXPECT_EQ(ui::rw_msgbox(ctx, "Weiter?", "Frage?", &answer), 0);
    EXPECT_EQ(answer, "No");
    EXPECT_EQ(rec.questions.size(), 2u);

    EXPECT_EQ(ui::rw_msgbox(ctx, "Runtime-Fehler siehe: runtime_error.pkl", "Hinweis"), 1);
    EXPECT_EQ(rec.messages.back(), "Hinweis|Runtime-Fehler siehe: runtime_error.pkl");
    EXPECT_EQ(ctx.run.ierr, 0);
    EXPECT_FALSE(rec.stopped);

    ui::rw_msgbox(ctx, "Speicher voll", "Abbruch!!!");
    EXPECT_EQ(rec.messages.back(),
              "Schwerer Fehler: Nach <OK> erfolgt Programmabbruch!|Speicher voll");
    EXPECT_GE(ctx.run.ierr, 3);
    EXPECT_TRUE(rec.stopped);

    // the cancel question: false only when the user confirms
    rec.answer = true;
    EXPECT_FALSE(ui::cancel_yesno(ctx));
    EXPECT_EQ(rec.questions.back(), "Abbruch?|Wollen Sie den Programmablauf wirklich abbrechen ?");
    rec.answer = false;
    english();
    EXPECT_TRUE(ui::cancel_yesno(ctx));
    EXPECT_EQ(rec.questions.back(), "Cancel?|Are You shure to cancel program ?");
    ctx.ui = nullptr;  // nobody to confirm: the run goes on
    EXPECT_TRUE(ui::cancel_yesno(ctx));
}

TEST_F(Shell, ClosingDialogOffersOnlyACheckListWithMessages) {
    const rivola::test::TempDir tmp("finale");
    const fs::path dir = tmp.path();
    const fs::path pkl = dir / "PLANT.pkl";
    ctx.run.checkListFile = pkl.string();

    // No check list file at all.
    ui::rw_dlgfinale(ctx, "Berechnungsende");
    EXPECT_EQ(rec.finales, 1);
    EXPECT_EQ(rec.finaleText, "Berechnungsende");
    EXPECT_EQ(rec.finaleList, "");

    // Only the marker of an empty list.
    std::ofstream(pkl) << "#NO#no warnings/errors\n";
    ui::rw_dlgfinale(ctx, "Berechnungsende");
    EXPECT_EQ(rec.finaleList, "");

    // A list with a warning, still open for writing by the reporter.
    ctx.rep.unit = std::fopen(pkl.string().c_str(), "w");
    ASSERT_NE(ctx.rep.unit, nullptr);
    std::fputs("Prüfprotokoll: PLANT.pkl\nW10 Warnung: In den ALL-Daten\n", ctx.rep.unit);
    ui::rw_dlgfinale(ctx, "Warnungen siehe: PLANT.pkl");
    EXPECT_EQ(rec.finaleList, pkl.string());
    const auto lines = ui::read_check_list(pkl.string());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "W10 Warnung: In den ALL-Daten");
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
    const std::string rule = "================================================================================";
    ASSERT_EQ(rule.size(), 80u);
    EXPECT_EQ(p, (std::vector<std::string>{rule, "PLANT: Warnungen und Fehler ...", "06.12.2025", rule,
                                           "Prüfprotokoll: PLANT.pkl", "W10 Warnung", rule}));
}

TEST(CliServices, LinesGoToTheirStreams) {
    std::ostringstream out, err;
    ui::CliServices no(false, out, err);
    no.log("R I V O L A  8.03");
    no.message("Datenbankfehler", "Die Ergebnisdatenbank\n\"RIVOLA_8_Ergebnisse.mdb\" existiert nicht.");
    EXPECT_FALSE(no.question("Frage?", "Weiter?"));
    EXPECT_EQ(no.openFile("Auswahl", "*.mdb"), "");
    EXPECT_EQ(out.str(), "R I V O L A  8.03\n");
    EXPECT_NE(err.str().find("Datenbankfehler:\n  Die Ergebnisdatenbank\n  \"RIVOLA_8_Ergebnisse.mdb\" existiert nicht.\n"),
              std::string::npos);
    EXPECT_NE(err.str().find("-> no"), std::string::npos);

    const rivola::test::TempDir tmp("cli");
    const fs::path dir = tmp.path();
    std::ofstream(dir / "P.pkl") << "Prüfprotokoll: P.pkl\nW10 Warnung\n";
    std::ostringstream out2, err2;
    ui::CliServices yes(true, out2, err2);
    EXPECT_TRUE(yes.question("Frage?", "Weiter?"));
    yes.finale("Warnungen siehe: P.pkl", (dir / "P.pkl").string());
    EXPECT_NE(err2.str().find("Warnungen siehe: P.pkl\nPrüfprotokoll: P.pkl\nW10 Warnung\n"),
              std::string::npos);
    EXPECT_TRUE(out2.str().empty());
}
