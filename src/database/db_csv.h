// A variant as spreadsheets: every table of the variant as one CSV file
// (UTF-8 with byte order mark, ";" between fields, a header row of column
// names), each component in a folder of its own named after its C_ row; and
// back, with every cell checked against the column reference.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::input {

// One cell that cannot be imported: file, row (1 = header), column, the
// value as found, and why it is refused.
struct CellError {
    std::string file;
    int row = 0;
    std::string column, value, reason;
};

// Writes the tables of the variant `variant` that the column reference knows
// (tbl_all, tbl_rvldaten, the flow-case tables) into DIR/<table>.csv and the
// tables of each component C_NAME into DIR/C_NAME/<table>.csv. Numbers get
// the shortest text that gives back the same value, with "." or, when
// `decimalComma`, "," as decimal mark. DIR is made when missing; a DIR that
// already holds a tbl_rvldaten.csv is refused unless `force`. `written`
// receives the files made, `notes` the tables left out.
void csv_export(RunContext& ctx, const std::string& variant, const std::string& dir, bool decimalComma,
                bool force, std::vector<std::string>& written, std::vector<std::string>& notes,
                std::string& status);

// Reads DIR (as written by csv_export, either decimal mark) into the new
// variant `variant` and its components beside it. Every cell is checked
// against the column reference: its kind, width and range, a value where the
// element type needs one, a known element type, links naming elements that
// exist. On any fault nothing is written: `errors` lists every cell refused
// and `status` says how many. An existing variant is kept unless `force`.
void csv_import(RunContext& ctx, const std::string& dir, const std::string& variant, bool force,
                std::vector<std::string>& written, std::vector<CellError>& errors, std::string& status);

// Splits CSV text into rows of fields: ";" between fields, fields in double
// quotes may hold ";", line breaks and doubled quotes. `quoted` tells for
// each field whether it was quoted (an empty quoted field is an empty text,
// an empty unquoted one no value). False when a quote is left open.
bool parse_csv(const std::string& text, std::vector<std::vector<std::string>>& rows,
               std::vector<std::vector<bool>>& quoted);

}  // namespace rivola::input
