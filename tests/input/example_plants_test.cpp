// The example plants of the distribution validate without errors, in German
// and in English.
#include <gtest/gtest.h>

#include "input/variant_runner.h"

using namespace rivola;

namespace {

std::string example(const std::string& name) {
    return test::read_file(std::string(RIVOLA_SOURCE_DIR) + "/examples/" + name + ".sql");
}

}  // namespace

TEST(ExamplePlants, SmallPlantValidates) {
    for (const char* lang : {"", "ENGLISH"}) {
        test::TempDir dir("ex_small");
        const auto r = test::run_variant(dir, "kleine_anlage", example("kleine_anlage"),
                                         lang[0] ? std::vector<std::string>{lang}
                                                 : std::vector<std::string>{});
        EXPECT_EQ(r.ierr, 0) << lang << "\n" << r.checklist;
        EXPECT_TRUE(r.codes.empty()) << r.checklist;
        bool done = false;
        for (const auto& l : r.logs)
            done = done || l == (lang[0] ? "single losses checked" : "Einzelverluste geprüft");
        EXPECT_TRUE(done);
    }
}

TEST(ExamplePlants, TreatmentPlantWithComponentValidates) {
    for (const char* lang : {"", "ENGLISH"}) {
        test::TempDir dir("ex_plant");
        // The component sits next to the variant under the name the reader derives.
        RunContext tools;
        std::string status;
        test::write_file(dir.str() + "c.sql", example("klaeranlage_C_SANDFANG"));
        input::db_load_script(tools, dir.str() + "klaeranlage_C_SANDFANG.mdb", dir.str() + "c.sql",
                              status);
        ASSERT_EQ(status, "ok");
        const auto r = test::run_variant(dir, "klaeranlage", example("klaeranlage"),
                                         lang[0] ? std::vector<std::string>{lang}
                                                 : std::vector<std::string>{});
        EXPECT_LT(r.ierr, 2) << lang << "\n" << r.checklist;
        for (const auto& c : r.codes) EXPECT_EQ(c[0], 'W') << r.checklist;
        // The set-up went through to the single losses.
        bool done = false;
        for (const auto& l : r.logs)
            done = done || l == (lang[0] ? "single losses checked" : "Einzelverluste geprüft");
        EXPECT_TRUE(done);
        for (const auto& b : r.boxes) ADD_FAILURE() << b;
    }
}
