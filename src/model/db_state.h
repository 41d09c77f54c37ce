// State of the database access layer (m_database), one per run context.
//
// The ODBC handles are held as the driver manager's opaque handle type
// (void*); m_database.h gives them their ODBC types. Besides the handles of
// the connection currently open, the state keeps what lives from one database
// operation to the next: the language of the layer's texts, the caller label
// and whether the diagnostics file has been started.
#pragma once

#include <string>

namespace rivola::input {

// What a database file turned out to be when it was opened.
enum class DbKind {
    None,      // nothing opened yet
    SQLite,    // SQLite file (the embedded default)
    Access,    // Access/Jet file through a registered Access driver
    MDBTools,  // Access/Jet file through the read-only MDBTools driver
    DataSource,// data source name (DSN=..., WinDBF32)
    DBase,     // dBASE files
    Excel,     // Excel workbook
};

struct DbState {
    void* henv = nullptr;            // environment handle
    void* hdbc = nullptr;            // connection handle
    void* hstmt = nullptr;           // working statement of the layer's own operations
    std::string name;                // database name as passed to the last db_open
    int exists = 0;                  // 1 when the last db_open found the database
    DbKind kind = DbKind::None;      // what the opened database is
    bool readOnly = false;           // the opened file may not be written
    std::string lang = "DE";         // "DE" or "US"
    std::string abortText = "\nsiehe: DB_Fehler.pkl\nAbbruch!";
    std::string caller = "unknown";  // label of the calling operation
    std::string diagFile = "DB_Fehler.pkl";  // diagnostics file (current directory)
    bool diagOpened = false;         // the diagnostics file has been started
    // What the MDBTools library printed while the last connection was open
    // (it reports damaged pages on the console, not in diagnostic records),
    // and how much of it the diagnostics file has been given.
    std::string driverText;
    size_t driverReported = 0;
    int savedStderr = -1;            // the process's standard error while it is captured
    void* console = nullptr;         // FILE* of the scratch file that captures it
    long consoleRead = 0;            // bytes of the scratch file taken into driverText

    DbState() = default;
    // A copy takes the settings only, never the handles of an open connection.
    DbState(const DbState& o) { copySettings(o); }
    DbState& operator=(const DbState& o) {
        if (this != &o) copySettings(o);
        return *this;
    }
    ~DbState();                      // frees the handles of a connection left open

private:
    void copySettings(const DbState& o) {
        lang = o.lang;
        abortText = o.abortText;
        caller = o.caller;
        diagFile = o.diagFile;
        diagOpened = o.diagOpened;
    }
};

}  // namespace rivola::input
