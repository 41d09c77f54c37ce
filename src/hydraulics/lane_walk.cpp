#include "hydraulics/lane_walk.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "hydraulics/pass_scope.h"
#include "messages/m_rivola_error.h"
#include "messages/services.h"
#include "model/context.h"

namespace rivola::hyd {

namespace {

// A run of elements from `top` down to `bottom`, each discharging into the
// one above it in the numbering, which the walk computes before it.
struct Strand {
    int top = 0, bottom = 0;
    int level = 0;
    bool chained = false;        // its top discharges into element top + 1
    std::vector<int> below;      // the strands it discharges into
};

// What a strand left in a pass besides the results of its elements.
struct Outcome {
    bool done = false;           // computed (not left out below a stop)
    ui::KeptSaid said;           // its screen lines and boxes
    std::string lines;           // its lines of the check list
    int calls = 0;               // messages it asked the check list for
    int last = -1;               // severity of its latest message (-1: none)
    int worst = 0, ierr = 0;
    bool moving = false;         // a split of one of its divisions moved
    std::exception_ptr error;
};

// The dialogs and screen log of a strand: everything is kept for the run.
class Keeper : public ui::Services {
public:
    ui::KeptSaid* out = nullptr;
    void message(const std::string& title, const std::string& text) override { out->message(title, text); }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string& line) override { out->log(line); }
    void finale(const std::string&, const std::string&) override {}
};

// One thread's context: the run's plant, its own cross-section, step slot 0,
// check list (in memory) and screen log.
struct Worker {
    explicit Worker(Plant& p) : ctx(p) {}
    ~Worker() {
        ctx.rep.close();
        std::free(buf);
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    // A check list in memory, empty, for the next pass.
    void fresh_check_list() {
        ctx.rep.close();
        std::free(buf);
        buf = nullptr;
        size = 0;
        ctx.rep.unit = open_memstream(&buf, &size);
        if (!ctx.rep.unit) throw std::runtime_error("no memory for the check list of a lane");
    }
    RunContext ctx;
    Keeper keeper;
    char* buf = nullptr;
    size_t size = 0;
};

}  // namespace

struct LaneWalk::State {
    State(RunContext& c, PassScope& s, WalkElements w) : ctx(c), scope(s), walk(std::move(w)) {}
    RunContext& ctx;
    PassScope& scope;
    WalkElements walk;
    std::vector<Strand> strands;             // in the order of the walk
    std::vector<std::vector<int>> above;     // the strands that discharge into each strand
    int levels = 0;
    std::vector<Outcome> outcomes;
    std::vector<std::unique_ptr<Worker>> workers;  // [0] on the run's own thread
    std::vector<std::thread> threads;
    // A strand is ready once every strand it discharges into is computed;
    // the threads take the ready ones until the pass is done.
    std::mutex m;
    std::condition_variable start, wake, idle;
    std::vector<int> ready;
    std::vector<int> waiting;                // strands below each one still to compute
    size_t finished = 0;
    int sleepers = 0;                        // threads waiting for a ready strand
    bool stopping = false;                   // cancelled: no strand starts any more
    int generation = 0, busy = 0;
    bool quit = false;
    int ierr0 = 0, worst0 = 0;

    void cut();
    void run_strand(Worker& w, int s);
    // Takes ready strands until the pass is done; `cancelled` (the run's own
    // thread only) is asked every 64 strands.
    void take(Worker& w, const std::function<bool()>* cancelled);
    void helper(Worker& w);
    void hand_on();
};

bool LaneWalk::suits(const RunContext& ctx, int threads) {
    const Plant& p = ctx.plant;
    if (threads < 2 || p.nsys < 2 || p.heber.present || ctx.run.iterLog) return false;
    if (ctx.walk && !ctx.walk->logs_only()) return false;
    bool divisions = false;
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& e = p.el[i];
        divisions = divisions || e.ityp == T_A;
        for (int k = 1; k <= 2; ++k)
            if (e.iab[k] >= 1 && e.iab[k] <= i) return false;  // water that runs back in the numbering
    }
    if (!divisions) return false;
    // each iterated division steps its split in a slot of its own
    std::vector<int> iter;
    for (size_t k = 1; k < p.aufteilung.size(); ++k)
        if (p.aufteilung[k].iter > 0) iter.push_back(p.aufteilung[k].iter);
    std::sort(iter.begin(), iter.end());
    return std::adjacent_find(iter.begin(), iter.end()) == iter.end();
}

void LaneWalk::State::cut() {
    const Plant& p = ctx.plant;
    const int n = p.nsys;
    std::vector<int> inlets(static_cast<size_t>(n) + 2, 0);
    for (int i = 1; i <= n; ++i)
        for (int k = 1; k <= 2; ++k)
            if (p.el[i].iab[k] >= 1 && p.el[i].iab[k] <= n) ++inlets[static_cast<size_t>(p.el[i].iab[k])];
    std::vector<int> of(static_cast<size_t>(n) + 1, 0);
    for (int i = n; i >= 1; --i) {
        const Element& e = p.el[i];
        const bool joins = i < n && e.iab[1] == i + 1 && e.iab[2] < 1 && inlets[static_cast<size_t>(i) + 1] == 1;
        if (!joins) {
            Strand s;
            s.top = i;
            s.chained = i < n && e.iab[1] == i + 1;
            strands.push_back(s);
        }
        Strand& s = strands.back();
        s.bottom = i;
        const int me = static_cast<int>(strands.size()) - 1;
        of[static_cast<size_t>(i)] = me;
        for (int k = 1; k <= 2; ++k) {
            const int d = e.iab[k];
            if (d < 1 || d > n) continue;
            const int b = of[static_cast<size_t>(d)];
            if (b != me && std::find(s.below.begin(), s.below.end(), b) == s.below.end()) {
                s.below.push_back(b);
                s.level = std::max(s.level, strands[static_cast<size_t>(b)].level + 1);
            }
        }
    }
    above.resize(strands.size());
    for (size_t s = 0; s < strands.size(); ++s) {
        levels = std::max(levels, strands[s].level + 1);
        for (int b : strands[s].below) above[static_cast<size_t>(b)].push_back(static_cast<int>(s));
    }
    outcomes.resize(strands.size());
}

LaneWalk::LaneWalk(RunContext& ctx, PassScope& scope, int threads, WalkElements walk)
    : s_(std::make_unique<State>(ctx, scope, std::move(walk))) {
    State& s = *s_;
    s.cut();
    int most = 0;
    for (size_t k = 1; k < ctx.plant.aufteilung.size(); ++k) most = std::max(most, ctx.plant.aufteilung[k].iter);
    ctx.steps.at(most);  // every division's slot exists before the threads step in it
    // the step counters of the divisions start from nothing in a run, before
    // any division is computed
    WspTables& wt = ctx.plant.wsp;
    if (!wt.divInit) {
        wt.divInit = true;
        for (DivisionState& d : wt.div) d.it = 0;
    }
    for (int t = 0; t < threads; ++t) {
        auto w = std::make_unique<Worker>(ctx.plant);
        RunContext& c = w->ctx;
        c.settings = ctx.settings;
        c.run = ctx.run;
        c.run.keptDrawing.reset();
        c.walk = ctx.walk;
        c.ui = &w->keeper;
        c.steps.divisions = &ctx.steps;
        c.rep.base = ctx.rep.base;
        c.rep.title = ctx.rep.title;
        c.rep.first = false;  // lines go to its check list in memory (each pass)
        s.workers.push_back(std::move(w));
    }
    for (int t = 1; t < threads; ++t) s.threads.emplace_back([&s, t] { s.helper(*s.workers[static_cast<size_t>(t)]); });
}

LaneWalk::~LaneWalk() {
    {
        std::lock_guard<std::mutex> lk(s_->m);
        s_->quit = true;
    }
    s_->start.notify_all();
    for (std::thread& t : s_->threads) t.join();
}

int LaneWalk::strands() const { return static_cast<int>(s_->strands.size()); }
int LaneWalk::levels() const { return s_->levels; }

void LaneWalk::State::run_strand(Worker& w, int s) {
    const Strand& st = strands[static_cast<size_t>(s)];
    Outcome& o = outcomes[static_cast<size_t>(s)];
    o = {};
    for (int b : st.below) {
        const Outcome& ob = outcomes[static_cast<size_t>(b)];
        if (!ob.done || ob.ierr >= 2 || ob.error) return;  // the run stops below it
    }
    RunContext& c = w.ctx;
    c.run.ierr = ierr0;
    c.run.converged = 1;
    c.rep.last = -1;
    c.rep.worst = worst0;
    c.rep.calls = 0;
    w.keeper.out = &o.said;
    std::fflush(c.rep.unit);
    const size_t from = w.size;
    // the state the walk hands on into the strand's top: the boundary at the
    // outlet, what the element just above left, or none where the strand
    // takes its water from a stored branch state
    if (st.top == ctx.plant.nsys)
        c.cs = ctx.cs;
    else if (st.chained)
        c.cs = scope.left_by(st.top + 1);
    else
        c.cs = Qercmn{};
    c.steps.at(0) = {};
    try {
        walk(c, st.top, st.bottom);
    } catch (...) {
        o.error = std::current_exception();
    }
    std::fflush(c.rep.unit);
    if (w.size > from) o.lines.assign(w.buf + from, w.size - from);
    o.calls = c.rep.calls;
    o.last = c.rep.last;
    o.worst = c.rep.worst;
    o.ierr = c.run.ierr;
    o.moving = c.run.converged == 0;
    o.done = true;
}

void LaneWalk::State::take(Worker& w, const std::function<bool()>* cancelled) {
    std::unique_lock<std::mutex> lk(m);
    for (int taken = 0;;) {
        if (finished == strands.size() || stopping) return;
        if (ready.empty()) {
            ++sleepers;
            wake.wait(lk);
            --sleepers;
            continue;
        }
        const int s = ready.back();
        ready.pop_back();
        lk.unlock();
        run_strand(w, s);
        const bool cancel = cancelled && *cancelled && (++taken & 63) == 0 && (*cancelled)();
        lk.lock();
        ++finished;
        if (cancel) stopping = true;
        for (int a : above[static_cast<size_t>(s)])
            if (--waiting[static_cast<size_t>(a)] == 0) ready.push_back(a);
        // a thread that waits is woken for a strand this one does not take next
        if (sleepers > 0) {
            if (finished == strands.size() || stopping)
                wake.notify_all();
            else if (ready.size() >= 2)
                wake.notify_one();
        }
    }
}

void LaneWalk::State::helper(Worker& w) {
    int seen = 0;
    while (true) {
        {
            std::unique_lock<std::mutex> lk(m);
            start.wait(lk, [&] { return quit || generation != seen; });
            if (quit) return;
            seen = generation;
        }
        take(w, nullptr);
        std::lock_guard<std::mutex> lk(m);
        if (--busy == 0) idle.notify_one();
    }
}

// The strands' messages in the order of the walk, as one thread would have
// told them, up to the strand where the run stops.
void LaneWalk::State::hand_on() {
    for (const Outcome& o : outcomes) {
        if (!o.done) break;
        o.said.replay(ctx.ui);
        if (o.calls > 0 && ctx.rep.first) checks::fehler(ctx, "OUTQQQ");  // opens the check list
        if (!o.lines.empty() && ctx.rep.unit) {
            std::fwrite(o.lines.data(), 1, o.lines.size(), ctx.rep.unit);
            std::fflush(ctx.rep.unit);
        }
        if (o.last >= 0) ctx.rep.last = o.last;
        ctx.rep.worst = std::max(ctx.rep.worst, o.worst);
        ctx.run.ierr = std::max(ctx.run.ierr, o.ierr);
        if (o.moving) ctx.run.converged = 0;
        if (o.error) std::rethrow_exception(o.error);
        if (o.ierr >= 2) break;
    }
}

bool LaneWalk::pass(const std::function<bool()>& cancelled) {
    State& s = *s_;
    s.ierr0 = s.ctx.run.ierr;
    s.worst0 = s.ctx.rep.worst;
    for (auto& w : s.workers) w->fresh_check_list();
    {
        std::lock_guard<std::mutex> lk(s.m);
        s.ready.clear();
        s.waiting.assign(s.strands.size(), 0);
        for (size_t k = s.strands.size(); k-- > 0;) {
            s.waiting[k] = static_cast<int>(s.strands[k].below.size());
            if (s.waiting[k] == 0) s.ready.push_back(static_cast<int>(k));
        }
        s.finished = 0;
        s.stopping = false;
        s.busy = static_cast<int>(s.threads.size());
        ++s.generation;
    }
    s.start.notify_all();
    s.take(*s.workers[0], &cancelled);
    {
        std::unique_lock<std::mutex> lk(s.m);
        s.idle.wait(lk, [&] { return s.busy == 0; });
        if (s.stopping) return false;
    }
    s.hand_on();
    // the next pass starts from what the walk's last element left
    s.ctx.cs = s.scope.left_by(1);
    return !s.ctx.failed();
}

}  // namespace rivola::hyd
