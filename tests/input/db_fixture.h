// Shared helpers of the database tests: a temporary directory per test, SQLite
// files built with the sqlite3 command-line shell (independent of the ODBC
// code under test), and a recorder of message boxes.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/context.h"
#include "messages/services.h"

namespace rivola::testing {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "rivola_db_XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Runs SQL through the sqlite3 shell on a database file; returns its output.
inline std::string sqlite(const std::string& db, const std::string& sql) {
    const std::string script = db + ".sqltmp";
    {
        std::ofstream f(script);
        f << sql << "\n";
    }
    const std::string cmd = "sqlite3 -batch '" + db + "' < '" + script + "' 2>&1";
    std::string out;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    std::remove(script.c_str());
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

inline std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Records the message boxes of a run.
class RecordingUi : public ui::Services {
public:
    struct Box {
        std::string title, text;
    };
    std::vector<Box> boxes;
    void message(const std::string& t, const std::string& x) override { boxes.push_back({t, x}); }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string&) override {}
    void finale(const std::string&, const std::string&) override {}
};

// The two tables of a variant, as the sqlite3 shell creates them.
inline const char* variant_schema() {
    return R"(
CREATE TABLE tbl_all (Titel text, Vmin double, Vmax double, Bmin double, Bmax double,
  Hmin double, Hmax double, Lmax double, DIFFmax double, Zeilen integer, Bezug double,
  Wasserstand double, Q_ls text, AnhangERG text, AnhangERK text, AnhangQVE text, datum Date);
CREATE TABLE tbl_rvldaten (id integer primary key, er integer, sr integer, bez text,
  zulauf1 text, zulauf2 text, ablauf1 text, ablauf2 text, beschreibung text, Q double,
  plotweg text, tz text, np text, out_erk text, out_tau text, aufteilung1 double,
  aufteilung2 double, geloescht integer,
  GEO_L double, GEO_K double, GEO_C double, GEO_C2 double,
  GEO_ZO1 double, GEO_oT1 text, GEO_oHS1 double, GEO_oH11 double, GEO_oB11 double,
  GEO_oH12 double, GEO_oB12 double, GEO_oH13 double, GEO_oB13 double, GEO_oH14 double,
  GEO_oB14 double, GEO_oH15 double, GEO_oB15 double,
  GEO_ZU1 double, GEO_uT1 text, GEO_uHS1 double, GEO_uH11 double, GEO_uB11 double,
  GEO_uH12 double, GEO_uB12 double, GEO_uH13 double, GEO_uB13 double, GEO_uH14 double,
  GEO_uB14 double, GEO_uH15 double, GEO_uB15 double,
  GEO_ZO2 double, GEO_oT2 text, GEO_oHS2 double, GEO_oH21 double, GEO_oB21 double,
  GEO_oH22 double, GEO_oB22 double, GEO_oH23 double, GEO_oB23 double, GEO_oH24 double,
  GEO_oB24 double, GEO_oH25 double, GEO_oB25 double,
  GEO_ZU2 double, GEO_uT2 text, GEO_uHS2 double, GEO_uH21 double, GEO_uB21 double,
  GEO_uH22 double, GEO_uB22 double, GEO_uH23 double, GEO_uB23 double, GEO_uH24 double,
  GEO_uB24 double, GEO_uH25 double, GEO_uB25 double,
  HVE_HVE double, HVE_zeta1 double, HVE_zeta2 double, HVE_zeta3 double, HVE_zeta4 double,
  HVE_zeta5 double, HVE_zeta6 double, HVE_zeta1_2 double, HVE_zeta2_2 double,
  HVE_zeta3_2 double, HVE_zeta4_2 double, HVE_zeta5_2 double, HVE_zeta6_2 double,
  HVE_mue double, HVE_n_c double, HVE_H double, HVE_BU double, HVE_BO double, HVE_A double,
  HVE_T text, HVE_N integer, HVE_ERLAEUTER1 text, HVE_ERLAEUTER2 text, HVE_ERLAEUTER3 text,
  HVE_ERLAEUTER4 text, HVE_ERLAEUTER5 text, HVE_ERLAEUTER6 text);
)";
}

// A run context whose database diagnostics go into the test's own directory.
inline void point_diagnostics(RunContext& ctx, const TempDir& dir) {
    ctx.db.diagFile = dir / "DB_Fehler.pkl";
}

}  // namespace rivola::testing
