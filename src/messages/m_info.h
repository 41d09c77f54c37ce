// m_info: the bilingual message catalogue of the check list.
#pragma once

#include <cstddef>
#include <string_view>

namespace rivola::checks {

struct CatalogueEntry {
    const char* code;
    const char* de;
    const char* en;
};

// The entry of a three-character code, or null when the catalogue has none.
const CatalogueEntry* catalogue_find(std::string_view code);
size_t catalogue_size();
const CatalogueEntry& catalogue_at(size_t i);

}  // namespace rivola::checks
