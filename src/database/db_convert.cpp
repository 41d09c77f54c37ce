#include "database/db_convert.h"

#include "database/db_tables.h"
#include "database/m_db_input.h"

namespace rivola::input {

void db_convert_variant(RunContext& ctx, const std::string& source, const std::string& target,
                        bool force, std::vector<std::string>& written, std::string& status) {
    written.clear();
    std::vector<Database> dbs;
    if (!read_variant_databases(ctx, source, dbs, status)) return;
    dbs[0].target = target;
    for (size_t k = 1; k < dbs.size(); ++k) dbs[k].target = component_file(target, dbs[k].component);
    write_variant_files(ctx, dbs, force, written, status);
}

}  // namespace rivola::input
