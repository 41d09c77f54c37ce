// The screen messages, menu labels and dialogs of the user interface shell,
// driven through a recording set of services. Expected texts are the system's
// own wording, typed here independently of the message table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

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

fs::path temp_dir(const std::string& name) {
    fs::path d = fs::temp_directory_path() / ("rivola_ui_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

}  // namespace

TEST_F(Shell, FixedMessagesInBothLanguagesOneLogLinePerTextLine) {
    ui::screen_dlgedit(ctx, 1, 1);
    ui::screen_dlgedit(ctx, 34, 2);
    ui::screen_dlgedit(ctx, 2, 3);
    EXPECT_EQ(rec.logLines, (std::vector<std::string>{"Prüfen der Eingabedaten",
                                                      "Fehler: hydraulischen Verlusten",
                                                      "Energiehöhendifferenzen an Aufteilungen",
                                                      "konnten nicht vollständig abgeglichen werden!"}));
    rec.logLines.clear();
    english();
    ui::screen_dlgedit(ctx, 40, 1);
    ui::screen_dlgedit(ctx, 82, 2);
    ui::screen_dlgedit(ctx, 104, 3);
    EXPECT_EQ(rec.logLines,
              (std::vector<std::string>{
                  "error: At the last system element the 1st outlet must be named \"ENDE\"!",
                  "error:  A cross section with more than 3 berms is not accepted.",
                  "abort by GAUSS: singular matrix!", "Contact Marlow Wasserbau!"}));
}

TEST_F(Shell, ComposedMessagesInsertTheCallersTexts) {
    ui::screen_dlgedit(ctx, 10, 1, "PLANT.mdb");
    ui::screen_dlgedit(ctx, 101, 2, "HVONHE      ");
    ui::screen_dlgedit(ctx, 6, 3, "/tmp/PLANT");
    ui::screen_dlgedit(ctx, 27, 4, "frei gewählter Text   ");
    ui::screen_dlgedit(ctx, 80, 5, "100");
    EXPECT_EQ(rec.logLines,
              (std::vector<std::string>{"R I V O L A  8.03", "Hydraulische Berechnung von Kläranlagen",
                                        "Variante: PLANT.mdb", "Abbruch durch FKTHYA/HVONHE!",
                                        "Bitte an Marlow Wasserbau wenden!", "/tmp/PLANT.ERK (abbrev.)",
                                        "frei gewählter Text",
                                        "Fehler: Der Energiehöhenabgleich wurde nach   100",
                                        "Iterationsschleifen vorzeitig beendet!"}));
    rec.logLines.clear();
    english();
    ui::screen_dlgedit(ctx, 80, 1, "7");
    EXPECT_EQ(rec.logLines[0], "error: The balance of energy level has been stopped early after     7");
}

TEST_F(Shell, UnknownKeyAndLongTexts) {
    ui::screen_dlgedit(ctx, 99, 1);
    ui::screen_dlgedit(ctx, 0, 1);
    EXPECT_EQ(rec.logLines, (std::vector<std::string>{"Fehleingabe in screen_DLGedit!!!",
                                                      "Fehleingabe in screen_DLGedit!!!"}));
    rec.logLines.clear();
    // A caller's text is cut to 200 characters (here umlauts: characters, not bytes).
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += "ä";
    ui::screen_dlgedit(ctx, 27, 1, longText);
    ASSERT_EQ(rec.logLines.size(), 1u);
    EXPECT_EQ(rec.logLines[0].size(), 400u);  // 200 two-byte characters
    // Without services nothing happens and nothing breaks.
    ctx.ui = nullptr;
    ui::screen_dlgedit(ctx, 1, 1);
}

TEST(Language, TranslateKnowsThreeDialogTexts) {
    EXPECT_EQ(ui::translate_txt("DEUTSCH", "Wollen Sie die Fehler/Warnungen anschauen?"),
              "Wollen Sie die Fehler/Warnungen anschauen?");
    EXPECT_EQ(ui::translate_txt("ENGLISH", "Wollen Sie die Fehler/Warnungen anschauen?"),
              "view checklist?");
    EXPECT_EQ(ui::translate_txt("ENGLISH", "Drucken der Fehler/Warnungen"), "Print errors/warnings");
    EXPECT_EQ(ui::translate_txt("ENGLISH", "Auswahl der Variante über *.MDB-Datei"),
              "Choice of the variant via *.MDB file");
    EXPECT_EQ(ui::translate_txt("ENGLISH", "Irgendein Text"), "Irgendein Text");
    EXPECT_TRUE(ui::is_english("OUT=ENGL"));
    EXPECT_FALSE(ui::is_english("DEUTSCH"));
}

TEST(Language, MenuLabelsGiveTheirCommands) {
    EXPECT_EQ(ui::menu_command("DEUTSCH", "Ausführen"), 100);
    EXPECT_EQ(ui::menu_command("DEUTSCH", "Konfiguration"), 101);
    EXPECT_EQ(ui::menu_command("DEUTSCH", "Hilfe"), 16386);
    EXPECT_EQ(ui::menu_command("ENGLISH", "Exit"), 16385);
    // A label of the other language is no command.
    EXPECT_EQ(ui::menu_command("DEUTSCH", "Help"), 0);
    EXPECT_EQ(ui::menu_open_text("DEUTSCH", "RIVOLA  "),
              "Auswahl eines RIVOLA-Datensatzes und Programmaufruf");
}

TEST_F(Shell, MessageBoxKindFollowsTheTitle) {
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
}

TEST_F(Shell, CancelQuestionReturnsFalseOnlyWhenConfirmed) {
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
    const fs::path dir = temp_dir("finale");
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
    fs::remove_all(dir);
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

    const fs::path dir = temp_dir("cli");
    std::ofstream(dir / "P.pkl") << "Prüfprotokoll: P.pkl\nW10 Warnung\n";
    std::ostringstream out2, err2;
    ui::CliServices yes(true, out2, err2);
    EXPECT_TRUE(yes.question("Frage?", "Weiter?"));
    yes.finale("Warnungen siehe: P.pkl", (dir / "P.pkl").string());
    EXPECT_NE(err2.str().find("Warnungen siehe: P.pkl\nPrüfprotokoll: P.pkl\nW10 Warnung\n"),
              std::string::npos);
    EXPECT_TRUE(out2.str().empty());
    fs::remove_all(dir);
}
