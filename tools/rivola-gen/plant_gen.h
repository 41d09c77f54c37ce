// Large plant variants for benchmarks and load tests.
//
// A generated plant is a chain of treatment stages. Head works (inlet, channel,
// coarse screen, Venturi flume) feed the first stage; every stage spreads its
// discharge over parallel lanes through a tree of free divisions and gathers
// the lanes again through a tree of confluences; a trunk channel leads to the
// next stage, and an outlet channel ends the plant. Each lane is a sequence of
// structures: feed channels, screens, measurement flumes, side inflows, pumping
// stations with rising mains, distribution flumes with weirs, basins with
// outlet weirs or walls, collection flumes, immersion tubes, gravity pipes.
//
// The composition is chosen so that the per-type capacities of the plant model
// hold; where the element count asked for cannot be reached with computed
// element types alone, the rest are observation points (letter E), which the
// water-level walk passes over.
//
// Inverts are laid out from a design water level that is carried downstream
// through every structure, so that weirs fall freely, wall openings stay
// submerged and pumps lift into their rising mains.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace rivola::gen {

struct PlantShape {
    int elements = 1000;      // number of system elements wanted (exact)
    int freeDivisions = -1;   // divisions of the stages; -1: 6 per 100 elements
    int lanesPerStage = 16;   // parallel lanes of a stage (>= 2)
    unsigned seed = 1;        // varies lane widths and element descriptions
    double lanesDischarge = 50.0;  // design discharge of one lane (l/s)
};

struct PlantSummary {
    int elements = 0;
    int stages = 0;
    int lanes = 0;
    int freeDivisions = 0;
    double inflow = 0.0;                  // plant inflow (l/s)
    std::array<int, 27> byLetter{};      // element count per letter 'A'..'Z'
    int count(char letter) const { return byLetter[static_cast<size_t>(letter - 'A')]; }
};

// One column value of a row, as an SQL literal ('text', a number or NULL).
struct Field {
    std::string column;
    std::string literal;
};

// One row of tbl_rvldaten; only the columns that are given.
struct ElementRow {
    std::vector<Field> fields;
};

// The two tables of a variant.
struct PlantTables {
    std::string comment;             // first line of the script
    std::vector<Field> all;          // the row of tbl_all (none: the table stays empty)
    std::vector<ElementRow> rows;    // tbl_rvldaten in the order of ER
};

// Builds the variant; on failure the tables are empty and `why` says why.
PlantTables build(const PlantShape& shape, PlantSummary& summary, std::string& why);

// The SQL script of a variant: both tables and their rows.
std::string to_sql(const PlantTables& tables);

// Writes the SQL script of the variant (tables tbl_all and tbl_rvldaten and
// one INSERT per element). An element count that cannot be met (fewer than
// the smallest plant, or more than the model holds) gives an empty script and
// a reason in `why`.
std::string generate(const PlantShape& shape, PlantSummary& summary, std::string& why);

// The smallest element count a plant of this shape can have.
int smallest_plant(const PlantShape& shape);

}  // namespace rivola::gen
