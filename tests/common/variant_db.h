// A variant database from SQL text for tests: the script is written to
// dir/name.sql and loaded into dir/name.mdb, next to an empty results database.
#pragma once

#include <string>

#include "common/test_util.h"
#include "database/db_tools.h"
#include "model/context.h"

namespace rivola::test {

// Returns the path of the variant; `status` is "ok" when both databases stand.
inline std::string load_variant(const TempDir& dir, const std::string& name, const std::string& script,
                                std::string& status) {
    RunContext tools;
    tools.db.diagFile = dir.str() + "load.pkl";
    std::string results;
    input::db_new_results(tools, dir.path().string(), results, status);
    const std::string db = dir.str() + name + ".mdb", sql = dir.str() + name + ".sql";
    if (status != "ok") return db;
    write_file(sql, script);
    input::db_load_script(tools, db, sql, status);
    return db;
}

}  // namespace rivola::test
