// Water levels of a mild reach computed by whole runs of the command-line
// program, against the gradually varied flow equation integrated here in
// double precision: a drawdown towards the critical depth at a break into a
// steep reach, split into any number of elements, and a backwater curve
// behind a high downstream level.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <sstream>

#include "common/hydraulic_refs.h"
#include "common/test_util.h"
#include "common/variant_db.h"

using namespace rivola;

namespace {

using ref::kG;

// Area, surface width and hydraulic radius of a section at depth h.
struct Section { double A, B, R; };
using Shape = std::function<Section(double)>;

Shape rectangle(double b) {
    return [b](double h) { return Section{b * h, b, b * h / (b + 2 * h)}; };
}

Shape circle(double D) {
    return [D](double h) {
        const double t = 2 * std::acos(1 - 2 * h / D);  // wetted angle
        const double A = D * D / 8 * (t - std::sin(t));
        return Section{A, D * std::sin(t / 2), A / (D * t / 2)};
    };
}

double froude2(const Shape& s, double h, double Q) {
    const Section c = s(h);
    return Q * Q * c.B / (kG * c.A * c.A * c.A);
}

double friction(const Shape& s, double h, double Q, double kst) {
    const Section c = s(h);
    return Q * Q / (kst * kst * c.A * c.A * std::pow(c.R, 4.0 / 3.0));
}

double critical_depth(const Shape& s, double Q, double hmax) {
    return ref::bisect([&](double h) { return 1 - froude2(s, h, Q); }, 1e-4, hmax);
}

// Depth at distance L upstream of a section at depth h0: the gradually
// varied flow equation integrated in the depth, dx/dh = (1 - Fr^2)/(Sf - S0)
// for x against the flow (finite at the critical depth), by Simpson steps of
// 1 micrometre, until the distance is reached.
double depth_upstream(const Shape& s, double h0, double L, double S0, double Q, double kst) {
    auto dxdh = [&](double h) { return (1 - froude2(s, h, Q)) / (friction(s, h, Q, kst) - S0); };
    const double dh = (friction(s, h0, Q, kst) > S0 ? 1.0 : -1.0) * 1e-6;
    double h = h0, x = 0;
    for (;;) {
        const double k = dh / 6 * (dxdh(h) + 4 * dxdh(h + dh / 2) + dxdh(h + dh));
        if (x + k >= L) return h + dh * (L - x) / k;
        x += k;
        h += dh;
    }
}

// The plant: an inlet, a mild reach of 40 m (slope 1 per mille, Strickler 70)
// split into n elements, and either a steep reach of 10 m (slope 5 %) into a
// low outlet level or the end of the reach at the outlet level `wsp`.
std::string plant(int n, const std::string& profile, double Q, bool steep, double wsp) {
    const std::string src = test::source_file("examples/kleine_anlage.sql");
    std::ostringstream s;
    s << src.substr(0, src.find("INSERT INTO tbl_all"));
    s << "INSERT INTO tbl_all (Titel, Vmin, Vmax, Bmin, Bmax, Hmin, Hmax, Lmax, DIFFmax, Zeilen, Bezug, "
         "Wasserstand, Q_ls, AnhangERG, AnhangERK, AnhangQVE) VALUES ('Gerinne', 0, 9, 0.1, 9, 0.1, 9, 100, 10, 60, "
         "0, "
      << wsp << ", 'J', 'a', 'b', 'c');\n";
    const std::string cols = "GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11";
    s << "INSERT INTO tbl_rvldaten (er, sr, bez, ablauf1, beschreibung, Q, tz, GEO_ZO1, GEO_oT1, GEO_oH11, "
         "GEO_oB11) VALUES (1, 1, 'Q1', 'G1', 'Zulauf', "
      << Q * 1000 << ", 'J', 100.04, " << profile << ");\n";
    const double L = 40.0 / n;
    s.precision(10);
    for (int k = 1; k <= n; ++k) {
        const std::string next = k < n ? "G" + std::to_string(k + 1) : steep ? "GS" : "ENDE";
        s << "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, " << cols << ") VALUES ("
          << k + 1 << ", 1, 'G" << k << "', '" << (k == 1 ? "Q1" : "G" + std::to_string(k - 1)) << "', '" << next
          << "', 'mild', 'J', " << L << ", 70, " << 100.04 - (k - 1) * L * 0.001 << ", " << profile << ", "
          << 100.04 - k * L * 0.001 << ", " << profile << ");\n";
    }
    if (steep)
        s << "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, " << cols << ") VALUES ("
          << n + 2 << ", 1, 'GS', 'G" << n << "', 'ENDE', 'steil', 'J', 10, 70, 100.0, " << profile
          << ", 99.5, " << profile << ");\n";
    return s.str();
}

// The depth at the upstream end of G1 in the run's CSV file.
double upstream_depth(const std::string& csv) {
    for (const std::string& line : test::read_lines(csv)) {
        const auto f = test::fields(line, ';');
        if (f.size() > 10 && f[2] == "G1" && f[1] == "1") return std::stod(f[10]) - std::stod(f[7]);
    }
    return -1;
}

}  // namespace

TEST(MildReach, LevelsFollowTheFlowEquationForAnySplit) {
    const struct {
        const char* what;
        int n;
        const char* profile;   // the profile columns of every end
        Shape shape;
        double Q;
        bool steep;            // drawdown to the critical depth at the break
        double wsp;            // outlet level (backwater when not steep)
        double tol;
    } cases[] = {
        {"rectangle 1 m, drawdown, one element", 1, "'T', 1.5, 1.0", rectangle(1.0), 0.5, true, 90.0, 0.002},
        {"rectangle 1 m, drawdown, 40 elements", 40, "'T', 1.5, 1.0", rectangle(1.0), 0.5, true, 90.0, 0.002},
        {"rectangle 1 m, drawdown, 7 elements", 7, "'T', 1.5, 1.0", rectangle(1.0), 0.5, true, 90.0, 0.002},
        {"pipe DN 600 part full, drawdown", 1, "'K', NULL, 0.6", circle(0.6), 0.15, true, 90.0, 0.002},
        {"pipe DN 600 part full, drawdown, 10 elements", 10, "'K', NULL, 0.6", circle(0.6), 0.15, true, 90.0, 0.002},
        // an M1 curve behind a level 1.0 m above the outlet invert
        {"rectangle 1 m, backwater, 8 elements", 8, "'T', 1.5, 1.0", rectangle(1.0), 0.5, false, 101.0, 0.001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir("reach");
        std::string status;
        test::load_variant(dir, "reach", plant(c.n, c.profile, c.Q, c.steep, c.wsp), status);
        ASSERT_EQ(status, "ok");
        const test::ProgramRun r = test::run_program(dir.str(), "rivola", "--yes reach.mdb");
        ASSERT_LT(r.status, 2) << r.out;
        // the reference starts where the reach ends: at the critical depth
        // of the break, or at the outlet level
        const double hc = critical_depth(c.shape, c.Q, 1.4);
        const double h0 = c.steep ? hc : c.wsp - (100.04 - 0.04);
        const double want = depth_upstream(c.shape, h0, 40.0, 0.001, c.Q, 70.0);
        const double got = upstream_depth(dir.str() + "reach.csv");
        EXPECT_NEAR(got, want, c.tol) << "critical depth " << hc;
    }
}
