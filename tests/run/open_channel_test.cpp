// Open channels computed by whole runs of the command-line program against
// references computed here in double precision: the water levels of a mild
// reach against the gradually varied flow equation (a drawdown towards the
// critical depth at a break into a steep reach, split into any number of
// elements, and a backwater curve behind a high downstream level), and a weir
// whose tail water rises through the crest against the weir formula below
// the switch, the crest energy balance well above it, and a steady rise in
// between.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/hydraulic_refs.h"
#include "common/variant_db.h"

using namespace rivola;

namespace {

using ref::kG;

// The tables of the examples, the base settings with the outlet level `wsp`
// and the inlet Q1 of `Q` m3/s at the level `z` into G1.
std::string head(double wsp, double Q, double z, const std::string& profile) {
    const std::string src = test::source_file("examples/kleine_anlage.sql");
    std::ostringstream s;
    s.precision(10);
    s << src.substr(0, src.find("INSERT INTO tbl_all"))
      << "INSERT INTO tbl_all (Titel, Vmin, Vmax, Bmin, Bmax, Hmin, Hmax, Lmax, DIFFmax, Zeilen, Bezug, "
         "Wasserstand, Q_ls, AnhangERG, AnhangERK, AnhangQVE) VALUES ('Gerinne', 0, 9, 0.1, 9, 0.1, 9, 100, 10, 60, "
         "0, " << wsp << ", 'J', 'a', 'b', 'c');\n"
      << "INSERT INTO tbl_rvldaten (er, sr, bez, ablauf1, beschreibung, Q, tz, GEO_ZO1, GEO_oT1, GEO_oH11, "
         "GEO_oB11) VALUES (1, 1, 'Q1', 'G1', 'Zulauf', " << Q * 1000 << ", 'J', " << z << ", " << profile << ");\n";
    return s.str();
}

// A channel row up to its number: er, sr, bez, links, text, tz, length,
// roughness and both end profiles follow.
const char* const kChannel =
    "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, "
    "GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11) VALUES (";

// The fields of the first line of element `bez` in a run's CSV file.
std::vector<std::string> csv_row(const std::string& csv, const std::string& bez) {
    for (const std::string& line : test::read_lines(csv)) {
        auto f = test::fields(line, ';');
        if (f.size() > 13 && f[2] == bez && f[1] == "1") return f;
    }
    return {};
}

// The plant: an inlet, a mild reach of 40 m (slope 1 per mille, Strickler 70)
// split into n elements, and either a steep reach of 10 m (slope 5 %) into a
// low outlet level or the end of the reach at the outlet level `wsp`.
std::string reach_plant(int n, const std::string& profile, double Q, bool steep, double wsp) {
    std::ostringstream s;
    s.precision(10);
    s << head(wsp, Q, 100.04, profile);
    const double L = 40.0 / n;
    for (int k = 1; k <= n; ++k) {
        const std::string next = k < n ? "G" + std::to_string(k + 1) : steep ? "GS" : "ENDE";
        s << kChannel << k + 1 << ", 1, 'G" << k << "', '" << (k == 1 ? "Q1" : "G" + std::to_string(k - 1)) << "', '"
          << next << "', 'mild', 'J', " << L << ", 70, " << 100.04 - (k - 1) * L * 0.001 << ", " << profile << ", "
          << 100.04 - k * L * 0.001 << ", " << profile << ");\n";
    }
    if (steep)
        s << kChannel << n + 2 << ", 1, 'GS', 'G" << n << "', 'ENDE', 'steil', 'J', 10, 70, 100.0, " << profile
          << ", 99.5, " << profile << ");\n";
    return s.str();
}

constexpr double kQ = 0.3;       // m3/s
constexpr double kB = 3.0;       // width of the channels and of the crest, m
constexpr double kMue = 0.62;
constexpr double kCrest = 99.30;
constexpr double kInvert = 98.50;  // invert of the channels on both sides

// Inlet, a 10 m approach channel, the weir and a short tail channel into the
// outlet level of each flow case.
std::string weir_plant(const std::vector<double>& tails, const char* exponent) {
    const std::string prof = "'T', 2.0, 3.0";
    std::ostringstream s;
    s.precision(10);
    s << head(99.0, kQ, 98.51, prof);
    s << kChannel << "2, 1, 'G1', 'Q1', 'U1', 'Zulaufgerinne', 'J', 10, 70, 98.51, " << prof << ", " << kInvert
      << ", " << prof << ");\n";
    s << "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_mue, HVE_n_c, HVE_N, HVE_T, "
         "GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11) VALUES (3, 1, 'U1', 'G1', 'G2', 'Wehr', 'J', "
      << kMue << ", " << exponent << ", 1, 'T', " << kCrest << ", 'T', 0.5, " << kB << ");\n";
    s << kChannel << "4, 1, 'G2', 'U1', 'ENDE', 'Unterwasser', 'J', 1, 70, " << kInvert << ", " << prof << ", "
      << kInvert << ", " << prof << ");\n";
    s << "CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung varchar(60), Faktor double, "
         "Wasserstand double);\n";
    for (size_t k = 0; k < tails.size(); ++k)
        s << "INSERT INTO tbl_lastfaelle VALUES (" << k + 1 << ", 'T" << k + 1 << "', 'Unterwasser', NULL, "
          << tails[k] << ");\n";
    return s.str();
}

// Energy level of the weir's row and water level of the tail channel's upstream end.
struct Levels { double weirE, tailWsp; };

// Free overflow: the head over the crest from Q = 2/3 mu b sqrt(2g) h^1.5,
// and the energy level of the approach channel at that level.
double free_energy() {
    const double h = ref::weir_head(kQ, kMue, kB);
    return kCrest + h + ref::vhead(kQ / (kB * (kCrest + h - kInvert)));
}

// Drowned crest: the depth h over the crest whose energy carries the tail's
// energy and the expansion loss from the crest into the tail (the lesser of
// 1.2 (v - vt)^2 / 2g and (v^2 - vt^2) / 2g), solved by bisection.
double drowned_energy(double tailWsp) {
    const double vt = kQ / (kB * (tailWsp - kInvert));
    const double Et = tailWsp + ref::vhead(vt) - kCrest;
    const double h = ref::bisect([&](double x) {
        const double v = kQ / (kB * x);
        return x + ref::vhead(v) - (Et + std::min(1.2 * (v - vt) * (v - vt), v * v - vt * vt) / (2 * ref::kG));
    }, ref::hc_rect(kQ, kB), 2.0);
    return kCrest + h + ref::vhead(kQ / (kB * h));
}

// Reduction law: the head h over the crest that carries Q through
// Q = 2/3 mu b sqrt(2g) h^1.5 (1 - (hu/h)^p)^0.5 with the tail water hu over
// the crest, solved by bisection; the energy level of the approach channel.
double reduced_energy(double tailWsp, double p) {
    const double hu = tailWsp - kCrest;
    const double h = ref::bisect([&](double x) {
        return 2.0 / 3.0 * kMue * kB * std::sqrt(2 * ref::kG) * std::pow(x, 1.5) * std::sqrt(1 - std::pow(hu / x, p)) - kQ;
    }, hu, hu + 2.0);
    return kCrest + h + ref::vhead(kQ / (kB * (kCrest + h - kInvert)));
}

}  // namespace

TEST(MildReach, LevelsFollowTheFlowEquationForAnySplit) {
    const struct {
        const char* what;
        int n;
        const char* profile;   // the profile columns of every end
        ref::Shape shape;
        double Q;
        bool steep;            // drawdown to the critical depth at the break
        double wsp;            // outlet level (backwater when not steep)
        double tol;
    } cases[] = {
        {"rectangle 1 m, drawdown, one element", 1, "'T', 1.5, 1.0", ref::rectangle(1.0), 0.5, true, 90.0, 0.002},
        {"rectangle 1 m, drawdown, 40 elements", 40, "'T', 1.5, 1.0", ref::rectangle(1.0), 0.5, true, 90.0, 0.002},
        {"rectangle 1 m, drawdown, 7 elements", 7, "'T', 1.5, 1.0", ref::rectangle(1.0), 0.5, true, 90.0, 0.002},
        {"pipe DN 600 part full, drawdown", 1, "'K', NULL, 0.6", ref::circle(0.6), 0.15, true, 90.0, 0.002},
        {"pipe DN 600 part full, drawdown, 10 elements", 10, "'K', NULL, 0.6", ref::circle(0.6), 0.15, true, 90.0,
         0.002},
        // an M1 curve behind a level 1.0 m above the outlet invert
        {"rectangle 1 m, backwater, 8 elements", 8, "'T', 1.5, 1.0", ref::rectangle(1.0), 0.5, false, 101.0, 0.001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir("reach");
        test::loaded_variant(dir, "reach", reach_plant(c.n, c.profile, c.Q, c.steep, c.wsp));
        const test::ProgramRun r = test::run_program(dir.str(), "rivola", "--yes reach.mdb");
        ASSERT_LT(r.status, 2) << r.out;
        // the reference starts where the reach ends: at the critical depth
        // of the break, or at the outlet level
        const double hc = ref::critical_depth(c.shape, c.Q, 1.4);
        const double h0 = c.steep ? hc : c.wsp - (100.04 - 0.04);
        const double want = ref::depth_upstream(c.shape, h0, 40.0, 0.001, c.Q, 70.0);
        const auto g1 = csv_row(dir.str() + "reach.csv", "G1");
        ASSERT_FALSE(g1.empty());
        const double got = std::stod(g1[10]) - std::stod(g1[7]);
        EXPECT_NEAR(got, want, c.tol) << "critical depth " << hc;
    }
}

TEST(WeirSwitch, TheHeadRisesSteadilyAsTheTailWaterDrownsTheCrest) {
    const struct {
        const char* what;
        double exponent;   // of the reduction law; 0: none (crest energy balance)
        double steepest;   // largest rise of the upstream energy per rise of the tail
    } cases[] = {
        {"crest energy balance", 0.0, 2.5},
        // the reduction law asks for much more head just above the switch
        {"reduction law, exponent 1.5", 1.5, 4.0},
    };
    std::vector<double> tails;
    for (int k = 0; k <= 50; ++k) tails.push_back(99.30 + 0.005 * k);
    const double Efree = free_energy();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir("weir");
        const std::string exponent = c.exponent > 0 ? std::to_string(c.exponent) : "NULL";
        test::loaded_variant(dir, "weir", weir_plant(tails, exponent.c_str()));
        const test::ProgramRun r = test::run_program(dir.str(), "rivola", "--yes --no-drawing weir.mdb");
        ASSERT_LT(r.status, 2) << r.out;
        double prevE = 0, prevTail = 0;
        for (size_t k = 0; k < tails.size(); ++k) {
            SCOPED_TRACE("tail level " + std::to_string(tails[k]));
            const std::string csv = dir.str() + "weir_T" + std::to_string(k + 1) + ".csv";
            const auto weir = csv_row(csv, "U1"), tail = csv_row(csv, "G2");
            ASSERT_FALSE(weir.empty() || tail.empty());
            const Levels l{std::stod(weir[13]), std::stod(tail[10])};
            const double Esub = c.exponent > 0 ? reduced_energy(l.tailWsp, c.exponent) : drowned_energy(l.tailWsp);
            // free overflow below the switch, the submerged law well above
            // it; the switch lies where the tail's energy reaches the free head
            const double drowned = (l.tailWsp - kCrest) / (Efree - kCrest);
            if (drowned < 0.85) { EXPECT_NEAR(l.weirE, Efree, 0.0011); }
            if (drowned > 1.15) { EXPECT_NEAR(l.weirE, Esub, 0.0011); }
            // no step: the upstream energy rises with the tail, never faster
            // than the steepest slope of the blend
            if (k > 0) {
                EXPECT_GE(l.weirE, prevE - 0.0011);
                EXPECT_LE(l.weirE - prevE, c.steepest * (l.tailWsp - prevTail) + 0.0011);
            }
            prevE = l.weirE, prevTail = l.tailWsp;
        }
    }
}
