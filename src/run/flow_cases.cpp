#include "run/flow_cases.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>

#include "messages/m_rivola_error.h"
#include "checks/pruefung.h"
#include "hydraulics/freeboard.h"
#include "hydraulics/hyawsp.h"
#include "input/input.h"
#include "output/db_output.h"
#include "output/envelope.h"
#include "output/outwsp_screen.h"
#include "output/m_output_eingabe.h"
#include "output/output.h"
#include "output/profile_drawing.h"
#include "output/result_files.h"
#include "run/r_rivola.h"
#include "support/m_files.h"
#include "support/m_strings.h"
#include "messages/m_realwin.h"
#include "messages/services.h"

namespace rivola::run {

namespace {

constexpr size_t kMaxCaseThreads = 32;

// The window or console of the main run as one case sees it: the screen log
// and message boxes of a case are kept and shown after the cases, in their
// order, so that parallel cases do not mix their lines; questions, progress
// and the cancel request go to the main run's services one at a time.
class CaseServices : public ui::Services {
public:
    CaseServices(ui::Services* main, std::mutex& lock, std::atomic<bool>& cancel)
        : main_(main), lock_(lock), cancel_(cancel) {}
    void message(const std::string& title, const std::string& text) override { said_.message(title, text); }
    bool question(const std::string& title, const std::string& text) override {
        std::lock_guard<std::mutex> g(lock_);
        return main_ && main_->question(title, text);
    }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string& line) override { said_.log(line); }
    void finale(const std::string&, const std::string&) override {}
    void progress(int pass, float largestDiffMm) override {
        std::lock_guard<std::mutex> g(lock_);
        if (main_) main_->progress(pass, largestDiffMm);
    }
    // A cancel confirmed for one case ends every case.
    bool cancelled() override {
        if (cancel_) return true;
        std::lock_guard<std::mutex> g(lock_);
        if (main_ && main_->cancelled()) cancel_ = true;
        return cancel_;
    }
    void stop_program() override {
        std::lock_guard<std::mutex> g(lock_);
        if (main_) main_->stop_program();
    }
    // Shows what the case said on the main run's services.
    void replay() {
        said_.replay(main_);
        said_.clear();
    }

private:
    ui::Services* main_;
    std::mutex& lock_;
    std::atomic<bool>& cancel_;
    ui::KeptSaid said_;
};

struct CaseRun {
    const input::FlowCase* fc = nullptr;
    std::unique_ptr<RunContext> ctx;
    std::unique_ptr<CaseServices> ui;
    output::ProfileModel drawing;    // what the drawing shows of the case (made in its thread)
};

// The design case: the first with factor 1 and the variant's own inflows;
// else the first case.
size_t design_case(const std::vector<input::FlowCase>& cases) {
    for (size_t k = 0; k < cases.size(); ++k)
        if ((cases[k].faktor == kMissing || cases[k].faktor == 1.0f) && cases[k].inflows.empty() &&
            cases[k].splits.empty())
            return k;
    for (size_t k = 0; k < cases.size(); ++k)
        if (cases[k].faktor == kMissing || cases[k].faktor == 1.0f) return k;
    return 0;
}

// The run context of one case: the main run's settings, paths and plant as
// read, with the case applied; its results under base + "_" + case.
std::unique_ptr<RunContext> case_context(const RunContext& main, const input::FlowCase& fc, bool echo,
                                         std::mutex& storeLock) {
    auto c = std::make_unique<RunContext>();
    c->settings = main.settings;
    c->run = main.run;
    c->db = main.db;
    RunState& r = c->run;
    r.caseName = fc.name;
    r.dbName = main.run.dbName + "_" + fc.name;
    r.basePath = main.run.basePath + "_" + fc.name;
    r.checkListFile = r.basePath + ".pkl";
    r.writtenFiles.clear();
    r.storeFailures.clear();
    r.resultsStatus.clear();
    r.drawing = false;
    r.echo = echo;
    r.echoFile = main.run.basePath + ".EIN";
    r.storeLock = &storeLock;
    r.ierr = 0;
    c->plant = main.plant;
    input::apply_flow_case(c->plant, fc);
    return c;
}

// The check list of one case as a section of the main check list: headed by
// the case's name and description, its lines without the file's own heading.
void append_section(RunContext& ctx, const CaseRun& cr) {
    const bool en = ctx.english();
    checks::fehler(ctx, "OUTQQQ");
    checks::outqqq_line(ctx, "");
    std::string head = (en ? "flow case " : "Lastfall ") + cr.fc->name;
    if (!cr.fc->beschreibung.empty()) head += ": " + cr.fc->beschreibung;
    checks::outqqq_line(ctx, head);
    checks::outqqq_line(ctx, std::string(support::ulen(head), '='));
    const std::string file = cr.ctx->rep.fileName();
    std::ifstream in(file, std::ios::binary);
    std::string line;
    bool first = true, any = false;
    while (std::getline(in, line)) {
        if (first) {
            first = false;
            if (line.rfind(cr.ctx->rep.title + ":", 0) == 0) continue;  // the heading of the case's own file
        }
        checks::outqqq_line(ctx, line);
        any = true;
    }
    if (!any) checks::outqqq_line(ctx, en ? "no messages" : "keine Meldungen");
    in.close();
    support::remove_file(file);
}

// The one drawing of all cases, or none when the design case has no results.
void draw_all(RunContext& ctx, std::vector<CaseRun>& runs, size_t d) {
    if (runs[d].ctx->failed()) {
        output::remove_earlier(ctx, ctx.run.basePath + "_profile.svg");
        output::remove_earlier_sheets(ctx, 0);
        return;
    }
    std::vector<const output::ProfileModel*> others;
    std::vector<std::string> names;
    for (size_t k = 0; k < runs.size(); ++k) {
        if (k == d || runs[k].ctx->failed()) continue;
        others.push_back(&runs[k].drawing);
        names.push_back(runs[k].fc->name);
    }
    output::draw_case_profiles(ctx, std::move(runs[d].drawing), runs[d].fc->name, others, names);
}

}  // namespace

void run_flow_cases(RunContext& ctx, const std::vector<input::FlowCase>& cases) {
    RunState& r = ctx.run;
    std::mutex uiLock, storeLock;
    std::atomic<bool> cancel{false};
    std::vector<CaseRun> runs(cases.size());
    const size_t d = design_case(cases);
    for (size_t k = 0; k < cases.size(); ++k) {
        CaseRun& cr = runs[k];
        cr.fc = &cases[k];
        cr.ctx = case_context(ctx, cases[k], k == d, storeLock);  // the echo shows the design case
        cr.ui = std::make_unique<CaseServices>(ctx.ui, uiLock, cancel);
        cr.ctx->ui = cr.ui.get();
    }
    // Each case checks its own table names, is set up, checked and computed,
    // makes what the drawing shows of it and then stores its results; the
    // one drawing of all cases is made here while the cases store.
    std::mutex readyLock;
    std::condition_variable readyCv;
    size_t ready = 0;
    auto one = [&](CaseRun& cr) {
        RunContext& c = *cr.ctx;
        checks::fehler(c, "INIT", c.run.basePath, ctx.rep.title);
        c.run.deferStore = true;
        if (output::check_table_names(c)) compute_variant(c);
        if (c.run.compute == 'J' && !c.failed() && ctx.run.drawing) cr.drawing = output::profile_model(c);
        {
            std::lock_guard<std::mutex> g(readyLock);
            ++ready;
        }
        readyCv.notify_all();
        if (c.run.pendingStore) c.run.pendingStore();
        c.run.pendingStore = nullptr;
        // a case that ends with errors or only checks leaves no older results of its own
        if (c.run.ierr < 3 && (c.run.ierr == 2 || c.run.compute != 'J')) output::remove_earlier_results(c);
        c.rep.close();
    };
    // The workers (one per core, or --threads) take the next case as they
    // finish one, so that cases of unequal numbers of passes share the cores
    // evenly; each case computes in its own context, so the results do not
    // depend on the number of workers.
    const size_t workers = std::min<size_t>(
        {cases.size(), kMaxCaseThreads, static_cast<size_t>(std::max(1, r.worker_threads()))});
    // the cores left to each case for the lanes of its walk
    for (CaseRun& cr : runs) cr.ctx->run.threads = std::max(1, r.worker_threads() / static_cast<int>(workers));
    std::atomic<size_t> next{0};
    auto work = [&]() {
        for (size_t k = next++; k < runs.size(); k = next++) one(runs[k]);
    };
    std::vector<std::thread> pool;
    for (size_t w = 0; w < workers; ++w) pool.emplace_back(work);
    {
        std::unique_lock<std::mutex> g(readyLock);
        readyCv.wait(g, [&] { return ready == runs.size(); });
    }
    if (r.compute == 'J') draw_all(ctx, runs, d);
    for (auto& t : pool) t.join();

    // what the cases said, in their order; their check lists as sections
    std::vector<std::string> names, csv;
    for (CaseRun& cr : runs) {
        cr.ui->replay();
        append_section(ctx, cr);
        r.ierr = std::max(r.ierr, cr.ctx->run.ierr);
        r.storeFailures.insert(r.storeFailures.end(), cr.ctx->run.storeFailures.begin(),
                               cr.ctx->run.storeFailures.end());
        r.balance = r.balance || cr.ctx->run.balance;
        names.push_back(cr.fc->name);
        csv.push_back(cr.ctx->run.basePath + ".csv");
    }
    // the variant's own results would belong to no case
    output::remove_uncased_results(ctx);
    if (r.compute != 'J') {
        output::remove_earlier(ctx, r.basePath + "_Lastfaelle.csv");
        output::remove_earlier(ctx, r.basePath + "_profile.svg");
        output::remove_earlier_sheets(ctx, 0);
        return;
    }
    output::write_envelope(ctx, names, csv);
    // the cases stay with the run for the window: its drawing and listings
    for (CaseRun& cr : runs) {
        cr.ctx->ui = nullptr;
        ctx.flowCases.push_back(std::shared_ptr<RunContext>(std::move(cr.ctx)));
    }
    ctx.designCase = d;
    if (ctx.ui)
        for (const auto& f : r.writtenFiles) ctx.ui->log(f);
}

}  // namespace rivola::run
