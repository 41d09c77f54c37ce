// A weir whose tail water rises through the crest: the upstream energy
// computed by whole runs of the command-line program (one flow case per tail
// level) against the weir formula below the switch, the crest energy balance
// well above it, and a steady rise in between.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>
#include <sstream>

#include "common/hydraulic_refs.h"
#include "common/test_util.h"
#include "common/variant_db.h"

using namespace rivola;

namespace {

constexpr double kQ = 0.3;       // m3/s
constexpr double kB = 3.0;       // width of the channels and of the crest, m
constexpr double kMue = 0.62;
constexpr double kCrest = 99.30;
constexpr double kInvert = 98.50;  // invert of the channels on both sides

// Inlet, a 10 m approach channel, the weir and a short tail channel into the
// outlet level of each flow case.
std::string plant(const std::vector<double>& tails, const char* exponent) {
    const std::string src = test::source_file("examples/kleine_anlage.sql");
    std::ostringstream s;
    s.precision(10);
    s << src.substr(0, src.find("INSERT INTO tbl_all"));
    s << "INSERT INTO tbl_all (Titel, Vmin, Vmax, Bmin, Bmax, Hmin, Hmax, Lmax, DIFFmax, Zeilen, Bezug, "
         "Wasserstand, Q_ls, AnhangERG, AnhangERK, AnhangQVE) VALUES ('Wehr', 0, 9, 0.1, 9, 0.1, 9, 100, 10, 60, "
         "0, 99.0, 'J', 'a', 'b', 'c');\n";
    const std::string prof = "'T', 2.0, 3.0";
    s << "INSERT INTO tbl_rvldaten (er, sr, bez, ablauf1, beschreibung, Q, tz, GEO_ZO1, GEO_oT1, GEO_oH11, "
         "GEO_oB11) VALUES (1, 1, 'Q1', 'G1', 'Zulauf', "
      << kQ * 1000 << ", 'J', 98.51, " << prof << ");\n";
    const std::string cols = "GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11";
    s << "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, " << cols
      << ") VALUES (2, 1, 'G1', 'Q1', 'U1', 'Zulaufgerinne', 'J', 10, 70, 98.51, " << prof << ", " << kInvert
      << ", " << prof << ");\n";
    s << "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_mue, HVE_n_c, HVE_N, HVE_T, "
         "GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11) VALUES (3, 1, 'U1', 'G1', 'G2', 'Wehr', 'J', "
      << kMue << ", " << exponent << ", 1, 'T', " << kCrest << ", 'T', 0.5, " << kB << ");\n";
    s << "INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, " << cols
      << ") VALUES (4, 1, 'G2', 'U1', 'ENDE', 'Unterwasser', 'J', 1, 70, " << kInvert << ", " << prof << ", "
      << kInvert << ", " << prof << ");\n";
    s << "CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung varchar(60), Faktor double, "
         "Wasserstand double);\n";
    for (size_t k = 0; k < tails.size(); ++k)
        s << "INSERT INTO tbl_lastfaelle VALUES (" << k + 1 << ", 'T" << k + 1 << "', 'Unterwasser', NULL, "
          << tails[k] << ");\n";
    return s.str();
}

// Energy level of the weir's row and of the tail channel's upstream end.
struct Levels { double weirE = -1, tailWsp = -1; };
Levels levels(const std::string& csv) {
    Levels l;
    for (const std::string& line : test::read_lines(csv)) {
        const auto f = test::fields(line, ';');
        if (f.size() < 14) continue;
        if (f[2] == "U1" && f[1] == "1") l.weirE = std::stod(f[13]);
        if (f[2] == "G2" && f[1] == "1") l.tailWsp = std::stod(f[10]);
    }
    return l;
}

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
        std::string status;
        const std::string exponent = c.exponent > 0 ? std::to_string(c.exponent) : "NULL";
        test::load_variant(dir, "weir", plant(tails, exponent.c_str()), status);
        ASSERT_EQ(status, "ok");
        const test::ProgramRun r = test::run_program(dir.str(), "rivola", "--yes --no-drawing weir.mdb");
        ASSERT_LT(r.status, 2) << r.out;
        double prevE = 0, prevTail = 0;
        for (size_t k = 0; k < tails.size(); ++k) {
            SCOPED_TRACE("tail level " + std::to_string(tails[k]));
            const Levels l = levels(dir.str() + "weir_T" + std::to_string(k + 1) + ".csv");
            ASSERT_GT(l.weirE, 0);
            const double Esub = c.exponent > 0 ? reduced_energy(l.tailWsp, c.exponent) : drowned_energy(l.tailWsp);
            // free overflow below the switch, the submerged law well above
            // it; the switch lies where the tail's energy reaches the free head
            if (l.tailWsp - kCrest < 0.85 * (Efree - kCrest)) {
                EXPECT_NEAR(l.weirE, Efree, 0.0011);
            }
            if (l.tailWsp - kCrest > 1.15 * (Efree - kCrest)) {
                EXPECT_NEAR(l.weirE, Esub, 0.0011);
            }
            // no step: the upstream energy rises with the tail, never faster
            // than the steepest slope of the blend
            if (k > 0) {
                EXPECT_GE(l.weirE, prevE - 0.0011);
                EXPECT_LE(l.weirE - prevE, c.steepest * (l.tailWsp - prevTail) + 0.0011);
            }
            prevE = l.weirE;
            prevTail = l.tailWsp;
        }
    }
}
