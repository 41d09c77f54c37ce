// The desktop program driven through its real main window: start settings,
// menu commands, a run started from the command line, the dialogs a run
// shows, the check list viewer with its printout, help and listings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "check_list_viewer.h"
#include "window_fixture.h"
#include "qt_services.h"
#include "run/r_rivola.h"
#include "text_windows.h"
#include "messages/m_language.h"
#include "messages/m_realwin.h"

namespace fs = std::filesystem;
using namespace rivola;
using ui::DialogHook;
using ui::MainWindow;
using namespace rivola::uitest;

namespace {

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

// The text of the first dialog of that kind, "(none shown)" when there was none.
QString shown_text(const DialogHook& hook, const QString& kind) {
    const auto* s = find_shown(hook, kind);
    return s ? s->text : QStringLiteral("(none shown)");
}

// The kinds of the dialogs shown, in order.
QStringList kinds(const DialogHook& hook) {
    QStringList k;
    for (const auto& s : hook.shown) k << s.kind;
    return k;
}

QStringList tab_texts(QTabWidget* tabs) {
    QStringList texts;
    for (int t = 0; t < tabs->count(); ++t) texts << tabs->tabText(t);
    return texts;
}

// The exit status of a program run to its end (-1: still running after two
// minutes, killed; -2: crashed); its standard error into err.
int exit_status(const QString& program, const QStringList& args, QString* err = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (err) *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

}  // namespace

TEST(ShellStart, SettingsFromTheCommandLine) {
    auto s = ui::shell_settings("/opt/rivola/bin/rivolaw", {}, "06.12.2025");
    EXPECT_EQ(s.helpPath, "/opt/rivola/bin/RIVOLAW.html");
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
        bool batch = false, drawing = true;
    } cases[] = {
        {{}, "DEUTSCH", 0, {}, 60, false},
        {{"/data/PLANT.mdb", "EnGlIsH"}, "ENGLISH", 1, {"/data/PLANT.mdb", "EnGlIsH"}, 60, false},
        {{"/data/PLANT.mdb", "SIM=N"}, "DEUTSCH", 1, {"/data/PLANT.mdb", "SIM=N"}, 60, false},
        {{"--db-wait=5"}, "DEUTSCH", 0, {}, 5, false},
        {{"--db-wait=0", "P.mdb"}, "DEUTSCH", 1, {"P.mdb"}, 0, false},
        {{"--db-wait=x", "P.mdb"}, "DEUTSCH", 1, {"P.mdb"}, 60, true},
        {{"--db-wait=-1"}, "DEUTSCH", 0, {}, 60, true},
        {{"ENGLISH", "--db-wait=86401"}, "ENGLISH", 1, {"ENGLISH"}, 60, true},
        {{"--db-wait="}, "DEUTSCH", 0, {}, 60, true},
        {{"--batch", "P.mdb", "ENGLISH"}, "ENGLISH", 1, {"P.mdb", "ENGLISH"}, 60, false, true},
        {{"P.mdb", "--no-drawing"}, "DEUTSCH", 1, {"P.mdb"}, 60, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        s = ui::shell_settings("rivolaw", c.args, "01.01.2026");
        EXPECT_EQ(std::tie(s.language, s.autoRun, s.params, s.dbWait, s.batch, s.drawing),
                  std::tie(c.language, c.autoRun, c.params, c.dbWait, c.batch, c.drawing));
        EXPECT_EQ(!s.badOption.empty(), c.bad) << s.badOption;
    }
}

// The desktop program as a batch (here without drawing): it computes the variant, answers no dialog
// itself (they go to standard error, as on the command line), closes after the
// final message and ends with the exit status of the command-line program;
// its listings are those of the command-line run.
TEST_F(Window, BatchRunsTheVariantClosesAndEndsLikeTheCommandLine) {
    for (const fs::path& d : {dir, dir / "cli"}) ASSERT_NO_FATAL_FAILURE(example_variant(d, "anlage.mdb"));
    const QString bin = QStringLiteral(RIVOLA_BINARY_DIR);
    QString err;
    const int gui = exit_status(
        bin + "/rivolaw", {"--batch", "--no-drawing", QString::fromStdString((dir / "anlage.mdb").string())}, &err);
    const int cli =
        exit_status(bin + "/rivola", {"--no-drawing", QString::fromStdString((dir / "cli" / "anlage.mdb").string())});
    EXPECT_GE(gui, 0) << "the batch did not end by itself";
    EXPECT_EQ(gui, cli);
    EXPECT_TRUE(err.contains("Berechnungsende")) << err.toStdString();
    auto listing = [](const fs::path& f) {
        std::ifstream in(f);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_FALSE(listing(dir / "anlage.ERG").empty());
    EXPECT_EQ(listing(dir / "anlage.ERG"), listing(dir / "cli" / "anlage.ERG"));
    // --no-drawing reached the run, and as an option, not as a variant
    for (const char* f : {"anlage_profile.svg", "--no-drawing.pkl"}) EXPECT_FALSE(fs::exists(dir / f)) << f;
    // a batch without a variant is refused, not left waiting for a user
    EXPECT_EQ(exit_status(bin + "/rivolaw", {"--batch"}, &err), 3);
    EXPECT_TRUE(err.contains("--batch")) << err.toStdString();
}

// In the user's language: the menus, the help page, and a run started from the
// command line whose results database is missing.
TEST_F(Window, MenusHelpAndARunWithoutResultsDatabaseInTheUsersLanguage) {
    const std::string db = (dir / "PLANT.mdb").string();
    std::ofstream(db) << "not yet a database";
    const struct {
        std::vector<std::string> args;
        QStringList top;
        const char *help, *title, *missing, *finale;
    } cases[] = {
        {{db}, {"Ausführen", "Konfiguration", "Info", "Hilfe", "Beenden", "&Sprache"}, "RIVOLA", "Datenbankfehler",
         "existiert nicht.", "Berechnungsabbruch"},
        {{db, "english"}, {"File", "Configuration", "Info", "Help", "Exit", "&Language"}, "What RIVOLA computes",
         "database error", "does not exist.", "abort"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        hook.shown.clear();
        auto w = make(c.args);
        QStringList top;
        for (QAction* a : w->menuBar()->actions()) top << a->text();
        EXPECT_EQ(top, c.top);
        menu_action(*w, c.top[3])->trigger();
        ASSERT_TRUE(w->helpWindow() && w->helpWindow()->isVisible());
        const QString home = w->helpWindow()->browser()->toPlainText();
        EXPECT_TRUE(home.contains(c.help)) << home.toStdString();
        EXPECT_FALSE(home.contains("nicht gefunden")) << "help page missing next to the program";
        w->helpWindow()->close();

        run_to_end(*w);
        const QStringList log = w->screenLog();
        // The run header: the program name spaced out with the version.
        ASSERT_TRUE(!log.isEmpty() && log.front().startsWith("R I V O L A  8.03")) << log.join('\n').toStdString();
        // The missing results database is told in a message box, then the final message.
        const auto* m = find_shown(hook, "message");
        ASSERT_EQ(m ? m->title : QString("(no message)"), c.title);
        EXPECT_TRUE(m->text.contains(c.missing)) << m->text.toStdString();
        EXPECT_TRUE(shown_text(hook, "finale").startsWith(c.finale)) << shown_text(hook, "finale").toStdString();
        EXPECT_EQ(find_shown(hook, "question"), nullptr);  // no check list to offer
        EXPECT_GE(w->lastErrorLevel(), 2);
        if (c.args.size() == 1) {
            EXPECT_TRUE(has_line(log, "Variante: PLANT.mdb")) << log.join('\n').toStdString();
            EXPECT_TRUE(m->text.contains("\"RIVOLA_8_Ergebnisse.mdb\""));
            // Listings found beside the variant (here placed by the test) open in tabs.
            std::ofstream(dir / "PLANT.ERG") << "Ergebnisliste\n  G_ZULAUF   1.234\n";
            std::ofstream(dir / "PLANT.QVE") << "Durchflussverteilung\n";
            w->dispatch(ui::kCmdListings);
            ASSERT_NE(w->listingsViewer(), nullptr);
            EXPECT_EQ(tab_texts(w->listingsViewer()->tabs()), (QStringList{"PLANT.ERG", "PLANT.QVE"}));
        }
    }
}

// One idle window in turn: the status bar, a bad option told at the start, the
// commands without a run, the page of message codes, the waiting time for a locked
// results database, a run whose file dialog is cancelled, and the exit.
TEST_F(Window, CommandsOfTheIdleWindow) {
    auto w = make({"--db-wait=12x"});
    QStringList labels;
    for (auto* l : w->statusBar()->findChildren<QLabel*>()) labels << l->text();
    for (const char* part : {"RIVOLA", " 06.12.2025"})
        EXPECT_TRUE(labels.join('|').contains(part)) << labels.join('|').toStdString();
    // The bad option is told at the start; without a variant nothing runs.
    w->autoStart();
    QCoreApplication::processEvents();
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_TRUE(hook.shown[0].text.contains("\"12x\"")) << hook.shown[0].text.toStdString();
    EXPECT_FALSE(w->running());
    hook.shown.clear();
    // An unknown command number is told as such.
    EXPECT_EQ(w->rw_control(4711), 1);
    ASSERT_EQ(hook.shown.size(), 1u);
    EXPECT_EQ(hook.shown[0].title + ": " + hook.shown[0].text, "Problem 0: Dieses Kommando ist nicht bekannt");
    hook.shown.clear();
    // "Konfiguration" edits RVL_iteration.ini of the working folder: cancelled
    // nothing is written, confirmed the run reads what was entered.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.string())));
    EXPECT_EQ(w->rw_control(101), 1);
    EXPECT_FALSE(fs::exists(dir / "RVL_iteration.ini"));
    hook.fill = [](QDialog* d) {
        d->findChild<QSpinBox*>("maxPasses")->setValue(750);
        d->findChild<QDoubleSpinBox*>("tolerance")->setValue(0.5);
        d->findChild<QCheckBox*>("iterLog")->setChecked(true);
    };
    menu_action(*w, "Konfiguration")->trigger();
    hook.fill = nullptr;
    RunContext read;
    run::read_iteration_settings(read, (dir / "RVL_iteration.ini").string());
    QDir::setCurrent(before);
    EXPECT_EQ(std::pair(read.run.maxPasses, read.run.iterLog), std::pair(750, 1));
    EXPECT_FLOAT_EQ(read.run.tolerance, 0.0005f);
    EXPECT_EQ(kinds(hook), (QStringList{"configuration", "configuration"}));  // cancelled, then confirmed
    hook.shown.clear();
    menu_action(*w, "Info")->trigger();
    const auto* info = find_shown(hook, "info");
    ASSERT_EQ(info ? info->title : QString("(no info)"), "Informationen zu 8.03  ...");
    EXPECT_TRUE(info->text.contains("R I V O L A")) << info->text.toStdString();
    // The page of message codes is made from the program's own catalogue.
    menu_action(*w, "Hilfe")->trigger();
    ASSERT_NE(w->helpWindow(), nullptr);
    QTextBrowser* b = w->helpWindow()->browser();
    b->setSource(QUrl::fromLocalFile(QString(RIVOLA_BINARY_DIR) + "/" + ui::kCodesPage));
    for (const char* part : {"G11", "der Stricklerwert in (20, 100) liegen!", "W60"})
        EXPECT_TRUE(b->toPlainText().contains(part)) << part;
    // so are the pages of the element types, linked from the contents
    b->setSource(QUrl::fromLocalFile(QString(RIVOLA_BINARY_DIR) + "/RIVOLAW_typen.html"));
    EXPECT_TRUE(b->toPlainText().contains("U: Überfall")) << b->toPlainText().toStdString();
    b->setSource(QUrl::fromLocalFile(QString(RIVOLA_BINARY_DIR) + "/RIVOLAW_typ_U.html"));
    EXPECT_TRUE(b->toPlainText().contains("HVE_mue")) << b->toPlainText().toStdString();
    w->helpWindow()->close();

    // A cancelled dialog keeps the waiting time; an answer is taken within 0..86400.
    QAction* wait = menu_action(*w, "Wartezeit der Ergebnisdatenbank …");
    ASSERT_NE(wait, nullptr);
    const int answers[][2] = {{7, 7}, {-1, 7}, {90000, 86400}};
    for (const auto& [answer, expected] : answers) {
        hook.number = answer;
        wait->trigger();
        EXPECT_EQ(hook.shown.back().kind, "number");
        EXPECT_EQ(std::pair(w->settings().dbWait, w->context().run.dbWait), std::pair(expected, expected)) << answer;
    }
    EXPECT_TRUE(hook.shown.back().text.contains("gesperrte Ergebnisdatenbank"));

    // A run from the menu whose file dialog (for *.mdb and *.MDB) is cancelled ends in an abort.
    run_to_end(*w, [&] { menu_action(*w, "Auswahl eines RIVOLA-Datensatzes und Programmaufruf")->trigger(); });
    for (const char* filter : {"*.mdb", "*.MDB"})
        EXPECT_TRUE(shown_text(hook, "file").contains(filter)) << shown_text(hook, "file").toStdString();
    EXPECT_EQ(w->lastErrorLevel(), 3);
    EXPECT_TRUE(shown_text(hook, "finale").startsWith("Berechnungsabbruch"));

    // Exit is left to the window system; the menu's exit closes the window.
    EXPECT_TRUE(w->rw_control(16385) == 0 && w->isVisible());
    menu_action(*w, "Beenden")->trigger();
    EXPECT_FALSE(w->isVisible());
}

// The example plant computed from the command line in three flow cases: no database
// failure, the check list named in the final message, the design case's listing named
// in the screen log, the profile drawn and shown with every case's water level, the
// cases to choose from and the chosen case's listings.
TEST_F(Window, AutoRunOfTheExamplePlantInFlowCases) {
    // the small example plant with its flow cases as a variant beside a results database
    ASSERT_NO_FATAL_FAILURE(example_variant(dir, "kleine_anlage.mdb",
                                            "\nCREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), "
                                            "Beschreibung text, Faktor double, Wasserstand double);\n"
                                            "INSERT INTO tbl_lastfaelle VALUES (1, 'MIN', NULL, 0.5, NULL);\n"
                                            "INSERT INTO tbl_lastfaelle VALUES (2, 'DESIGN', NULL, 1.0, NULL);\n"
                                            "INSERT INTO tbl_lastfaelle VALUES (3, 'MAX', NULL, 1.5, NULL);\n"));
    auto w = make({(dir / "kleine_anlage.mdb").string()});
    run_to_end(*w);
    const QStringList log = w->screenLog();
    ASSERT_LT(w->lastErrorLevel(), 2) << log.join('\n').toStdString();
    EXPECT_EQ(find_shown(hook, "message"), nullptr) << "no database failure expected";
    const QString finale = shown_text(hook, "finale");
    EXPECT_TRUE(finale.contains("kleine_anlage.pkl")) << finale.toStdString();
    EXPECT_TRUE(has_line(log, "kleine_anlage_DESIGN.ERG")) << log.join('\n').toStdString();
    EXPECT_FALSE(w->profileView()->empty());
    EXPECT_EQ(w->tabs()->currentIndex(), 1);
    EXPECT_TRUE(fs::exists(dir / "kleine_anlage_profile.svg"));
    // the cases to choose from, the design case chosen
    QComboBox* choice = w->caseChoice();
    ASSERT_TRUE(choice->isVisibleTo(w.get()) && choice->count() == 3) << choice->count();
    EXPECT_EQ(choice->currentText(), "DESIGN");
    // the profile shows the water level of every case
    int caseLines = 0;
    QStringList legend;
    for (const auto& sh : w->profileView()->drawing().shapes) {
        caseLines += sh.role == "wsp-case";
        if (sh.role == "legend-text") legend << QString::fromStdString(sh.text);
    }
    EXPECT_GT(caseLines, 0);
    for (const char* entry : {"Wasserspiegel MIN", "Wasserspiegel MAX", "Energielinie DESIGN"})
        EXPECT_TRUE(legend.contains(entry)) << legend.join('|').toStdString();
    // the listings of the case chosen
    choice->setCurrentIndex(2);
    w->dispatch(ui::kCmdListings);
    ASSERT_NE(w->listingsViewer(), nullptr);
    const QStringList tabs = tab_texts(w->listingsViewer()->tabs());
    EXPECT_TRUE(tabs.contains("kleine_anlage_MAX.ERG")) << tabs.join('|').toStdString();
    EXPECT_FALSE(tabs.contains("kleine_anlage_DESIGN.ERG"));
}

// While a generated plant of 5000 elements is computed, the window keeps
// painting: its screen log grows in batches and its clock ticks, so that no
// stretch of the run leaves it without a repaint for more than 200 ms.
TEST_F(Window, RepaintsThroughoutTheRunOfALargePlant) {
    const QString bin = QStringLiteral(RIVOLA_BINARY_DIR);
    const QString sql = QString::fromStdString((dir / "plant.sql").string());
    const QString db = QString::fromStdString((dir / "plant.mdb").string());
    for (const QStringList& step : {QStringList{bin + "/rivola-gen", "--elements", "5000", "-o", sql},
                                    QStringList{bin + "/rivola-db", "load", db, sql},
                                    QStringList{bin + "/rivola-db", "new-results", QString::fromStdString(dir.string())}})
        ASSERT_EQ(exit_status(step.first(), step.mid(1)), 0) << step.join(' ').toStdString();
    struct Paints : QObject {
        QElapsedTimer clock;
        std::vector<qint64> at;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) at.push_back(clock.elapsed());
            return false;
        }
    } paints;
    auto w = make({db.toStdString()});
    qint64 started = -1, ended = -1;
    QObject::connect(w.get(), &MainWindow::runFinished, [&] { ended = paints.clock.elapsed(); });
    paints.clock.start();
    qApp->installEventFilter(&paints);
    run_to_end(*w, [&] {
        started = paints.clock.elapsed();
        w->autoStart();
    });
    qApp->removeEventFilter(&paints);
    ASSERT_LT(w->lastErrorLevel(), 2);
    EXPECT_GT(w->screenLog().size(), 5000);
    // the largest stretch between two repaints from the start to the end of the run
    qint64 last = started, gap = 0;
    for (qint64 t : paints.at)
        if (t >= started && t <= ended) gap = std::max(gap, t - last), last = t;
    gap = std::max(gap, ended - last);
    EXPECT_LE(gap, 200) << "run of " << ended - started << " ms, " << paints.at.size() << " repaints";

    // cancelled in its first passes, confirmed, the run ends within a second as cancelled
    hook.fileToOpen = db;
    hook.answer = [](const QString& title, const QString&) { return title == "Abbruch?"; };
    bool finished = false;
    QObject::connect(w.get(), &MainWindow::runFinished, [&] { finished = true; });
    w->dispatch(ui::kCmdRun);
    ASSERT_TRUE(wait_for([&] { return finished || w->progressText().startsWith("Durchlauf"); }));
    ASSERT_FALSE(finished) << "the run ended before its first pass";
    QElapsedTimer sinceCancel;
    sinceCancel.start();
    w->requestCancel();
    ASSERT_TRUE(wait_for([&] { return finished; }));
    EXPECT_LE(sinceCancel.elapsed(), 1000);
    EXPECT_EQ(w->lastErrorLevel(), 3);
    EXPECT_TRUE(has_line(w->screenLog(), "Berechnung abgebrochen"));
}

// The dialogs of a run, called on a worker thread as the run calls them, in one window.
TEST_F(Window, DialogsOfARunOnItsWorkerThread) {
    auto w = make({});
    RunContext ctx;
    ui::QtServices svc(w.get(), &ctx);
    ctx.ui = &svc;
    const auto on_worker = [&](const std::function<void()>& f) {
        std::atomic<bool> done{false};
        std::thread t([&] {
            f();
            done = true;
        });
        EXPECT_TRUE(wait_for([&] { return done.load(); })) << "the worker did not end";
        t.join();
        QCoreApplication::processEvents();
    };
    bool showList = false;
    hook.answer = [&](const QString& title, const QString& text) {
        return title == "Abbruch?" || (showList && text == "Wollen Sie die Fehler/Warnungen anschauen?");
    };

    // Log lines arrive complete and in order before a question; passes show as progress.
    ctx.run.maxPasses = 100;
    std::string answer;
    on_worker([&] {
        for (int i = 1; i <= 500; ++i) ui::screen_dlgedit(ctx, 27, i, "Zeile " + std::to_string(i));
        ui::rw_msgbox(ctx, "Weiter?", "Frage?", &answer);
        for (int pass = 1; pass <= 7; ++pass) ctx.ui->progress(pass, 8.0f / static_cast<float>(pass));
    });
    EXPECT_EQ(w->progressText(), "Durchlauf 7 von höchstens 100, größte Energiehöhendifferenz 1,14 mm");
    const QStringList log = w->screenLog();
    ASSERT_EQ(log.size(), 500);
    EXPECT_EQ(log.front() + "|" + log.back(), "Zeile 1|Zeile 500");
    EXPECT_EQ(kinds(hook), QStringList{"question"});
    EXPECT_EQ(answer, "No");

    // A run is cancelled only after a request and the user's confirmation.
    for (const bool requested : {false, true}) {
        SCOPED_TRACE(requested);
        hook.shown.clear();
        if (requested) w->requestCancel();
        bool cancelled = !requested;
        on_worker([&] { cancelled = ctx.ui->cancelled(); });
        // confirmed under the title "Abbruch?"; nobody asked to cancel: no question
        EXPECT_EQ(std::pair(cancelled, hook.shown.size()), std::pair(requested, size_t{requested ? 1u : 0u}));
    }

    // After warnings the closing dialog offers the check list; answered no, no viewer.
    const fs::path pkl = dir / "PLANT.pkl";
    std::ofstream(pkl) << "Prüfprotokoll: " << (dir / "PLANT").string() << ".pkl\n"
                       << "W27 Warnung: Bei den GEO-Daten ist beim Gerinne : G_ZULAUF\n"
                       << "             das Sohlgefälle negativ!\n";
    ctx.run.checkListFile = pkl.string(), ctx.run.dbName = "PLANT", ctx.run.dbExt = ".mdb";
    ctx.run.runDate = "06.12.2025", ctx.run.ierr = 1;
    hook.shown.clear();
    on_worker([&] { ui::rw_dlgfinale(ctx, run::final_message(ctx)); });
    ASSERT_EQ(kinds(hook), (QStringList{"finale", "question"}));
    EXPECT_EQ(hook.shown[0].text, QString::fromStdString("Warnungen siehe: " + pkl.string()));
    EXPECT_EQ(hook.shown[1].text, "Wollen Sie die Fehler/Warnungen anschauen?");
    EXPECT_EQ(w->checkListViewer(), nullptr);
    // Answered yes: the viewer shows the list line by line in a fixed-pitch font.
    showList = true;
    on_worker([&] { ui::rw_dlgfinale(ctx, run::final_message(ctx)); });
    ASSERT_EQ(hook.shown.size(), 5u);
    EXPECT_EQ(hook.shown[4].kind, "checklist");
    ui::CheckListViewer* v = w->checkListViewer();
    ASSERT_TRUE(v && v->isVisible());
    EXPECT_EQ(v->windowTitle(), "PLANT.mdb: Warnungen und Fehler ...");
    auto* list = v->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(1)->text() + "\n" + list->item(2)->text(),
              "W27 Warnung: Bei den GEO-Daten ist beim Gerinne : G_ZULAUF\n             das Sohlgefälle negativ!");
    EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
    // Printing, unattended: the print button writes the printout as PDF.
    const QString pdf = QString(RIVOLA_BINARY_DIR) + "/rivolaw_check_list.pdf";
    QFile::remove(pdf);
    v->setUnattendedPdf(pdf);
    v->printButton()->click();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF") && bytes.size() > 1000) << bytes.size() << " bytes";
    v->close();

    // A fatal message, shown under its own title, ends the program.
    on_worker([&] { ui::rw_msgbox(ctx, "Tabelle voll", "Abbruch!!!"); });
    EXPECT_EQ(hook.shown.back().title, "Schwerer Fehler: Nach <OK> erfolgt Programmabbruch!");
    EXPECT_TRUE(w->stopRequested());
}

// The language is chosen in the menu: the menu, the tabs and Qt's own
// buttons change with it; the file dialog offers variants only; the
// variants edited are remembered for the next session.
TEST_F(Window, LanguageChoiceQtTextsFileFilterAndRecentVariants) {
    auto w = make({});
    ui::use_qt_translations("DEUTSCH");
    auto cancel_text = [] {
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    };
    EXPECT_EQ(cancel_text(), "Abbrechen");
    ASSERT_NE(menu_action(*w, "English"), nullptr);
    menu_action(*w, "English")->trigger();
    EXPECT_TRUE(menu_action(*w, "Help") && !menu_action(*w, "Hilfe"));
    EXPECT_EQ(w->tabs()->tabText(0) + "|" + cancel_text(), "screen log|Cancel");
    EXPECT_EQ(w->settings().language, "ENGLISH");
    menu_action(*w, "Deutsch")->trigger();
    EXPECT_NE(menu_action(*w, "Hilfe"), nullptr);
    // the sheet size of the drawing, chosen in the menu, is the next run's
    EXPECT_EQ(w->context().run.sheet, "A3");
    ASSERT_NE(menu_action(*w, "A1"), nullptr);
    menu_action(*w, "A1")->trigger();
    EXPECT_EQ(w->context().run.sheet, "A1");
    EXPECT_EQ(cancel_text(), "Abbrechen");

    const std::pair<const char*, bool> files[] = {
        {"anlage.mdb", true}, {"ANLAGE.MDB", true}, {"RIVOLA_8_Ergebnisse.mdb", false},
        {"rivola_8_ergebnisse.MDB", false}, {"anlage_C_SANDFANG.mdb", false}, {"anlage.csv", false}};
    for (const auto& [name, variant] : files) EXPECT_EQ(ui::is_variant_file(name), variant) << name;

    ASSERT_NO_FATAL_FAILURE(example_variant(dir, "recent.mdb"));
    const std::string variant = (dir / "recent.mdb").string();
    w->editVariant(QString::fromStdString(variant), false);
    EXPECT_EQ(w->recentVariants().value(0), QString::fromStdString(variant));
    w->variantEditor()->close();
}

// The capacity search from the menu: the variant chosen, the capacity and its
// limiting element on the screen log, the next run a normal one again.
TEST_F(Window, CapacityOfThePlantFromTheMenu) {
    ASSERT_NO_FATAL_FAILURE(example_variant(dir, "anlage.mdb"));
    auto w = make({});
    hook.fileToOpen = QString::fromStdString((dir / "anlage.mdb").string());
    run_to_end(*w, [&] { menu_action(*w, "&Kapazität der Anlage …")->trigger(); });
    EXPECT_TRUE(has_line(w->screenLog(), "Kapazität: Faktor ")) << w->screenLog().join('\n').toStdString();
    EXPECT_TRUE(has_line(w->screenLog(), "begrenzendes Element: "));
    EXPECT_TRUE(fs::exists(dir / "anlage_Kapazitaet.csv"));
    EXPECT_FALSE(w->context().run.capacity);
}
