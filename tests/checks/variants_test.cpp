// Check variants: each file of tests/checks/variants/ changes the base plant
// (base.sql, which validates without any message) by a few SQL statements, so
// that one finding of the set-up or the checks follows. Its head says what the
// check list must hold:
//   -- expect: CODE ...     codes that must appear
//   -- level: N             the error level of the run
//   -- text: ...            a piece of text the check list must contain
//   -- absent: CODE ...     codes that must not appear
//   -- language: ENGLISH    run in English
//   -- screen: ...          a line the screen log must show
// The variant is loaded into a database file and validated by a whole run
// with SIM=N.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "common/variant_db.h"

using namespace rivola;

namespace {

const std::filesystem::path kDir = std::filesystem::path(RIVOLA_SOURCE_DIR) / "tests/checks/variants";

struct Variant {
    std::string name;
    std::vector<std::string> expect, absent, text, screen;
    int level = -1;
    std::string language;
    std::string sql;
};

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> w;
    for (std::string x; in >> x;) w.push_back(x);
    return w;
}

Variant parse(const std::filesystem::path& file) {
    Variant v;
    v.name = file.stem().string();
    v.sql = test::read_file(file.string());
    for (const std::string& l : test::read_lines(file.string())) {
        const size_t colon = l.find(':');
        if (l.rfind("-- ", 0) != 0 || colon == std::string::npos) continue;
        const std::string key = l.substr(3, colon - 3), val = l.substr(colon + (l.compare(colon, 2, ": ") ? 1 : 2));
        if (key == "expect") v.expect = words(val);
        else if (key == "absent") v.absent = words(val);
        else if (key == "text") v.text.push_back(val);
        else if (key == "screen") v.screen.push_back(val);
        else if (key == "level") v.level = std::stoi(val);
        else if (key == "language") v.language = val;
    }
    return v;
}

std::vector<std::string> variant_files() {
    std::vector<std::string> names;
    for (const auto& f : std::filesystem::directory_iterator(kDir))
        if (f.path().extension() == ".sql")
            names.push_back(f.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class CheckVariant : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(CheckVariant, CheckListHoldsTheFinding) {
    // the base plant on its own validates without any message
    const Variant v =
        GetParam() == "base" ? Variant{"base", {}, {}, {}, {}, 0, "", ""} : parse(kDir / (GetParam() + ".sql"));
    ASSERT_GE(v.level, 0) << "variant without level";
    test::TempDir dir("variant");
    const std::string script = test::read_file((kDir / "base.sql").string()) + "\n" + v.sql;
    std::vector<std::string> extra;
    if (!v.language.empty()) extra.push_back(v.language);
    const auto r = test::run_variant(dir, "VARIANTE", script, extra);
    EXPECT_EQ(r.ierr, v.level) << r.checklist;
    for (const auto& c : v.expect)
        EXPECT_NE(std::find(r.codes.begin(), r.codes.end(), c), r.codes.end())
            << c << " missing in\n" << r.checklist;
    for (const auto& c : v.absent)
        EXPECT_EQ(std::find(r.codes.begin(), r.codes.end(), c), r.codes.end())
            << c << " unexpected in\n" << r.checklist;
    for (const auto& t : v.text)
        EXPECT_NE(r.checklist.find(t), std::string::npos) << "'" << t << "' missing in\n"
                                                          << r.checklist;
    for (const auto& t : v.screen)
        EXPECT_NE(std::find(r.logs.begin(), r.logs.end(), t), r.logs.end()) << t;
    // A variant that passes leaves no message at all.
    if (v.level == 0) {
        EXPECT_TRUE(r.codes.empty()) << r.checklist;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, CheckVariant, ::testing::ValuesIn(variant_files()),
                         [](const ::testing::TestParamInfo<std::string>& i) { return i.param; });
