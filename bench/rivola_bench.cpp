// rivola-bench: times a calculation run on generated plants of growing size.
//
//   rivola-bench [--sizes 1000,5000,25000] [--lanes M] [--cases K] [--dir DIR] [--keep]
//
// For every size a plant is generated (rivola-gen), loaded into a variant
// database next to an empty results database, and computed step by step as
// the run driver does it. Each size runs in a child process of its own so
// that its peak memory is its own. Reported per size, wall-clock seconds
// (and CPU seconds of the process in brackets):
//   load     building the variant database from the SQL script
//   read     reading the variant (tables tbl_all, tbl_rvldaten)
//   setup    system set-up and all checks
//   walk     the water-level walk with the division iteration; its passes
//   lists    listings, CSV file and plot data
//   db       the result tables in the results database (timed by writing
//            them once more after the listings; "lists" is the rest)
//   drawing  the profile drawing (SVG) of all strands
//   peak     peak resident memory of the process (MB)
// The table is printed in Markdown. With --cases K a second table compares,
// per size, whole runs (as `rivola --yes`): the plant at its design flow,
// each of K flow cases alone (factors 1.0, 0.6, 1.4, 0.8, 1.2 ... on the
// inflows; the mean of their runs), and all K cases in one run, wall-clock
// and CPU, with the ratios of the last to the first two.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "hydraulics/hyawsp.h"
#include "database/db_tools.h"
#include "input/input.h"
#include "database/m_db_input.h"
#include "output/db_output.h"
#include "output/m_output_eingabe.h"
#include "output/outwsp_screen.h"
#include "output/output.h"
#include "output/profile_drawing.h"
#include "plant_gen.h"
#include "model/context.h"
#include "run/r_rivola.h"
#include "messages/services.h"

namespace {

using namespace rivola;

class QuietUi : public ui::Services {
public:
    std::vector<std::string> boxes;
    void message(const std::string& t, const std::string& x) override { boxes.push_back(t + ": " + x); }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string&) override {}
    void finale(const std::string&, const std::string&) override {}
};

double cpu_now() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

struct Span {
    double wall = 0, cpu = 0;
};

class Timer {
public:
    Timer() { reset(); }
    void reset() {
        w0_ = std::chrono::steady_clock::now();
        c0_ = cpu_now();
    }
    Span lap() {
        const auto w = std::chrono::steady_clock::now();
        const double c = cpu_now();
        Span s{std::chrono::duration<double>(w - w0_).count(), c - c0_};
        w0_ = w;
        c0_ = c;
        return s;
    }

private:
    std::chrono::steady_clock::time_point w0_;
    double c0_ = 0;
};

std::string cell(const Span& s) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.2f (%.2f)", s.wall, s.cpu);
    return buf;
}

// The SQL script of a generated plant of n elements (lanes per stage: the
// generator's default when 0).
std::string generated(int n, int lanes, gen::PlantSummary& sum, std::string& why) {
    gen::PlantShape plan;
    plan.elements = n;
    if (lanes > 0) plan.lanesPerStage = lanes;
    return gen::generate(plan, sum, why);
}

// One size, in the child process: returns the table row or an error text.
std::string run_size(int n, int lanes, const std::string& dir) {
    gen::PlantSummary sum;
    std::string why;
    const std::string sql = generated(n, lanes, sum, why);
    if (sql.empty()) return "generator: " + why;
    const std::string base = dir + "/plant" + std::to_string(n);
    {
        std::ofstream f(base + ".sql", std::ios::binary);
        f << sql;
    }
    RunContext tools;
    tools.db.diagFile = dir + "/load.pkl";
    std::string status, results;
    input::db_new_results(tools, dir, results, status);
    if (status != "ok") return "results database: " + status;

    Timer t;
    input::db_load_script(tools, base + ".mdb", base + ".sql", status);
    const Span load = t.lap();
    if (status != "ok") return "load: " + status;

    QuietUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.db.diagFile = dir + "/DB_Fehler.pkl";
    ctx.run.params = {base + ".mdb", "SIM=J"};
    run::initl_rivola(ctx);
    run::init_variante(ctx);
    if (ctx.run.ierr >= 2) return "run start failed";

    t.reset();
    ctx.run.ierr = 0;
    input::inmdb(ctx, ctx.run.dbPath, status);
    const Span read = t.lap();
    if (status != "ok") return "read: " + status;
    run::set_up(ctx);
    const Span setup = t.lap();
    if (ctx.run.ierr >= 2) return "set-up stopped at error level " + std::to_string(ctx.run.ierr);

    t.reset();
    ctx.walk = &output::walk_screen_log();
    hyd::start(ctx);
    if (ctx.run.ierr < 2) hyd::wsp_rivola(ctx);
    const Span walk = t.lap();
    const int passes = ctx.run.passes;
    const int walkLevel = ctx.run.ierr;

    t.reset();
    if (ctx.run.ierr < 2) {
        output::o_plot(ctx);
        output::outerg(ctx);
        output::outqve(ctx);
        output::outerk(ctx);
        output::outeef(ctx);
    }
    Span out = t.lap();
    // the result tables once more, alone
    if (ctx.run.ierr < 2) {
        output::write_erg_tables(ctx);
    }
    const Span db = t.lap();
    if (ctx.run.ierr < 2) {
        ctx.run.drawing = true;
        output::draw_profile(ctx);
    }
    const Span drawing = t.lap();
    output::close_listings(ctx);
    ctx.rep.close();
    Span lists{out.wall - db.wall, out.cpu - db.cpu};

    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::ostringstream row;
    row << "| " << n << " | " << sum.freeDivisions << " | " << cell(load) << " | " << cell(read)
        << " | " << cell(setup) << " | " << cell(walk) << " | " << passes << " | "
        << cell(lists) << " | " << cell(db) << " | " << cell(drawing) << " | " << ru.ru_maxrss / 1024
        << " |";
    if (walkLevel >= 2) row << " walk stopped at error level " << walkLevel;
    if (!ctx.run.resultsStatus.empty() && ctx.run.resultsStatus != "ok")
        row << " results: " << ctx.run.resultsStatus;
    return row.str();
}

// The flow-case rows of a plant: K cases, the design case first.
std::string case_rows(int k, int first = 0) {
    std::string s =
        "CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung varchar(80), "
        "Faktor double, Wasserstand double);\n";
    for (int c = first; c < k; ++c) {
        static const double factors[] = {1.0, 0.6, 1.4, 0.8, 1.2, 0.5, 1.5, 0.7, 1.3};
        const double f = factors[static_cast<size_t>(c) % (sizeof factors / sizeof factors[0])];
        char buf[160];
        std::snprintf(buf, sizeof buf, "INSERT INTO tbl_lastfaelle VALUES (%d, 'F%d', NULL, %.3f, NULL);\n", c + 1,
                      c + 1, f);
        s += buf;
    }
    return s;
}

// One size in flow cases, in the child process: the whole run of the plant,
// then of the plant in K cases.
std::string run_cases(int n, int lanes, int k, const std::string& dir) {
    gen::PlantSummary sum;
    std::string why;
    const std::string sql = generated(n, lanes, sum, why);
    if (sql.empty()) return "generator: " + why;
    RunContext tools;
    tools.db.diagFile = dir + "/load.pkl";
    std::string status, results;
    input::db_new_results(tools, dir, results, status);
    if (status != "ok") return "results database: " + status;
    // runs: the plant, each case alone (a variant with that one case), all cases
    std::vector<Span> spans(static_cast<size_t>(k) + 2);
    std::vector<int> levels(spans.size(), 0);
    for (size_t r = 0; r < spans.size(); ++r) {
        const bool alone = r >= 1 && r <= static_cast<size_t>(k), all = r == spans.size() - 1;
        const std::string base = dir + "/plant" + std::to_string(n) + (all ? "_cases" : alone ? "_case" + std::to_string(r) : "");
        {
            std::ofstream f(base + ".sql", std::ios::binary);
            f << sql << (all ? case_rows(k) : alone ? case_rows(static_cast<int>(r), static_cast<int>(r) - 1) : std::string());
        }
        input::db_load_script(tools, base + ".mdb", base + ".sql", status);
        if (status != "ok") return "load: " + status;
        QuietUi ui;
        RunContext ctx;
        ctx.ui = &ui;
        ctx.db.diagFile = dir + "/DB_Fehler.pkl";
        ctx.run.params = {base + ".mdb"};
        Timer t;
        run::r_rivola(ctx, 1);
        spans[r] = t.lap();
        levels[r] = ctx.run.ierr;
    }
    Span alone;
    for (int c = 1; c <= k; ++c) {
        alone.wall += spans[static_cast<size_t>(c)].wall / k;
        alone.cpu += spans[static_cast<size_t>(c)].cpu / k;
    }
    const Span& all = spans.back();
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "%.2f | %.2f", all.wall / std::max(spans[0].wall, 1e-9),
                  all.wall / std::max(alone.wall, 1e-9));
    std::ostringstream row;
    row << "| " << n << " | " << k << " | " << cell(spans[0]) << " | " << cell(alone) << " | " << cell(all) << " | "
        << ratio << " | " << ru.ru_maxrss / 1024 << " |";
    for (size_t c = 0; c < levels.size(); ++c)
        if (levels[c] >= 2) row << " run " << c << " ended at level " << levels[c];
    return row.str();
}

// Runs f in a child process of its own and prints the row it gives.
template <class F>
int in_child(int n, const std::string& dir, F f) {
    int fd[2];
    if (pipe(fd) != 0) return 1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fd[0]);
        // the run writes its scratch files into the current directory
        if (chdir(dir.c_str()) != 0) _exit(3);
        const std::string row = f();
        if (write(fd[1], row.data(), row.size()) < 0) _exit(3);
        _exit(row.rfind("| ", 0) == 0 ? 0 : 1);
    }
    close(fd[1]);
    std::string row;
    char buf[512];
    ssize_t got;
    while ((got = read(fd[0], buf, sizeof buf)) > 0) row.append(buf, static_cast<size_t>(got));
    close(fd[0]);
    int st = 0;
    waitpid(pid, &st, 0);
    const bool failed = !WIFEXITED(st) || WEXITSTATUS(st) != 0;
    if (failed)
        std::cout << "| " << n << " | failed: " << (row.empty() ? "crashed" : row) << " |\n";
    else
        std::cout << row << "\n";
    std::cout << std::flush;
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {1000, 5000, 25000};
    std::string dir;
    bool keep = false;
    int lanes = 0, cases = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--sizes" && i + 1 < argc) {
            sizes.clear();
            std::stringstream ss(argv[++i]);
            std::string x;
            while (std::getline(ss, x, ',')) sizes.push_back(std::atoi(x.c_str()));
        } else if (a == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (a == "--lanes" && i + 1 < argc) {
            lanes = std::atoi(argv[++i]);
        } else if (a == "--cases" && i + 1 < argc) {
            cases = std::atoi(argv[++i]);
        } else if (a == "--keep") {
            keep = true;
        } else {
            std::cerr << "usage: rivola-bench [--sizes 1000,5000,25000] [--lanes M] [--cases K] [--dir DIR] [--keep]\n";
            return 2;
        }
    }
    namespace fs = std::filesystem;
    if (dir.empty()) {
        std::string tmpl = (fs::temp_directory_path() / "rivola-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            return 1;
        }
        dir = tmpl;
    } else {
        fs::create_directories(dir);
    }
    dir = fs::absolute(dir).string();
    std::cout << "seconds wall-clock (CPU of the process); " << sysconf(_SC_NPROCESSORS_ONLN)
              << " cores\n\n"
              << "| elements | free divisions | load | read | set-up + checks | walk | passes | "
                 "listings | results db | drawing | peak MB |\n"
              << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n"
              << std::flush;
    int failures = 0;
    for (int n : sizes) failures += in_child(n, dir, [&] { return run_size(n, lanes, dir); });
    if (cases > 0) {
        std::cout << "\nwhole run, plain and in " << cases << " flow cases\n\n"
                  << "| elements | cases | plant at design flow | one case alone (mean) | all cases in one run | "
                     "ratio to design run | ratio to one case | peak MB |\n"
                  << "|---:|---:|---:|---:|---:|---:|---:|---:|\n"
                  << std::flush;
        for (int n : sizes) failures += in_child(n, dir, [&] { return run_cases(n, lanes, cases, dir); });
    }
    if (!keep) fs::remove_all(dir);
    return failures ? 1 : 0;
}
