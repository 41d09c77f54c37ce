// The sources of the elements of a plant: the variant database itself
// (number 0) and each component database it refers to (numbers 1, 2, ...),
// with the isys of the elements each of them supplied.
#pragma once

#include <string>
#include <vector>

namespace rivola {

struct Source {
    std::string name;                // database file
    std::string label;               // "C_..." name of a component; the variant path (50 characters)
    std::vector<int> isys;           // elements taken from this source, in order
};

struct SourceTable {
    std::vector<Source> src;         // 0 = the variant, 1.. its components
    // True when the variant refers to at least one component.
    bool hasComponents() const { return src.size() > 1; }
    void clear() { src.clear(); }
};

}  // namespace rivola
