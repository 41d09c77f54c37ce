// The fixture of the window tests: a folder of the test, the main window
// with a recording dialog hook, runs waited for, menu actions by their text
// and the example plant as a variant.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <unistd.h>

#include "database/db_tools.h"
#include "main_window.h"
#include "shell.h"

namespace rivola::uitest {

// Turns the event loop until cond holds or the time is up.
inline bool wait_for(const std::function<bool()>& cond, int ms = 30000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The action of that text in the menu bar, its menus and their submenus.
inline QAction* find_action(const QList<QAction*>& actions, const QString& text) {
    for (QAction* a : actions) {
        if (a->text() == text) return a;
        if (a->menu())
            if (QAction* b = find_action(a->menu()->actions(), text)) return b;
    }
    return nullptr;
}

inline QAction* menu_action(ui::MainWindow& w, const QString& text) {
    return find_action(w.menuBar()->actions(), text);
}

// An empty results database in folder d and the example plant, followed by
// the SQL `extra`, as the variant d/name.
inline void example_variant(const std::filesystem::path& d, const std::string& name,
                            const std::string& extra = "") {
    std::filesystem::create_directories(d);
    RunContext tools;
    tools.db.diagFile = (d / "load.pkl").string();
    std::string status, results;
    input::db_new_results(tools, d.string(), results, status);
    ASSERT_EQ(status, "ok");
    const std::string script = (d / (name + ".sql")).string();
    std::ofstream(script) << std::ifstream(std::string(RIVOLA_SOURCE_DIR) + "/examples/kleine_anlage.sql").rdbuf()
                          << extra;
    input::db_load_script(tools, (d / name).string(), script, status);
    ASSERT_EQ(status, "ok");
}

struct Window : ::testing::Test {
    std::filesystem::path dir;
    ui::DialogHook hook;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("rivolaw_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::unique_ptr<ui::MainWindow> make(const std::vector<std::string>& args) {
        auto w = std::make_unique<ui::MainWindow>(
            ui::shell_settings(std::string(RIVOLA_BINARY_DIR) + "/rivolaw", args, "06.12.2025"));
        w->setDialogHook(&hook);
        w->show();
        return w;
    }
    // Starts a run (from the command line unless `start` is given) and waits
    // for its end; the connection goes with the flag it sets, so that a later
    // run of the same window does not write into a finished call.
    void run_to_end(ui::MainWindow& w, const std::function<void()>& start = {}) {
        bool finished = false;
        const auto connection = QObject::connect(&w, &ui::MainWindow::runFinished, [&] { finished = true; });
        start ? start() : w.autoStart();
        const bool ended = wait_for([&] { return finished; });
        QObject::disconnect(connection);
        ASSERT_TRUE(ended) << "the run did not end";
    }
};

}  // namespace rivola::uitest
