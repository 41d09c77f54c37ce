// m_db_input: reads one variant database, and the component databases it
// refers to, into the element table and base settings of the plant model.
//
// A variant database holds the base settings in tbl_all and one row per
// system element in tbl_rvldaten. A row whose name begins with "C_" stands
// for a component: a further database file next to the variant, named
// variant-without-extension + "_" + name + ".mdb", whose elements take the
// row's place in the element order. Every failure stops the run with a
// message box and the error level 3 (database failure).
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::input {

// One row of tbl_rvldaten as read, texts cut to their widths and right-trimmed.
struct DbRecord {
    std::string bez, zulauf1, zulauf2, ablauf1, ablauf2;  // 12 characters
    std::string beschreibung;        // 26 characters
    float Q = kMissing;
    std::string plotweg;             // 1 character
    std::string tz = "N";            // 1 character
    std::string np;                  // 1 character
    std::string out_erk = "N";       // 1 character
    std::string out_tau = "N";       // 1 character
    float aufteilung1 = kMissing, aufteilung2 = kMissing;
    GeoInput geo;
    HveInput hve;
};
using DbRecords = std::vector<DbRecord>;  // 1..n, slot 0 unused

// The most rows a database may give before the reader refuses it (the model
// itself takes at most 100000 elements; the checks reject more).
inline constexpr int kMaxRecords = 400000;

// The database file of component `name` (a row "C_...") of the variant at
// `variant`: the variant's path without its extension + "_" + name + ".mdb".
std::string component_file(const std::string& variant, const std::string& name);

// The explanation lines of the single losses (columns HVE_ERLAEUTER1..6,
// those the database has) of the elements `isys` from their source database
// `file`, by element name; deleted rows explain nothing.
void read_explanations(RunContext& ctx, const std::string& file, const std::vector<int>& isys);

// Reads the variant at `path` into ctx.plant (with the explanations); status
// "ok" on success.
void inmdb(RunContext& ctx, const std::string& path, std::string& status);

// Ensures the column datum in tbl_all.
void db_update(RunContext& ctx, const std::string& path, std::string& status);
// Reads tbl_all into the base settings.
void db_all(RunContext& ctx, const std::string& path, std::string& status);
// Reads the element columns of tbl_rvldaten into rec[1..n].
void db_weg(RunContext& ctx, const std::string& path, std::string& status, int& n,
            DbRecords& rec);
// Read the GEO and HVE columns and attach them to every record of the same name.
void db_geo(RunContext& ctx, const std::string& path, std::string& status, int n,
            DbRecords& rec);
void db_hve(RunContext& ctx, const std::string& path, std::string& status, int n,
            DbRecords& rec);
// Copies one record into the element table at isys.
void s2weg(RunContext& ctx, int isys, const DbRecord& r);

// Number from a database text: 1 read, 0 NULL or blank, -1 not a number,
// -2 a number out of the range of single precision (or an infinity).
int parse_number(const std::string& text, float& v);
// A database date as "dd.mm.yyyy", blank when it is no date.
std::string date_text(const std::string& value);

}  // namespace rivola::input
