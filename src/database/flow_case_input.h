// Flow cases of a variant: the optional tables tbl_lastfaelle (one row per
// case: order, name, description, factor on the inflows, downstream water
// level), tbl_lastfall_q (the inflow of one Q element in a case) and
// tbl_lastfall_aufteilung (a fixed split of one division in a case, e.g. a
// lane out of service). A variant without tbl_lastfaelle has no cases.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::input {

struct CaseInflow {
    std::string bez;                 // a Q element
    float Q = kMissing;              // its inflow in the variant's unit (Q_ls)
    int row = 0;                     // row of tbl_lastfall_q, for messages
};

struct CaseSplit {
    std::string bez;                 // a division A or a dividing V
    float aufteilung1 = kMissing, aufteilung2 = kMissing;
    int row = 0;                     // row of tbl_lastfall_aufteilung
};

struct FlowCase {
    int nr = 0;
    std::string name;                // Lastfall: letters, digits, "_", "-"; up to 16
    std::string beschreibung;
    float faktor = kMissing;         // NULL: 1
    float wasserstand = kMissing;    // NULL: the variant's Wasserstand
    int row = 0;                     // row of tbl_lastfaelle
    std::vector<CaseInflow> inflows;
    std::vector<CaseSplit> splits;
};

// Reads the flow cases of the variant at `path` in the order of Nr (rows
// without Nr last, in their order). Rows of tbl_lastfall_q and
// tbl_lastfall_aufteilung go to their case; a row naming no case is reported.
// Every fault of the rows is reported in the check list (L01..L06, errors);
// `status` is "ok" unless a table cannot be read.
void read_flow_cases(RunContext& ctx, const std::string& path, std::vector<FlowCase>& cases,
                     std::string& status);

// Checks the cases against the elements the variant has read (names, types,
// factors, splits); reports every fault and returns false when any.
bool check_flow_cases(RunContext& ctx, const std::vector<FlowCase>& cases);

// Applies a case to the plant model as read: the factor on every inflow and
// take-out of the Q elements, the inflows of single Q elements, the
// downstream water level and the splits of divisions.
void apply_flow_case(Plant& p, const FlowCase& c);

}  // namespace rivola::input
