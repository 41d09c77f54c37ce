// db_output: the results of a run in the results database shared by all
// variants of a project, and as a CSV file per variant.
//
// Per run the variant is registered in the table `Berechnungsuebersicht` (one
// row per variant), its element table "ERG_" + variant and its discharge table
// "QVE_" + variant are replaced, and the element rows are written to base +
// ".csv". The three tables of a run are written on one connection in one
// transaction where the database driver supports transactions for table
// definitions and rows alike, so that a failure or a kill leaves the
// variant's previous results in place. Rows of other variants are never
// touched.
//
// Every writer reports through a status text: "ok", or the text of the step
// that failed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <sql.h>
#include <sqlext.h>

#include "output/erg_rows.h"
#include "model/context.h"
#include "support/m_files.h"

namespace rivola::output {

// The INSERT statements and column lists of the result tables.
inline constexpr const char* kErgColumns =
    "(ID     counter ,IZ  integer,KENSYS char(20),ORD integer,Q      double  ,L    double,Lges "
    "double,B    double,Z    double,HGES double,H      double  ,WSP  double,A    double,V    "
    "double,E   double,Tau double,PROFIL char(1) ,HVK  double,HVE1 double,HVE2 double,HVU "
    "double,BEMERK char(20),Freibord double)";
inline constexpr const char* kQveColumns =
    "(ID     counter ,KENSYS char(20),ORD integer,KENZA1 char(20),ORDZA1 integer,Q_ZA1  double  "
    ",P_ZA1 double,Z_ZA1 double,KENZA2 char(20),ORDZA2 integer,Q_ZA2  double  ,P_ZA2 "
    "double,Z_ZA2 double)";

// Header lines of the CSV file, without and with element groups.
inline constexpr const char* kCsvHeader =
    "Ident;iz;Kenn;Beschreibung;Ord;Q ;L ;z ;hges;h ;WSP;A ;v ;E ;To;P ;Hvk;Hve1;Hve2;Hvu;Bemerkung;Freibord;";
inline constexpr const char* kCsvHeaderGroups =
    "Ident;iz;Baugruppe;Kenn;Beschreibung;Ord;Q ;L ;z ;hges;h ;WSP;A ;v ;E ;To;P ;Hvk;Hve1;Hve2;"
    "Hvu;Bemerkung;Freibord;";

// One row of the "ERG_" table: its running number, the element, the row's
// number within the element and the element's member (for failure texts).
struct ErgRecord {
    int id = 0;
    int isys = 0;
    int k = 0;
    const char* who = "";
    ErgRow row;
};

// State of the writer of the CSV file while the rows of a run are gathered:
// the current row, the CSV file, the running row number and the rows kept
// for the "ERG_" table.
struct ErgWriter {
    int isys = 0;
    int k = 0;                       // type ordinal of the element
    ErgRow row;
    int id = 0;                      // running row number
    std::vector<ErgRecord> rows;
    // CSV part
    std::string csvFile;
    std::unique_ptr<support::AtomicFile> csv;
    bool csvFailed = false;
    bool groups = false;             // the variant has element groups
    RunContext* ctx = nullptr;
};

// The results of the run in the results database `dbFile`, in one
// transaction: the variant's row of `Berechnungsuebersicht`, its "ERG_" table
// (the gathered rows) and its "QVE_" table. After any failure, or a kill of
// the process, the database holds either all of the previous or all of this
// run's results of the variant. While another program holds the database
// locked, the store is tried again up to the run's waiting time. `status`:
// "ok", or the text of the failing step followed by the driver's reason.
// The failed store names the table, the failing step and the driver's reason
// (all empty after success).
struct StoreFailure {
    std::string table, step, reason;
};
StoreFailure store_results(RunContext& ctx, const std::string& dbFile, const std::string& variant,
                           const std::vector<ErgRecord>& rows, std::string& status);

// Checks before anything is computed that the variant's name can name its
// tables in the results database: no quotes, brackets, "$", control
// characters, leading or trailing blanks, at most 200 characters, and no
// other registered variant whose tables would be the same regardless of
// case. A refused name is reported (D03, D04) with error level 3.
bool check_table_names(RunContext& ctx);

// Removes the variant's tables "ERG_" and "QVE_" and its overview row from
// the results database (a variant computed in flow cases has none of its own).
void remove_stored_results(RunContext& ctx);

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
void db_erg_outauf(RunContext& ctx, ErgWriter& w, int i);   // A (and a dividing V), raises W60/W61
void db_erg_outzus(RunContext& ctx, ErgWriter& w, int i);   // Z (and a joining S)

// --- entry points of the listings ---

// The results database of the run: "Rivola_8_Ergebnisse.MDB" next to the
// variant, found without regard to case.
std::string results_db_file(const RunContext& ctx);
// The variant's name in the results database: the base name without directory.
std::string variant_name(const RunContext& ctx);

// After the *.ERG listing: writes the CSV file and stores the run's results
// (store_results). A failure is recorded as a result not stored and kept in
// ctx.run.resultsStatus; the run goes on with its other files.
void write_erg_tables(RunContext& ctx);

}  // namespace rivola::output
