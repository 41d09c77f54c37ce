// Runs fuzz inputs without libFuzzer: every file named on the command line,
// or every file of a directory named there, is one hostile variant. A run
// that does not end in order aborts with the variant's script (see
// variant_fuzz.h); otherwise a summary of the outcomes is printed.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "variant_fuzz.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path p = argv[i];
        if (fs::is_directory(p)) {
            for (const auto& e : fs::directory_iterator(p))
                if (e.is_regular_file()) files.push_back(e.path());
        } else {
            files.push_back(p);
        }
    }
    if (files.empty()) {
        std::cerr << "usage: rivola-fuzz-replay FILE|DIR...\n";
        return 2;
    }
    std::sort(files.begin(), files.end());
    int loaded = 0, byLevel[4] = {0, 0, 0, 0};
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        const auto* d = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const rivola::fuzz::FuzzVariant v = rivola::fuzz::variant_from_bytes(d, bytes.size());
        const rivola::fuzz::FuzzOutcome o = rivola::fuzz::run_variant(v);
        if (!o.why.empty()) {
            std::cerr << f.string() << ": " << o.why << "\n--- variant ---\n" << v.script << "---\n";
            return 1;
        }
        if (o.loaded) {
            ++loaded;
            if (o.ierr >= 0 && o.ierr <= 3) ++byLevel[o.ierr];
        }
    }
    std::cout << files.size() << " inputs, " << loaded << " loaded; error levels 0/1/2/3: "
              << byLevel[0] << "/" << byLevel[1] << "/" << byLevel[2] << "/" << byLevel[3] << "\n";
    return 0;
}
