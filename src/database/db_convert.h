// Copying a variant into new SQLite files: an Access variant, read through
// the read-only MDBTools driver, becomes a variant that can be edited; an
// SQLite variant is copied as it is.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::input {

// Copies the variant `source` with the component databases of its live
// C_ rows into new SQLite files: `target`, and for a component C_NAME the
// file target-without-extension + "_C_NAME.mdb" beside it, as the reader
// expects it. Every table of each file is copied with its columns, column
// types, rows in the order the source gives them, and NULLs. Nothing is
// written unless everything was read; each file is built beside its target
// and only then takes its name. An existing target (or target component) is
// refused unless `force`; the source itself is never overwritten. `written`
// receives the files made; status "ok" or what went wrong.
void db_convert_variant(RunContext& ctx, const std::string& source, const std::string& target,
                        bool force, std::vector<std::string>& written, std::string& status);

}  // namespace rivola::input
