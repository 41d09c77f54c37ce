// Regression guard: the listings of the example plants, computed by whole runs
// and compared line by line with the stored ones (tests/output/golden/), the
// dates masked. After a deliberate change of the listings or the computation,
// store new ones with RIVOLA_UPDATE_GOLDEN=1 and review the difference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "common/variant_db.h"
#include "support/m_strings.h"

using namespace rivola;
namespace fs = std::filesystem;

namespace {

std::string golden_dir() { return std::string(RIVOLA_SOURCE_DIR) + "/tests/output/golden/"; }

// The SQL script of a plant: an example of the distribution, or a plant kept
// with the stored listings.
std::string example(const std::string& name) {
    const std::string kept = golden_dir() + name + ".sql";
    if (fs::exists(kept)) return kept;
    return std::string(RIVOLA_SOURCE_DIR) + "/examples/" + name + ".sql";
}

std::string masked(const std::string& text) {
    static const std::regex date(R"(\d\d\.\d\d\.\d\d\d\d)");
    return std::regex_replace(text, date, "TT.MM.JJJJ");
}

// Runs an example plant (with its components) in a fresh directory and returns
// the ierr of the run; the listings stay in `dir`.
int run_example(const test::TempDir& dir, const std::string& name,
                const std::vector<std::string>& components, bool english) {
    for (const auto& c : components) test::loaded_variant(dir, c, test::read_file(example(c)));
    test::loaded_variant(dir, name, test::read_file(example(name)));
    test::RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = {dir.str() + name + ".mdb"};
    if (english) {
        ctx.settings.language = "ENGLISH";
        ctx.run.params.push_back("OUT=ENGL");
    }
    run::r_rivola(ctx, 1);
    return ctx.run.ierr;
}

void compare(const test::TempDir& dir, const std::string& name, const std::string& lang) {
    const bool update = std::getenv("RIVOLA_UPDATE_GOLDEN") != nullptr;
    // the listings with the width of their tables; the input echo, the CSV
    // file, the plot data and the drawing byte for byte only
    const std::pair<const char*, size_t> files[] = {{".ERG", 130}, {".ERK", 130}, {".QVE", 98}, {".EEF", 105},
                                                    {".EIN", 0}, {".csv", 0}, {"_plot.csv", 0}, {"_profile.svg", 0}};
    for (const auto& [ext, width] : files) {
        const std::string made = dir.str() + name + ext;
        const std::string stored = golden_dir() + name + "_" + lang + ext;
        if (update) {
            fs::remove(stored);
            if (fs::exists(made)) test::write_file(stored, masked(test::read_file(made)));
            continue;
        }
        ASSERT_EQ(fs::exists(made), fs::exists(stored)) << made;
        if (!fs::exists(made)) continue;
        // every table line as wide as its table, every page of 60 lines
        size_t inPage = width ? 0 : 60;
        for (const auto& l : width ? test::read_lines(made) : std::vector<std::string>{}) {
            if (l.rfind(" I", 0) == 0) {
                EXPECT_EQ(support::ulen(l), width) << made << "\n" << l;
            }
            if (l == "\f") {
                EXPECT_EQ(inPage, 60u) << made;
                inPage = 0;
            }
            ++inPage;
        }
        EXPECT_EQ(inPage, 60u) << made;
        // on a difference the test framework shows the differing lines
        EXPECT_EQ(masked(test::read_file(made)), test::read_file(stored)) << stored;
    }
}

}  // namespace

// The small plant; two stages of two lanes each behind free divisions, joined
// by confluences (flumes, screen, measurement flumes, basins, walls, pipes,
// distribution and collection flumes); the treatment plant of the examples
// with its grit-chamber component: every element type, divisions iterated to
// balance.
struct Example {
    const char* name;
    std::vector<std::string> components;
};
class GoldenListings : public ::testing::TestWithParam<Example> {};

TEST_P(GoldenListings, BothLanguagesAsStored) {
    for (bool en : {false, true}) {
        test::TempDir dir("golden");
        EXPECT_LT(run_example(dir, GetParam().name, GetParam().components, en), 2);
        compare(dir, GetParam().name, en ? "en" : "de");
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenListings,
                         ::testing::Values(Example{"kleine_anlage", {}}, Example{"zwei_stufen", {}},
                                           Example{"klaeranlage", {"klaeranlage_C_SANDFANG"}}),
                         [](const ::testing::TestParamInfo<Example>& i) { return std::string(i.param.name); });
