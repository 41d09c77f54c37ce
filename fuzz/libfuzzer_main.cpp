// libFuzzer entry: one hostile variant per input.
#include <cstddef>
#include <cstdint>

#include "variant_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rivola::fuzz::run_one(data, size);
    return 0;
}
