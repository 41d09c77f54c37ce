#include "plant_gen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numeric>
#include <vector>

#include "database/db_tools.h"
#include "model/plant.h"

namespace rivola::gen {

namespace {

// ---------------------------------------------------------------------------
// Rows of tbl_rvldaten as they are built.

struct Value {
    std::string text;   // SQL literal, or empty for a number
    double num = 0.0;
    bool level = false;  // an elevation: shifted when the plant is placed
};

struct Row {
    std::string bez, zu1, zu2, ab1, ab2, desc;
    char tz = 'N', outErk = 'N';
    std::string plotweg;
    std::vector<std::pair<std::string, Value>> cols;

    void num(const std::string& c, double v) { cols.push_back({c, Value{{}, v, false}}); }
    void lvl(const std::string& c, double v) { cols.push_back({c, Value{{}, v, true}}); }
    void txt(const std::string& c, const std::string& v) {
        cols.push_back({c, Value{"'" + v + "'", 0.0, false}});
    }
};

// Column names of the four profiles: o1 upstream, u1 downstream, o2, u2.
struct ProfileCols {
    std::string z, t, h1, b1;
};
ProfileCols profile_cols(const char* which) {
    const std::string w = which;  // "o1", "u1", "o2", "u2"
    const std::string end = w.substr(0, 1), d = w.substr(1, 1);
    const std::string up = end == "o" ? "O" : "U";
    return {"GEO_Z" + up + d, "GEO_" + end + "T" + d, "GEO_" + end + "H" + d + "1",
            "GEO_" + end + "B" + d + "1"};
}

// A rectangular profile of one layer: height h, width b.
void rect(Row& r, const char* which, double z, double h, double b) {
    const ProfileCols c = profile_cols(which);
    r.lvl(c.z, z);
    r.txt(c.t, "T");
    r.num(c.h1, h);
    r.num(c.b1, b);
}

// A circular pipe given by its diameter.
void pipe(Row& r, const char* which, double z, double d) {
    const ProfileCols c = profile_cols(which);
    r.lvl(c.z, z);
    r.txt(c.t, "K");
    r.num(c.b1, d);
}

// Crest head of a sharp-crested weir (m) for discharge q (m3/s) over width b.
double weir_head(double q, double b) {
    const double mu = 0.62;
    return std::pow(q / (2.0 / 3.0 * mu * b * std::sqrt(2.0 * 9.80665)), 2.0 / 3.0);
}

// ---------------------------------------------------------------------------
// Lane structures: the element types each one uses, in flow order.

// ---------------------------------------------------------------------------
// Structures of the lanes and trunks, and the element types each one uses, in
// flow order.

enum Unit {
    U_FEED,        // G: feed channel of a lane
    U_SCREEN,      // R
    U_FLUME,       // M
    U_INFLOW,      // Q: side inflow
    U_INWALL,      // Q W: side inflow chamber closed by a wall
    U_DIST,        // V U B: distribution flume over a weir into a basin
    U_COLLECT,     // B W S: basin, outlet wall, collection flume
    U_TUBES,       // B T: basin drawn off by immersion tubes
    U_BAFFLE,      // G W: channel with a baffle wall
    U_PIPE,        // D: gravity pipe
    U_POINT,       // E: observation point
    U_COUNT
};

struct UnitDef {
    const char* letters;
    double rate;  // structures per lane of a typical lane
};

// The typical lane: a feed channel, about two basins, two walls, two pipes,
// and a weir, a screen, a flume, inflows or immersion tubes in some of the
// lanes. With these rates a plant of 100000 elements and 6000 free divisions
// fills the tables of the model.
const UnitDef kUnits[U_COUNT] = {
    {"G", 1.0},    {"R", 0.31},   {"M", 0.31},  {"Q", 0.81},  {"QW", 0.44}, {"VUB", 0.62},
    {"BWS", 0.62}, {"BT", 0.31},  {"GW", 0.80}, {"D", 1.56},  {"E", 0.0},
};
const char* const kPumpLetters = "PDB";  // pumping station of a trunk

int letter_index(char c) { return c - 'A'; }
int unit_length(int u) { return static_cast<int>(std::strlen(kUnits[u].letters)); }

using Counts = std::array<int, 26>;
using UnitCounts = std::array<int, U_COUNT>;

// Capacity of a letter in the plant model.
int capacity(char c) {
    switch (c) {
        case 'A': return cmn::maxA;
        case 'Z': return cmn::maxZ;
        case 'E': return cmn::maxsys;
        default: return type_capacity(ityp_of_letter(c));
    }
}

// ---------------------------------------------------------------------------

class Builder {
public:
    explicit Builder(unsigned seed) : rng_(seed ? seed : 1) {}

    std::vector<Row> rows;
    Counts used{};

    int add(char letter, const std::string& desc) {
        Row r;
        r.bez = letter + std::to_string(++used[static_cast<size_t>(letter_index(letter))]);
        r.desc = desc.substr(0, 26);
        rows.push_back(std::move(r));
        return static_cast<int>(rows.size()) - 1;
    }
    Row& row(int i) { return rows[static_cast<size_t>(i)]; }

    // Water from `from` (its outlet slot) into `to` (its inlet slot).
    void link(int from, int to, int outSlot = 1, int inSlot = 1) {
        (outSlot == 1 ? row(from).ab1 : row(from).ab2) = row(to).bez;
        (inSlot == 1 ? row(to).zu1 : row(to).zu2) = row(from).bez;
    }

    // A small deterministic variation in [1 - a, 1 + a].
    double vary(double a) {
        rng_ = rng_ * 1103515245u + 12345u;
        const double u = static_cast<double>((rng_ >> 8) & 0xFFFF) / 65535.0;
        return 1.0 + a * (2.0 * u - 1.0);
    }

private:
    unsigned rng_;
};

// Design state carried downstream: the design water level, the design
// discharge and the open channel that carries it.
struct Flow {
    double WL = 0.0;     // design water level
    double q = 0.05;     // design discharge (m3/s)
    double w = 0.8;      // channel width
    double depth = 0.4;  // design depth in channels
    int last = -1;       // the element the next one is fed from
    int lastSlot = 1;    // its outlet slot

    double height() const { return depth + 0.8; }
};

// Channel of a discharge: 0.8 m wide and 0.4 m deep for 50 l/s, wider and
// deeper with more water.
void size_channel(Flow& f, double scale = 1.0) {
    const double r = std::max(f.q, 0.001) / 0.05;
    f.w = 0.8 * std::pow(r, 0.4) * scale;
    f.depth = 0.4 * std::pow(r, 0.2);
}

// Diameter of a pipe for a discharge (about 1.2 m/s when full), at least DN 400.
double pipe_diameter(double q) {
    const double d = std::sqrt(q / 1.2 * 4.0 / 3.141593);
    return std::max(0.4, std::ceil(d * 10.0) / 10.0);
}

void chain(Builder& b, Flow& f, int e) {
    if (f.last >= 0) b.link(f.last, e, f.lastSlot, 1);
    f.last = e;
    f.lastSlot = 1;
}

// --- single elements ---------------------------------------------------------

void channel(Builder& b, Flow& f, const std::string& desc, double L = 10.0) {
    const int e = b.add('G', desc);
    Row& r = b.row(e);
    const double zo = f.WL - f.depth, zu = zo - 0.0005 * L;
    r.num("GEO_L", L);
    r.num("GEO_K", 70.0);
    rect(r, "o1", zo, f.height(), f.w);
    rect(r, "u1", zu, f.height(), f.w);
    chain(b, f, e);
    f.WL -= 0.0005 * L + 0.005;
}

void screen(Builder& b, Flow& f, double zeta, const std::string& desc) {
    const int e = b.add('R', desc);
    Row& r = b.row(e);
    const double zo = f.WL - f.depth;
    r.num("GEO_L", 1.5);
    r.num("GEO_K", 70.0);
    r.num("HVE_zeta1", zeta);
    rect(r, "o1", zo, f.height(), f.w);
    rect(r, "u1", zo - 0.002, f.height(), f.w);
    chain(b, f, e);
    f.WL -= 0.03;
}

// A Venturi flume: a throat of 45 % of the channel width, a sill of 5 cm.
void flume(Builder& b, Flow& f, const std::string& desc) {
    const int e = b.add('M', desc);
    Row& r = b.row(e);
    const double zo = f.WL - f.depth, zu = zo - 0.06;
    r.num("GEO_L", 4.0);
    r.num("GEO_K", 70.0);
    r.txt("HVE_T", "T");
    r.num("HVE_BU", 0.45 * f.w);
    r.num("HVE_H", 0.05);
    rect(r, "o1", zo, f.height(), f.w);
    rect(r, "u1", zu, f.height(), f.w);
    chain(b, f, e);
    f.WL = zu + f.depth * 0.6;
}

void inflow(Builder& b, Flow& f, double qls, const std::string& desc) {
    const int e = b.add('Q', desc);
    Row& r = b.row(e);
    const double zo = f.WL - f.depth;
    r.num("Q", qls);
    r.num("GEO_L", 1.0);
    r.num("GEO_K", 70.0);
    rect(r, "o1", zo, f.height(), f.w);
    rect(r, "u1", zo - 0.001, f.height(), f.w);
    chain(b, f, e);
    f.q += qls * 0.001;
    f.WL -= 0.002;
}

void basin(Builder& b, Flow& f, const std::string& desc, double depth = 2.5) {
    const int e = b.add('B', desc);
    Row& r = b.row(e);
    const double z = f.WL - depth, width = std::max(4.0, 2.0 * f.w);
    r.num("GEO_L", 25.0);
    r.num("GEO_K", 70.0);
    rect(r, "o1", z, depth + 0.5, width);
    rect(r, "u1", z, depth + 0.5, width);
    chain(b, f, e);
    f.WL -= 0.002;
}

// Crest width of the weirs of a flow: 1.5 m for a lane, wider for more water.
double crest_width(const Flow& f) { return std::max(1.5, 2.0 * f.w); }

// A sharp-crested weir of crest width cw; the water falls freely behind it.
void weir(Builder& b, Flow& f, double cw, const std::string& desc) {
    const int e = b.add('U', desc);
    Row& r = b.row(e);
    const double crest = f.WL - weir_head(f.q, cw) - 0.01;
    r.num("HVE_mue", 0.62);
    r.num("HVE_N", 1);
    r.txt("HVE_T", "T");
    rect(r, "o1", crest, 0.5, cw);
    chain(b, f, e);
    f.WL = crest - 0.12;
}

// Openings DN 300 of a wall: one for each 17 l/s (about 0.25 m/s), at least three.
int wall_openings(const Flow& f) { return std::max(3, static_cast<int>(std::ceil(f.q / 0.017))); }
double wall_width(const Flow& f) { return std::max(3.0, 0.4 * wall_openings(f) + 0.6); }

// A wall with round openings DN 300, submerged on both sides.
void wall(Builder& b, Flow& f, const std::string& desc) {
    const int e = b.add('W', desc);
    Row& r = b.row(e);
    r.txt("HVE_T", "K");
    r.num("HVE_H", 0.3);
    r.num("HVE_N", wall_openings(f));
    r.num("HVE_zeta1", 1.5);
    rect(r, "o1", f.WL - 0.55, 1.0, wall_width(f));
    chain(b, f, e);
    f.WL -= 0.03;
}

// A flume along a row of weirs or walls (V) or below them (S), as long as the
// structure it serves is wide.
void side_flume(Builder& b, Flow& f, char letter, double length, const std::string& desc) {
    const int e = b.add(letter, desc);
    Row& r = b.row(e);
    const double z = f.WL - 0.5;
    r.num("GEO_L", length);
    r.num("GEO_K", 70.0);
    rect(r, "o1", z, f.height(), f.w);
    rect(r, "u1", z, f.height(), f.w);
    chain(b, f, e);
    f.WL -= 0.005;
}

// Perforated tubes DN 400 drawing off a basin: one for each 25 l/s, at least
// two, running full well below the water level.
void tubes(Builder& b, Flow& f, const std::string& desc) {
    const int e = b.add('T', desc);
    Row& r = b.row(e);
    const double z = f.WL - 1.1;
    r.num("GEO_L", 8.0);
    r.num("GEO_K", 0.5);
    r.num("HVE_N", std::max(2, static_cast<int>(std::ceil(f.q / 0.025))));
    r.txt("HVE_T", "K");
    r.num("HVE_H", 0.08);
    r.num("HVE_A", 0.4);
    r.num("HVE_zeta1", 1.5);
    pipe(r, "o1", z, 0.4);
    pipe(r, "u1", z, 0.4);
    chain(b, f, e);
    f.WL -= 0.15;
}

// A pipe laid with its crown 0.3 m below the water level: it runs full. (A
// pipe near the transition between free-surface and pressure flow makes the
// energy heights at the divisions jump and their iteration circle.)
void gravity_pipe(Builder& b, Flow& f, const std::string& desc) {
    const int e = b.add('D', desc);
    Row& r = b.row(e);
    const double d = pipe_diameter(f.q) + 0.1;
    const double zo = f.WL - d - 0.3, zu = zo - 0.02;
    r.num("GEO_L", 20.0);
    r.num("GEO_K", 0.5);
    r.num("HVE_zeta1", 0.3);
    pipe(r, "o1", zo, d);
    pipe(r, "u1", zu, d);
    chain(b, f, e);
    f.WL -= 0.05;
}

// Pump sump switching on at the design level, a rising main lifting the water
// back up to the level `top` (at least 1 m) and the basin it discharges into.
void pumping(Builder& b, Flow& f, double top, const std::string& desc) {
    const double on = f.WL;
    top = std::max(top, on + 1.0);
    const int p = b.add('P', desc + " Pumpwerk");
    {
        Row& r = b.row(p);
        r.num("HVE_H", 0.9);
        rect(r, "o1", on - 0.9, 2.0, std::max(2.0, f.w));
        rect(r, "u1", on - 0.9, 2.0, std::max(2.0, f.w));
    }
    chain(b, f, p);
    const int d = b.add('D', desc + " Druckltg");
    {
        Row& r = b.row(d);
        const double dn = pipe_diameter(f.q);
        r.num("GEO_L", 40.0);
        r.num("GEO_K", 0.5);
        r.num("HVE_zeta1", 0.5);
        pipe(r, "o1", on + 0.2, dn);
        pipe(r, "u1", top - 1.5, dn);
    }
    chain(b, f, d);
    f.WL = top;
    basin(b, f, desc + " Hochbecken", 2.0);
}

void point(Builder& b, Flow& f, const std::string& desc) {
    const int e = b.add('E', desc);
    Row& r = b.row(e);
    rect(r, "o1", f.WL - f.depth, f.height(), f.w);
    rect(r, "u1", f.WL - f.depth, f.height(), f.w);
    chain(b, f, e);
}

std::string part_desc(int stage, int lane, const char* what) {
    char buf[64];
    if (lane > 0) std::snprintf(buf, sizeof buf, "St%d/%d %s", stage, lane, what);
    else std::snprintf(buf, sizeof buf, "St%d %s", stage, what);
    return buf;
}

// The structures of a lane (or of a trunk) in flow order.
void build_units(Builder& b, Flow& f, const UnitCounts& k, int stage, int lane) {
    auto d = [&](const char* what) { return part_desc(stage, lane, what); };
    const double cw = crest_width(f) * b.vary(0.05);
    const int first = static_cast<int>(b.rows.size());
    for (int i = 0; i < k[U_FEED]; ++i) channel(b, f, d("Zulaufrinne"));
    for (int i = 0; i < k[U_SCREEN]; ++i) screen(b, f, 1.2, d("Feinrechen"));
    for (int i = 0; i < k[U_FLUME]; ++i) flume(b, f, d("Messgerinne"));
    for (int i = 0; i < k[U_INFLOW]; ++i) inflow(b, f, 0.5, d("Einleitung"));
    for (int i = 0; i < k[U_INWALL]; ++i) {
        inflow(b, f, 0.5, d("Einleitschacht"));
        wall(b, f, d("Drosselwand"));
    }
    for (int i = 0; i < k[U_DIST]; ++i) {
        side_flume(b, f, 'V', cw, d("Verteilrinne"));
        weir(b, f, cw, d("Zulaufwehr"));
        basin(b, f, d("Becken"));
    }
    for (int i = 0; i < k[U_COLLECT]; ++i) {
        basin(b, f, d("Becken"));
        const double ww = wall_width(f);
        wall(b, f, d("Ablaufwand"));
        side_flume(b, f, 'S', ww, d("Sammelrinne"));
    }
    for (int i = 0; i < k[U_TUBES]; ++i) {
        basin(b, f, d("Belebung"));
        tubes(b, f, d("Tauchrohre"));
    }
    for (int i = 0; i < k[U_BAFFLE]; ++i) {
        channel(b, f, d("Rinne"));
        wall(b, f, d("Prallwand"));
    }
    for (int i = 0; i < k[U_PIPE]; ++i) gravity_pipe(b, f, d("Leitung"));
    for (int i = 0; i < k[U_POINT]; ++i) point(b, f, d("Messpunkt"));
    if (static_cast<int>(b.rows.size()) > first) b.row(first).tz = 'J';
}

// --- plan of the stages ----------------------------------------------------------

struct Plan {
    int stages = 0;
    std::vector<int> lanes;          // lanes per stage
    std::vector<UnitCounts> lane;    // structures of every lane of a stage (all alike)
    std::vector<UnitCounts> trunk;   // structures of the trunk behind a stage
    std::vector<bool> pump;          // a pumping station heads the trunk of a stage
};

// Chooses how many of each structure the plant gets: all kinds grow together
// with their rates until a capacity of the model or the element count binds;
// the remaining elements are observation points. All lanes of a stage are
// alike, so that its free divisions split the water about evenly; what cannot
// be spread over whole stages stands in the trunks between the stages.
bool plan_stages(int laneElements, Counts use, Plan& plan, std::string& why) {
    const int L = std::accumulate(plan.lanes.begin(), plan.lanes.end(), 0);
    std::array<long, U_COUNT> total{};
    long placed = 0;
    auto fits = [&](int u, long n) {
        Counts c{};
        for (const char* p = kUnits[u].letters; *p; ++p) c[static_cast<size_t>(letter_index(*p))]++;
        for (int t = 0; t < 26; ++t)
            if (c[t] && use[t] + n * c[t] > capacity(static_cast<char>('A' + t))) return false;
        return placed + n * unit_length(u) <= laneElements;
    };
    auto take = [&](int u, long n) {
        for (const char* p = kUnits[u].letters; *p; ++p)
            use[static_cast<size_t>(letter_index(*p))] += static_cast<int>(n);
        placed += n * unit_length(u);
        total[u] += n;
    };
    // one feed channel per lane first, as far as the channels reach
    {
        long n = L;
        while (n > 0 && !fits(U_FEED, n)) --n;
        take(U_FEED, n);
    }
    std::array<bool, U_COUNT> frozen{};
    frozen[U_POINT] = frozen[U_FEED] = true;
    for (double alpha = 0.05; alpha < 1000.0; alpha += 0.05) {
        bool any = false;
        for (int u = 0; u < U_COUNT; ++u) {
            if (frozen[u]) continue;
            any = true;
            const long n = static_cast<long>(std::floor(alpha * kUnits[u].rate * L)) - total[u];
            if (n <= 0) continue;
            if (fits(u, n)) {
                take(u, n);
                continue;
            }
            long lo = 0, hi = n;  // the most that still fit
            while (lo < hi) {
                const long mid = (lo + hi + 1) / 2;
                if (fits(u, mid)) lo = mid;
                else hi = mid - 1;
            }
            take(u, lo);
            frozen[u] = true;
        }
        if (!any) break;
    }
    total[U_POINT] = laneElements - placed;

    const size_t S = static_cast<size_t>(plan.stages);
    plan.lane.assign(S, {});
    plan.trunk.assign(S, {});
    for (int u = 0; u < U_COUNT; ++u) {
        double acc = 0.0;
        long used = 0;
        for (size_t st = 0; st < S; ++st) {
            const int m = plan.lanes[st];
            acc += static_cast<double>(total[u]) * m / L;
            long k = static_cast<long>(std::floor(acc / m + 1e-9));
            k = std::min(k, (total[u] - used) / m);
            plan.lane[st][u] = static_cast<int>(k);
            used += k * m;
            acc -= static_cast<double>(k * m);
        }
        // the rest, evenly over the trunks
        long rest = total[u] - used;
        for (size_t st = 0; st < S; ++st) {
            const long share = rest / static_cast<long>(S - st);
            plan.trunk[st][u] = static_cast<int>(share);
            rest -= share;
        }
    }
    // a lane needs at least one element: one moves in from the trunk
    for (size_t st = 0; st < S; ++st) {
        auto& k = plan.lane[st];
        if (std::accumulate(k.begin(), k.end(), 0) > 0) continue;
        auto& t = plan.trunk[st];
        const int m = plan.lanes[st];
        bool moved = false;
        for (int u = U_COUNT - 1; u >= 0 && !moved; --u)
            if (unit_length(u) == 1 && t[u] >= m) {
                t[u] -= m;
                k[u] = 1;
                moved = true;
            }
        if (!moved) {
            why = "too few elements for the lanes of the stages";
            return false;
        }
    }
    return true;
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    std::string t = buf;
    while (!t.empty() && t.back() == '0') t.pop_back();
    if (!t.empty() && t.back() == '.') t.pop_back();
    if (t == "-0") t = "0";
    return t;
}

std::string quoted(const std::string& s) {
    std::string o = "'";
    for (char c : s) o += c == '\'' ? std::string("''") : std::string(1, c);
    return o + "'";
}

struct Layout {
    int stages = 0;
    std::vector<int> lanes;
};

// Stages and their lanes for a number of free divisions.
Layout layout(const PlantShape& s, int nFree) {
    Layout l;
    const int m = std::max(2, s.lanesPerStage);
    if (nFree <= 0) {
        l.stages = 1;
        l.lanes = {1};
        return l;
    }
    l.stages = (nFree + (m - 1) - 1) / (m - 1);
    for (int st = 0; st < l.stages; ++st) {
        const int div = nFree / l.stages + (st < nFree % l.stages ? 1 : 0);
        l.lanes.push_back(div + 1);
    }
    return l;
}

int free_divisions(const PlantShape& s) {
    if (s.freeDivisions >= 0) return s.freeDivisions;
    return std::min(cmn::maxIter, static_cast<int>(std::lround(s.elements * 0.06)));
}

constexpr int kHeadWorks = 6;   // Q, G, R, G, M, G
constexpr int kOutlet = 1;      // G

}  // namespace

int smallest_plant(const PlantShape& shape) {
    const int nFree = free_divisions(shape);
    const Layout l = layout(shape, nFree);
    const int lanes = std::accumulate(l.lanes.begin(), l.lanes.end(), 0);
    // head works, outlet, a trunk channel per stage, divisions, confluences, lanes
    return kHeadWorks + kOutlet + l.stages + 2 * nFree + lanes;
}


PlantTables build(const PlantShape& shape, PlantSummary& sum, std::string& why) {
    sum = PlantSummary{};
    why.clear();
    const int nFree = free_divisions(shape);
    if (nFree > cmn::maxIter) {
        why = "more free divisions than the model holds (" + std::to_string(cmn::maxIter) + ")";
        return {};
    }
    if (shape.elements > cmn::maxsys) {
        why = "more elements than the model holds (" + std::to_string(cmn::maxsys) + ")";
        return {};
    }
    if (shape.elements < smallest_plant(shape)) {
        why = "a plant with " + std::to_string(nFree) + " free divisions needs at least " +
              std::to_string(smallest_plant(shape)) + " elements";
        return {};
    }
    const Layout lay = layout(shape, nFree);
    Plan plan;
    plan.stages = lay.stages;
    plan.lanes = lay.lanes;
    const int nLanes = std::accumulate(lay.lanes.begin(), lay.lanes.end(), 0);
    int laneElements = shape.elements - (kHeadWorks + kOutlet + lay.stages + 2 * nFree);
    // pumping stations head some trunks, taking at most a quarter of the
    // elements the lanes can spare, and no more than the model holds of each
    // letter of a station
    int nPump = std::min(lay.stages, (laneElements - nLanes) / 12);
    for (const char* p = kPumpLetters; *p; ++p) nPump = std::min(nPump, capacity(*p) / 2);
    laneElements -= 3 * nPump;
    plan.pump.assign(static_cast<size_t>(lay.stages), false);
    for (int st = 0; st < lay.stages; ++st)
        plan.pump[static_cast<size_t>(st)] =
            (st + 1) * nPump / lay.stages > st * nPump / lay.stages;
    Counts fixed{};
    fixed[letter_index('Q')] = 1;
    fixed[letter_index('R')] = 1;
    fixed[letter_index('M')] = 1;
    fixed[letter_index('G')] = 3 + kOutlet + lay.stages;
    fixed[letter_index('A')] = nFree;
    fixed[letter_index('Z')] = nFree;
    for (const char* p = kPumpLetters; *p; ++p) fixed[letter_index(*p)] += nPump;
    if (!plan_stages(laneElements, fixed, plan, why)) return {};

    Builder b(shape.seed);
    const int mMax = *std::max_element(lay.lanes.begin(), lay.lanes.end());
    const double qLane = shape.lanesDischarge * 0.001;
    const double qTotal = qLane * mMax;     // m3/s

    Flow f;
    f.q = qTotal;
    size_channel(f);
    // head works
    const int q1 = b.add('Q', "Zulauf Sammelkanal");
    {
        Row& r = b.row(q1);
        r.num("Q", qTotal * 1000.0);
        rect(r, "o1", f.WL - f.depth, f.height(), f.w);
        r.tz = 'J';
        r.outErk = 'J';
    }
    chain(b, f, q1);
    channel(b, f, "Zulaufkanal", 20.0);
    screen(b, f, 0.8, "Grobrechen");
    channel(b, f, "Rechenablauf", 10.0);
    flume(b, f, "Venturi-Messgerinne");
    channel(b, f, "Ablauf Messgerinne", 10.0);

    const double headWL = f.WL;  // the pumps lift the water back to this level
    for (int st = 0; st < plan.stages; ++st) {
        const size_t s = static_cast<size_t>(st);
        const int m = plan.lanes[s];
        const Flow trunkFlow = f;
        const double zA = f.WL - f.depth;
        double endWL = 1e30;
        std::vector<int> confluences;
        int laneNo = 0;
        double sideInflow = 0.0;  // what the lanes take in on their way (m3/s)
        const UnitCounts& laneUnits = plan.lane[s];
        bool bare = true;  // lanes of observation points only
        for (int u = 0; u < U_COUNT; ++u)
            if (u != U_POINT && laneUnits[u] > 0) bare = false;
        // a tree of divisions over lanes [lo, hi), fed from (from, slot);
        // returns the element that carries the gathered water on
        std::function<int(int, int, int, int)> tree = [&](int from, int slot, int lo,
                                                          int hi) -> int {
            if (hi - lo == 1) {
                Flow lf;
                lf.WL = trunkFlow.WL - 0.03;
                lf.q = trunkFlow.q / m;
                size_channel(lf, b.vary(0.05));
                lf.last = from;
                lf.lastSlot = slot;
                build_units(b, lf, plan.lane[s], st + 1, ++laneNo);
                endWL = std::min(endWL, lf.WL);
                sideInflow += lf.q - trunkFlow.q / m;
                return lf.last;
            }
            const int a = b.add('A', part_desc(st + 1, lo + 1, "Aufteilung"));
            {
                Row& r = b.row(a);
                rect(r, "o1", zA, trunkFlow.height(), trunkFlow.w);
                rect(r, "u1", zA, trunkFlow.height(), trunkFlow.w);
                rect(r, "u2", zA, trunkFlow.height(), trunkFlow.w);
                if (!bare) {
                    r.num("HVE_zeta1", 0.3);
                    r.num("HVE_zeta1_2", 0.5);
                } else {
                    // lanes of observation points only lose nothing that
                    // depends on their discharge, so the division's own
                    // branch losses decide the split: a loss K v^2/2g with
                    // the branch's own velocity, referred to the inlet
                    // velocity (branch half the inlet's section), is
                    // 4 K r^2 at the branch's share r
                    static const char* const k1[] = {"HVE_zeta1", "HVE_zeta2", "HVE_zeta3",
                                                     "HVE_zeta4", "HVE_zeta5", "HVE_zeta6"};
                    static const char* const k2[] = {"HVE_zeta1_2", "HVE_zeta2_2", "HVE_zeta3_2",
                                                     "HVE_zeta4_2", "HVE_zeta5_2", "HVE_zeta6_2"};
                    for (int j = 0; j < 6; ++j) {
                        const double r2 = std::max(0.2 * j * 0.2 * j, 0.0025);
                        r.num(k1[j], 4.0 * 0.3 * r2);
                        r.num(k2[j], 4.0 * 0.5 * r2);
                    }
                }
                r.tz = 'J';
            }
            b.link(from, a, slot, 1);
            const int mid = (lo + hi) / 2;
            const int l1 = tree(a, 1, lo, mid);
            const int l2 = tree(a, 2, mid, hi);
            const int z = b.add('Z', part_desc(st + 1, lo + 1, "Zusammenfluss"));
            b.row(z).num("HVE_zeta1", 0.5);
            b.row(z).num("HVE_zeta1_2", 0.5);
            b.link(l1, z, 1, 1);
            b.link(l2, z, 1, 2);
            confluences.push_back(z);
            return z;
        };
        const int out = tree(f.last, f.lastSlot, 0, m);
        // below the stage the trunk carries the side inflows of its lanes too
        f.q = trunkFlow.q + sideInflow;
        size_channel(f);
        // the confluences lie below the lowest lane end
        const double zZ = endWL - f.depth;
        for (int z : confluences) {
            Row& r = b.row(z);
            rect(r, "o1", zZ, f.height(), f.w);
            rect(r, "o2", zZ, f.height(), f.w);
            rect(r, "u1", zZ, f.height(), f.w);
        }
        f.last = out;
        f.lastSlot = 1;
        f.WL = endWL - 0.02;
        channel(b, f, part_desc(st + 1, 0, "Verbindungskanal"), 15.0);
        b.row(f.last).outErk = 'J';
        b.row(f.last).tz = 'J';
        if (plan.pump[s]) pumping(b, f, headWL, part_desc(st + 1, 0, ""));
        build_units(b, f, plan.trunk[s], st + 1, 0);
    }
    channel(b, f, "Ablaufkanal", 30.0);
    b.row(f.last).ab1 = "ENDE";

    // place the plant: the lowest invert at 100 m a.s.l.
    double zmin = 1e30, zmax = -1e30;
    for (const Row& r : b.rows)
        for (const auto& c : r.cols)
            if (c.second.level) {
                zmin = std::min(zmin, c.second.num);
                zmax = std::max(zmax, c.second.num);
            }
    const double shift = 100.0 - zmin;
    double outletInvert = 0.0;
    for (const auto& c : b.rows.back().cols)
        if (c.first == "GEO_ZU1") outletInvert = c.second.num + shift;

    PlantTables t;
    t.comment = "Generated plant: " + std::to_string(b.rows.size()) + " elements, " +
                std::to_string(plan.stages) + " stages, " + std::to_string(nLanes) + " lanes, " +
                std::to_string(nFree) + " free divisions.";
    t.all = {
        {"Titel", quoted("Grossanlage " + std::to_string(b.rows.size()) + " Elemente") +
                      " || char(10) || " +
                      quoted(std::to_string(plan.stages) + " Stufen, " +
                             std::to_string(nLanes) + " Strassen")},
        {"Vmin", "0.05"},
        {"Vmax", "5.0"},
        {"Lmax", "200.0"},
        {"DIFFmax", number(std::ceil(zmax - zmin + 1.0))},
        {"Zeilen", "60"},
        {"Bezug", "0.0"},
        {"Wasserstand", number(outletInvert + f.depth)},
        {"Q_ls", "'J'"},
        {"AnhangERG", "'Anlage 1'"},
        {"AnhangERK", "'Anlage 2'"},
        {"AnhangQVE", "'Anlage 3'"},
        {"datum", "'2024-01-15'"},
    };
    t.rows.reserve(b.rows.size());
    int er = 0;
    for (const Row& r : b.rows) {
        ElementRow e;
        e.fields = {{"er", std::to_string(er += 10)},
                    {"sr", "1"},
                    {"bez", quoted(r.bez)},
                    {"beschreibung", quoted(r.desc)},
                    {"tz", std::string("'") + r.tz + "'"},
                    {"out_erk", std::string("'") + r.outErk + "'"}};
        auto link = [&](const char* c, const std::string& v) {
            if (!v.empty()) e.fields.push_back({c, quoted(v)});
        };
        link("zulauf1", r.zu1);
        link("zulauf2", r.zu2);
        link("ablauf1", r.ab1);
        link("ablauf2", r.ab2);
        for (const auto& c : r.cols)
            e.fields.push_back(
                {c.first, c.second.text.empty()
                              ? number(c.second.num + (c.second.level ? shift : 0.0))
                              : c.second.text});
        t.rows.push_back(std::move(e));
        sum.byLetter[static_cast<size_t>(letter_index(r.bez[0]))]++;
    }
    sum.elements = static_cast<int>(b.rows.size());
    sum.stages = plan.stages;
    sum.lanes = nLanes;
    sum.freeDivisions = nFree;
    sum.inflow = qTotal * 1000.0;
    if (sum.elements != shape.elements) {
        why = "internal: " + std::to_string(sum.elements) + " elements built instead of " +
              std::to_string(shape.elements);
        return {};
    }
    return t;
}

std::string to_sql(const PlantTables& t) {
    std::string sql;
    sql.reserve(t.rows.size() * 400 + 4096);
    if (!t.comment.empty()) sql += "-- " + t.comment + "\n";
    sql += std::string("CREATE TABLE tbl_all ") + input::kTblAllColumns + ";\n";
    sql += std::string("CREATE TABLE tbl_rvldaten ") + input::kTblRvldatenColumns + ";\n";
    auto insert = [&](const char* table, const std::vector<Field>& f) {
        std::string cols, vals;
        for (const Field& x : f) {
            cols += (cols.empty() ? "" : ", ") + x.column;
            vals += (vals.empty() ? "" : ", ") + x.literal;
        }
        sql += std::string("INSERT INTO ") + table + " (" + cols + ") VALUES (" + vals + ");\n";
    };
    if (!t.all.empty()) insert("tbl_all", t.all);
    for (const ElementRow& r : t.rows) insert("tbl_rvldaten", r.fields);
    return sql;
}

std::string generate(const PlantShape& shape, PlantSummary& sum, std::string& why) {
    const PlantTables t = build(shape, sum, why);
    return why.empty() ? to_sql(t) : std::string();
}

}  // namespace rivola::gen
