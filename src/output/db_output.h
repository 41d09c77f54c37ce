// db_output: the results of a run in the results database shared by all
// variants of a project, and as a CSV file per variant.
//
// Per run the variant is registered in the table `Berechnungsuebersicht` (one
// row per variant), its element table "ERG_" + variant and its discharge table
// "QVE_" + variant are replaced, and the element rows are written to base +
// ".csv". Each table is written inside one transaction where the database
// driver supports transactions for table definitions and rows alike, so that a
// failure leaves the variant's previous results in place. Rows of other
// variants are never touched.
//
// Every writer reports through a status text: "ok", or the text of the step
// that failed.
#pragma once

#include <fstream>
#include <string>

#include <sql.h>
#include <sqlext.h>

#include "output/erg_rows.h"
#include "run/context.h"

namespace rivola::output {

// The INSERT statements and column lists of the result tables.
inline constexpr const char* kErgColumns =
    "(ID     counter ,IZ  integer,KENSYS char(20),ORD integer,Q      double  ,L    double,Lges "
    "double,B    double,Z    double,HGES double,H      double  ,WSP  double,A    double,V    "
    "double,E   double,Tau double,PROFIL char(1) ,HVK  double,HVE1 double,HVE2 double,HVU "
    "double,BEMERK char(20))";
inline constexpr const char* kQveColumns =
    "(ID     counter ,KENSYS char(20),ORD integer,KENZA1 char(20),ORDZA1 integer,Q_ZA1  double  "
    ",P_ZA1 double,Z_ZA1 double,KENZA2 char(20),ORDZA2 integer,Q_ZA2  double  ,P_ZA2 "
    "double,Z_ZA2 double)";

// Header lines of the CSV file, without and with element groups.
inline constexpr const char* kCsvHeader =
    "Ident;iz;Kenn;Beschreibung;Ord;Q ;L ;z ;hges;h ;WSP;A ;v ;E ;To;P ;Hvk;Hve1;Hve2;Hvu;Bemerkung;";
inline constexpr const char* kCsvHeaderGroups =
    "Ident;iz;Baugruppe;Kenn;Beschreibung;Ord;Q ;L ;z ;hges;h ;WSP;A ;v ;E ;To;P ;Hvk;Hve1;Hve2;"
    "Hvu;Bemerkung;";

// Parameter buffers of one row of the "ERG_" table, bound once to the prepared
// INSERT. Text buffers hold a name or remark text of UTF-8 characters.
struct ErgParams {
    SQLINTEGER id = 0, iz = 0, ord = 0;
    char kensys[64] = {};
    char profil[8] = {};
    char bemerk[64] = {};
    // Q, L, Lges, B, Z, HGES, H, WSP, A, V, E, Tau, HVK, HVE1, HVE2, HVU
    double d[16] = {};
    SQLLEN ind[23] = {};             // indicator per parameter, 1..22
};

// State of the writer of the "ERG_" table and the CSV file while one table is
// written: the prepared statement and its buffers, the current row, the CSV
// file and the running row number.
struct ErgWriter {
    // database part
    bool db = false;                 // rows go to the database
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    ErgParams par;
    std::string status = "ok";
    // the current row
    int isys = 0;
    int k = 0;                       // type ordinal of the element
    ErgRow row;
    int id = 0;                      // running row number
    // CSV part
    std::string csvFile;
    std::ofstream csv;
    bool csvOpen = false;
    bool csvFailed = false;
    bool groups = false;             // the variant has element groups
    const RunContext* ctx = nullptr;
};

// Registers the variant in `Berechnungsuebersicht`.
void out_tbl_berechnungsuebersicht(RunContext& ctx, const std::string& dbFile,
                                   const std::string& variant, std::string& status);
// Replaces the "ERG_" table of the variant and writes the CSV file.
void out_tbl_erg(RunContext& ctx, const std::string& dbFile, const std::string& variant,
                 std::string& status);
// Replaces the "QVE_" table of the variant.
void out_tbl_qve(RunContext& ctx, const std::string& dbFile, const std::string& variant,
                 std::string& status);

// The CSV writer: mode 1 writes the current row of the writer (opening the
// file and writing the header before the first row); mode 9 closes the file.
void o_csv(ErgWriter& w, int mode);

// Row writers of one element by type: each completes the element's remarks,
// writes its rows (one per listing line) to the CSV file and the table.
void db_erg_outtrs(RunContext& ctx, ErgWriter& w, int i);   // G, D, B, T
void db_erg_outver(RunContext& ctx, ErgWriter& w, int i);   // V
void db_erg_outsam(RunContext& ctx, ErgWriter& w, int i);   // S
void db_erg_outqzu(RunContext& ctx, ErgWriter& w, int i);   // Q
void db_erg_outrec(RunContext& ctx, ErgWriter& w, int i);   // R
void db_erg_outueb(RunContext& ctx, ErgWriter& w, int i);   // U
void db_erg_outwan(RunContext& ctx, ErgWriter& w, int i);   // W, raises W50
void db_erg_outmes(RunContext& ctx, ErgWriter& w, int i);   // M
void db_erg_outpum(RunContext& ctx, ErgWriter& w, int i);   // P
void db_erg_outauf(RunContext& ctx, ErgWriter& w, int i);   // A (and a dividing V), raises W60
void db_erg_outzus(RunContext& ctx, ErgWriter& w, int i);   // Z (and a joining S)

// --- entry points of the listings ---

// The results database of the run: "Rivola_8_Ergebnisse.MDB" next to the
// variant, found without regard to case.
std::string results_db_file(const RunContext& ctx);
// The variant's name in the results database: the base name without directory.
std::string variant_name(const RunContext& ctx);

// After the *.ERG listing: registers the variant, replaces its "ERG_" table and
// writes the CSV file (also when the database cannot be written). A failure is
// shown on the screen log and kept in ctx.run.resultsStatus; the run goes on.
void write_erg_tables(RunContext& ctx);
// After the *.QVE listing (also for a plant without divisions and
// confluences, whose table then is emptied): replaces the "QVE_" table when
// the variant was registered.
void write_qve_table(RunContext& ctx);

}  // namespace rivola::output
