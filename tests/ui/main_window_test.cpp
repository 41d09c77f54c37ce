// The desktop program driven through its real main window: start settings,
// menu commands, a run started from the command line, the dialogs a run
// shows, the check list viewer with its printout, help and listings.
#include <gtest/gtest.h>


#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <thread>
#include <unistd.h>

#include "check_list_viewer.h"
#include "database/db_tools.h"
#include "main_window.h"
#include "qt_services.h"
#include "run/r_rivola.h"
#include "shell.h"
#include "text_windows.h"
#include "messages/m_realwin.h"

namespace fs = std::filesystem;
using namespace rivola;
using ui::DialogHook;
using ui::MainWindow;

namespace {

// Turns the event loop until cond holds or the time is up.
bool wait_for(const std::function<bool()>& cond, int ms = 30000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

bool has_line(const QStringList& lines, const QString& part) {
    for (const auto& l : lines)
        if (l.contains(part)) return true;
    return false;
}

const DialogHook::Shown* find_shown(const DialogHook& hook, const QString& kind) {
    for (const auto& s : hook.shown)
        if (s.kind == kind) return &s;
    return nullptr;
}

QAction* menu_action(MainWindow& w, const QString& text) {
    for (QAction* a : w.menuBar()->actions()) {
        if (a->text() == text) return a;
        if (a->menu())
            for (QAction* b : a->menu()->actions())
                if (b->text() == text) return b;
    }
    return nullptr;
}

struct Window : ::testing::Test {
    fs::path dir;
    DialogHook hook;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              (std::string("rivolaw_") + info->name() + "_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::unique_ptr<MainWindow> make(const std::vector<std::string>& args) {
        auto w = std::make_unique<MainWindow>(
            ui::shell_settings(std::string(RIVOLA_BINARY_DIR) + "/rivolaw", args, "06.12.2025"));
        w->setDialogHook(&hook);
        w->show();
        return w;
    }
    // Starts the command line's run and waits for its end.
    void run_to_end(MainWindow& w) {
        bool finished = false;
        QObject::connect(&w, &MainWindow::runFinished, [&] { finished = true; });
        w.autoStart();
        ASSERT_TRUE(wait_for([&] { return finished; })) << "the run did not end";
    }
    // The small example plant, with `extra` SQL, as a variant beside a results database.
    std::string example(const std::string& extra = "") {
        RunContext tools;
        std::string status, results;
        input::db_new_results(tools, dir.string(), results, status);
        EXPECT_EQ(status, "ok");
        const std::string script = (dir / "example.sql").string();
        std::ifstream source(std::string(RIVOLA_SOURCE_DIR) + "/examples/kleine_anlage.sql");
        std::ofstream(script) << source.rdbuf() << "\n" << extra;
        const std::string db = (dir / "kleine_anlage.mdb").string();
        input::db_load_script(tools, db, script, status);
        EXPECT_EQ(status, "ok");
        return db;
    }
    std::string variant(const std::string& name = "PLANT.mdb") {
        const fs::path p = dir / name;
        std::ofstream(p) << "not yet a database";
        return p.string();
    }
};

}  // namespace

TEST(ShellStart, SettingsFromTheCommandLine) {
    auto s = ui::shell_settings("/opt/rivola/bin/rivolaw", {}, "06.12.2025");
    EXPECT_EQ(s.startDate, " 06.12.2025");
    EXPECT_EQ(s.helpPath, "/opt/rivola/bin/RIVOLAW.html");
    EXPECT_EQ(s.programName, "RIVOLA  ");
    EXPECT_EQ(ui::shell_settings("rivolaw", {"x.mdb"}, "01.01.2026").helpPath, "RIVOLAW.html");

    // Any parameter containing "english" selects English; --db-wait is no parameter
    // of the run, and a bad value keeps 60 s and is noted.
    using Args = std::vector<std::string>;
    const struct {
        Args args;
        const char* language;
        int autoRun;
        Args params;
        int dbWait;
        bool bad;
    } cases[] = {
        {{}, "DEUTSCH", 0, {}, 60, false},
        {{"/data/PLANT.mdb", "EnGlIsH"}, "ENGLISH", 1, {"/data/PLANT.mdb", "EnGlIsH"}, 60, false},
        {{"english"}, "ENGLISH", 1, {"english"}, 60, false},
        {{"/data/PLANT.mdb", "SIM=N"}, "DEUTSCH", 1, {"/data/PLANT.mdb", "SIM=N"}, 60, false},
        {{"--db-wait=5"}, "DEUTSCH", 0, {}, 5, false},
        {{"--db-wait=0", "P.mdb"}, "DEUTSCH", 1, {"P.mdb"}, 0, false},
        {{"--db-wait=x", "P.mdb"}, "DEUTSCH", 1, {"P.mdb"}, 60, true},
        {{"--db-wait=-1"}, "DEUTSCH", 0, {}, 60, true},
        {{"ENGLISH", "--db-wait=86401"}, "ENGLISH", 1, {"ENGLISH"}, 60, true},
        {{"--db-wait="}, "DEUTSCH", 0, {}, 60, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        s = ui::shell_settings("rivolaw", c.args, "01.01.2026");
        EXPECT_EQ(s.language, c.language);
        EXPECT_EQ(s.autoRun, c.autoRun);
        EXPECT_EQ(s.params, c.params);
        EXPECT_EQ(s.dbWait, c.dbWait);
        EXPECT_EQ(!s.badOption.empty(), c.bad) << s.badOption;
    }
}

// The menus and the help page in the user's language.
TEST_F(Window, MenusAndHelpInTheUsersLanguage) {
    const struct {
        std::vector<std::string> args;
        QStringList top;
        const char* help;
    } cases[] = {
        {{}, {"Ausführen", "Konfiguration", "Info", "Hilfe", "Beenden"}, "RIVOLA"},
        {{"english"}, {"File", "Configuration", "Info", "Help", "Exit"}, "What RIVOLA computes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.help);
        auto w = make(c.args);
        QStringList top;
        for (QAction* a : w->menuBar()->actions()) top << a->text();
        EXPECT_EQ(top, c.top);
        menu_action(*w, c.top[3])->trigger();
        ASSERT_NE(w->helpWindow(), nullptr);
        EXPECT_TRUE(w->helpWindow()->isVisible());
        const QString home = w->helpWindow()->browser()->toPlainText();
        EXPECT_TRUE(home.contains(c.help)) << home.toStdString();
        EXPECT_FALSE(home.contains("nicht gefunden")) << "help page missing next to the program";
        w->helpWindow()->close();
    }
}

// Status bar, the commands without a run, the page of message codes and the exit.
TEST_F(Window, CommandsOfTheIdleWindow) {
    auto w = make({});
    QStringList labels;
    for (auto* l : w->statusBar()->findChildren<QLabel*>()) labels << l->text();
    const QString status = labels.join('|');
    EXPECT_TRUE(status.contains("RIVOLA")) << status.toStdString();
    EXPECT_TRUE(status.contains(" 06.12.2025")) << status.toStdString();
    // Without a command line nothing runs.
    w->autoStart();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->running());
    hook.shown.clear();
    // Configuration is no known command, nor is any other unknown number.
    EXPECT_EQ(w->rw_control(101), 1);
    menu_action(*w, "Konfiguration")->trigger();
    EXPECT_EQ(w->rw_control(4711), 1);
    ASSERT_EQ(hook.shown.size(), 3u);
    for (const auto& s : hook.shown) {
        EXPECT_EQ(s.kind, "message");
        EXPECT_EQ(s.title, "Problem 0");
        EXPECT_EQ(s.text, "Dieses Kommando ist nicht bekannt");
    }
    menu_action(*w, "Info")->trigger();
    const auto* s = find_shown(hook, "info");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->title, "Informationen zu 8.03  ...");
    EXPECT_TRUE(s->text.contains("R I V O L A")) << s->text.toStdString();
    // The page of message codes is made from the program's own catalogue.
    menu_action(*w, "Hilfe")->trigger();
    ASSERT_NE(w->helpWindow(), nullptr);
    QTextBrowser* b = w->helpWindow()->browser();
    b->setSource(QUrl::fromLocalFile(QString(RIVOLA_BINARY_DIR) + "/" + ui::kCodesPage));
    const QString codes = b->toPlainText();
    EXPECT_TRUE(codes.contains("G11"));
    EXPECT_TRUE(codes.contains("der Stricklerwert in (20, 100) liegen!"));
    EXPECT_TRUE(codes.contains("W60"));
    w->helpWindow()->close();
    // Exit is left to the window system; the menu's exit closes the window.
    EXPECT_EQ(w->rw_control(16385), 0);
    EXPECT_TRUE(w->isVisible());
    menu_action(*w, "Beenden")->trigger();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(Window, WaitingTimeForTheResultsDatabase) {
    auto w = make({"--db-wait=12x"});
    EXPECT_EQ(w->context().run.dbWait, 60);
    // The bad option is told when the window starts; nothing runs without a variant.
    w->autoStart();
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_TRUE(hook.shown[0].text.contains("\"12x\"")) << hook.shown[0].text.toStdString();
    EXPECT_FALSE(w->running());

    QAction* a = menu_action(*w, "Wartezeit der Ergebnisdatenbank …");
    ASSERT_NE(a, nullptr);
    // A cancelled dialog keeps the value; an answer is taken within 0..86400.
    const std::pair<int, int> answers[] = {{7, 7}, {-1, 7}, {90000, 86400}};
    for (const auto& [answer, expected] : answers) {
        hook.number = answer;
        a->trigger();
        EXPECT_EQ(hook.shown.back().kind, "number");
        EXPECT_EQ(w->settings().dbWait, expected) << answer;
        EXPECT_EQ(w->context().run.dbWait, expected) << answer;
    }
    EXPECT_TRUE(hook.shown.back().text.contains("gesperrte Ergebnisdatenbank"));
}

TEST_F(Window, AutoRunWithoutResultsDatabase) {
    const std::string db = variant();
    const struct {
        std::vector<std::string> args;
        const char *title, *missing, *finale;
    } cases[] = {
        {{db}, "Datenbankfehler", "existiert nicht.", "Berechnungsabbruch"},
        {{db, "english"}, "database error", "does not exist.", "abort"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        hook.shown.clear();
        auto w = make(c.args);
        run_to_end(*w);
        const QStringList log = w->screenLog();
        // The run header: the program name spaced out with the version.
        ASSERT_FALSE(log.isEmpty());
        EXPECT_TRUE(log.front().startsWith("R I V O L A")) << log.front().toStdString();
        EXPECT_TRUE(log.front().contains("8.03"));
        // The missing results database is told in a message box, then the final message.
        const auto* m = find_shown(hook, "message");
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->title, c.title);
        EXPECT_TRUE(m->text.contains(c.missing)) << m->text.toStdString();
        const auto* f = find_shown(hook, "finale");
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(f->text.startsWith(c.finale)) << f->text.toStdString();
        EXPECT_EQ(find_shown(hook, "question"), nullptr);  // no check list to offer
        EXPECT_GE(w->lastErrorLevel(), 2);
        EXPECT_FALSE(w->running());
        if (c.args.size() == 1) {
            EXPECT_TRUE(has_line(log, "Variante: PLANT.mdb")) << log.join('\n').toStdString();
            EXPECT_TRUE(m->text.contains("\"RIVOLA_8_Ergebnisse.mdb\""));
        }
    }
}

TEST_F(Window, AutoRunOfTheExamplePlant) {
    auto w = make({example()});
    run_to_end(*w);
    const QStringList log = w->screenLog();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.front().startsWith("R I V O L A"));
    EXPECT_TRUE(has_line(log, "Variante: kleine_anlage.mdb")) << log.join('\n').toStdString();
    EXPECT_EQ(find_shown(hook, "message"), nullptr) << "no database failure expected";
    const auto* f = find_shown(hook, "finale");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->text.contains("kleine_anlage.pkl")) << f->text.toStdString();
    EXPECT_LT(w->lastErrorLevel(), 2);
    // Where the program computes the plant, the screen log names its result listing.
    // A computed plant is drawn: the drawing tab is shown with the run's profile.
    if (!has_line(log, "not available in this build")) {
        EXPECT_TRUE(has_line(log, "kleine_anlage.ERG")) << log.join('\n').toStdString();
        EXPECT_FALSE(w->profileView()->empty());
        EXPECT_EQ(w->tabs()->currentIndex(), 1);
        EXPECT_TRUE(fs::exists(dir / "kleine_anlage_profile.svg"));
    }
}

TEST_F(Window, FlowCasesInTheProfileAndTheListings) {
    auto w = make({example("CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung text, "
                           "Faktor double, Wasserstand double);\n"
                           "INSERT INTO tbl_lastfaelle VALUES (1, 'MIN', NULL, 0.5, NULL);\n"
                           "INSERT INTO tbl_lastfaelle VALUES (2, 'DESIGN', NULL, 1.0, NULL);\n"
                           "INSERT INTO tbl_lastfaelle VALUES (3, 'MAX', NULL, 1.5, NULL);\n")});
    run_to_end(*w);
    ASSERT_LT(w->lastErrorLevel(), 2) << w->screenLog().join('\n').toStdString();
    // the cases to choose from, the design case chosen
    QComboBox* choice = w->caseChoice();
    ASSERT_TRUE(choice->isVisibleTo(w.get()));
    ASSERT_EQ(choice->count(), 3);
    EXPECT_EQ(choice->currentText(), "DESIGN");
    // the profile shows the water level of every case
    int caseLines = 0;
    QStringList legend;
    for (const auto& sh : w->profileView()->drawing().shapes) {
        caseLines += sh.role == "wsp-case";
        if (sh.role == "legend-text") legend << QString::fromStdString(sh.text);
    }
    EXPECT_GT(caseLines, 0);
    EXPECT_TRUE(legend.contains("Wasserspiegel MIN")) << legend.join('|').toStdString();
    EXPECT_TRUE(legend.contains("Wasserspiegel MAX"));
    EXPECT_TRUE(legend.contains("Energielinie DESIGN"));
    // the listings of the case chosen
    choice->setCurrentIndex(2);
    w->dispatch(ui::kCmdListings);
    ASSERT_NE(w->listingsViewer(), nullptr);
    QStringList tabs;
    for (int t = 0; t < w->listingsViewer()->tabs()->count(); ++t) tabs << w->listingsViewer()->tabs()->tabText(t);
    EXPECT_TRUE(tabs.contains("kleine_anlage_MAX.ERG")) << tabs.join('|').toStdString();
    EXPECT_FALSE(tabs.contains("kleine_anlage_DESIGN.ERG"));
}

TEST_F(Window, RunFromTheMenuWithCancelledFileDialog) {
    auto w = make({});
    bool finished = false;
    QObject::connect(w.get(), &MainWindow::runFinished, [&] { finished = true; });
    hook.fileToOpen.clear();
    menu_action(*w, "Auswahl eines RIVOLA-Datensatzes und Programmaufruf")->trigger();
    ASSERT_TRUE(wait_for([&] { return finished; }));
    const auto* f = find_shown(hook, "file");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->text.contains("*.mdb")) << f->text.toStdString();
    EXPECT_TRUE(f->text.contains("*.MDB"));
    EXPECT_EQ(w->lastErrorLevel(), 3);
    const auto* fin = find_shown(hook, "finale");
    ASSERT_NE(fin, nullptr);
    EXPECT_TRUE(fin->text.startsWith("Berechnungsabbruch"));
}

// The dialogs of a run, called on a worker thread as the run calls them.
struct RunDialogs : Window {
    RunContext ctx;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<ui::QtServices> svc;

    void SetUp() override {
        Window::SetUp();
        w = make({});
        svc = std::make_unique<ui::QtServices>(w.get(), &ctx);
        ctx.ui = svc.get();
    }
    // Runs f on a worker thread while the window's event loop turns.
    void on_worker(const std::function<void()>& f) {
        std::atomic<bool> done{false};
        std::thread t([&] {
            f();
            done = true;
        });
        const bool ok = wait_for([&] { return done.load(); });
        t.join();
        ASSERT_TRUE(ok);
        QCoreApplication::processEvents();
    }
    std::string check_list() {
        const fs::path pkl = dir / "PLANT.pkl";
        std::ofstream(pkl) << "Prüfprotokoll: " << (dir / "PLANT").string() << ".pkl\n"
                           << "W10 Warnung: In den ALL-Daten ist die Minimal- und\n"
                           << "             Maximalgeschwindigkeit falsch angegeben!\n"
                           << "W27 Warnung: Bei den GEO-Daten ist beim Gerinne : G_ZULAUF\n"
                           << "             das Sohlgefälle negativ!\n";
        ctx.run.checkListFile = pkl.string();
        ctx.run.dbName = "PLANT";
        ctx.run.dbExt = ".mdb";
        ctx.run.runDate = "06.12.2025";
        return pkl.string();
    }
};

TEST_F(RunDialogs, LogLinesArriveInOrderBeforeADialogAndPassesShowAsProgress) {
    std::vector<std::string> asked;
    ctx.run.maxPasses = 100;
    on_worker([&] {
        for (int i = 1; i <= 500; ++i) ui::screen_dlgedit(ctx, 27, i, "Zeile " + std::to_string(i));
        std::string answer;
        ui::rw_msgbox(ctx, "Weiter?", "Frage?", &answer);
        asked.push_back(answer);
        for (int pass = 1; pass <= 7; ++pass) ctx.ui->progress(pass);
    });
    EXPECT_EQ(w->progressText(), "Durchlauf 7");
    const QStringList log = w->screenLog();
    ASSERT_EQ(log.size(), 500);
    EXPECT_EQ(log.front(), "Zeile 1");
    EXPECT_EQ(log.back(), "Zeile 500");
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].kind, "question");
    EXPECT_EQ(asked, (std::vector<std::string>{"No"}));
}

TEST_F(RunDialogs, CancelOnlyAfterRequestAndConfirmation) {
    hook.answer = [](const QString& title, const QString&) { return title == "Abbruch?"; };
    bool first = true, second = false;
    on_worker([&] { first = ctx.ui->cancelled(); });
    EXPECT_FALSE(first);
    EXPECT_TRUE(hook.shown.empty());  // nobody asked to cancel: no question
    w->requestCancel();
    on_worker([&] { second = ctx.ui->cancelled(); });
    EXPECT_TRUE(second);
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].text, "Wollen Sie den Programmablauf wirklich abbrechen ?");
}

TEST_F(RunDialogs, FatalMessageEndsTheProgram) {
    on_worker([&] { ui::rw_msgbox(ctx, "Tabelle voll", "Abbruch!!!"); });
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].title, "Schwerer Fehler: Nach <OK> erfolgt Programmabbruch!");
    EXPECT_TRUE(w->stopRequested());
    EXPECT_GE(ctx.run.ierr, 3);
}

TEST_F(RunDialogs, ClosingDialogAfterWarningsOffersTheCheckList) {
    const std::string pkl = check_list();
    ctx.run.ierr = 1;
    // Answered no: the question, but no viewer.
    on_worker([&] { ui::rw_dlgfinale(ctx, run::final_message(ctx)); });
    ASSERT_EQ(hook.shown.size(), 2u);
    EXPECT_EQ(hook.shown[1].kind, "question");
    EXPECT_EQ(w->checkListViewer(), nullptr);
    hook.shown.clear();
    hook.answer = [](const QString&, const QString& text) {
        return text == "Wollen Sie die Fehler/Warnungen anschauen?";
    };
    on_worker([&] { ui::rw_dlgfinale(ctx, run::final_message(ctx)); });

    ASSERT_EQ(hook.shown.size(), 3u);
    EXPECT_EQ(hook.shown[0].kind, "finale");
    EXPECT_EQ(hook.shown[0].text, QString::fromStdString("Warnungen siehe: " + pkl));
    EXPECT_EQ(hook.shown[1].kind, "question");
    EXPECT_EQ(hook.shown[1].text, "Wollen Sie die Fehler/Warnungen anschauen?");
    EXPECT_EQ(hook.shown[2].kind, "checklist");

    ui::CheckListViewer* v = w->checkListViewer();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->windowTitle(), "PLANT.mdb: Warnungen und Fehler ...");
    auto* list = v->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 5);
    EXPECT_EQ(list->item(1)->text(), "W10 Warnung: In den ALL-Daten ist die Minimal- und");
    EXPECT_EQ(list->item(4)->text(), "             das Sohlgefälle negativ!");
    EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());

    // Printing, unattended: the print button writes the printout as PDF.
    const QString pdf = QString(RIVOLA_BINARY_DIR) + "/rivolaw_check_list.pdf";
    QFile::remove(pdf);
    v->setUnattendedPdf(pdf);
    v->printButton()->click();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 1000);
    v->close();
}

TEST_F(Window, ListingsOfTheLastRun) {
    const std::string db = variant();
    std::ofstream(dir / "RIVOLA_8_Ergebnisse.mdb") << "results";
    auto w = make({db});
    run_to_end(*w);
    // Listings written for this variant (here placed by the test) open in tabs.
    std::ofstream(dir / "PLANT.ERG") << "Ergebnisliste\n  G_ZULAUF   1.234\n";
    std::ofstream(dir / "PLANT.QVE") << "Durchflussverteilung\n";
    w->dispatch(ui::kCmdListings);
    ASSERT_NE(w->listingsViewer(), nullptr);
    QTabWidget* tabs = w->listingsViewer()->tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "PLANT.ERG");
    EXPECT_EQ(tabs->tabText(1), "PLANT.QVE");
}
