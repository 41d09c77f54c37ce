// The envelope of the flow cases of a variant: base + "_Lastfaelle.csv" with
// one row per element end and the water level of every case, the smallest
// freeboard over the cases and the case that leaves it.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::output {

// Builds the envelope from the CSV files the cases wrote (names[k] is the
// case of csvFiles[k]); rows in the order of the first case, matched in the
// others by group, element and line number. A case whose CSV is missing has
// empty levels. The file is written whole or not at all.
void write_envelope(RunContext& ctx, const std::vector<std::string>& names,
                    const std::vector<std::string>& csvFiles);

}  // namespace rivola::output
