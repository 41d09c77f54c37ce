// The columns of a variant database: every column of tbl_all, tbl_rvldaten
// and the flow-case tables, with its meaning, unit, the element types that
// read it, its allowed values and whether it must be given. One table serves
// the editor, the help pages and the spreadsheet export and import.
#pragma once

#include <string>
#include <vector>

namespace rivola::input {

enum class ColumnKind { Integer, Real, Text, Date };

// One element type: its letter and what it is, in German and English.
struct ElementType {
    char letter;
    const char* de;
    const char* en;
    const char* about_de;   // one sentence for the help page
    const char* about_en;
    const char* example;    // a small example row: "column=value; ..."
};

struct ColumnRef {
    std::string table;
    std::string name;
    ColumnKind kind = ColumnKind::Real;
    int width = 0;            // characters a text holds (0: no limit)
    std::string group;        // group of the editor (key, links, element, o1, u1, o2, u2, losses, output, ...)
    std::string de, en;       // meaning
    std::string unit;         // "m", "m ü. NN", "l/s" ...; empty for none
    std::string types;        // type letters of the elements that read it; "*" every element
    std::string required;     // type letters for which a value must be given; "*" every element
    bool bounded = false;     // lo..hi holds
    double lo = 0, hi = 0;
    std::string letters;      // allowed values of a one-letter text besides blank (empty: any)
    bool optional = false;    // the column may be missing from the table (older variants)
};

// Every element type letter the reader knows, in the order of the help.
const std::vector<ElementType>& element_types();
const ElementType* element_type(char letter);

// The whole reference, tables in the order tbl_all, tbl_rvldaten,
// tbl_lastfaelle, tbl_lastfall_q, tbl_lastfall_aufteilung; columns in the
// order of a new table.
const std::vector<ColumnRef>& column_reference();
// The columns of one table (names compared without regard to case).
std::vector<const ColumnRef*> table_columns(const std::string& table);
const ColumnRef* find_column_ref(const std::string& table, const std::string& column);
// True when the reference names this table.
bool known_table(const std::string& table);
// Does an element of type `letter` read this column / must it give it?
bool column_used_by(const ColumnRef& c, char letter);
bool column_required_for(const ColumnRef& c, char letter);

// A cell as text, checked against its column. A blank cell is NULL (allowed
// unless `required`). Numbers may have "." or "," as decimal mark; on success
// `value` receives the cell as stored: numbers with ".", dates as YYYY-MM-DD,
// texts as given. On failure `reason` says what is wrong, in the language
// asked for.
bool check_cell(const ColumnRef& c, const std::string& text, bool required, bool english,
                std::string& value, std::string& reason);

// The column definitions of a new table from the reference, for CREATE TABLE.
std::string column_ddl(const ColumnRef& c);

// The help page of one element type (HTML): what it is, the columns it
// reads with meaning, unit, allowed values, and a small example row.
std::string element_help_page(char letter, bool english);
// The index page of the element types with links to the pages above and the
// base settings (tbl_all) and flow-case tables.
std::string column_help_index(bool english);
// File name of the help page of a type ("RIVOLAW_typ_G.html", "..._en.html").
std::string element_help_file(char letter, bool english);

}  // namespace rivola::input
