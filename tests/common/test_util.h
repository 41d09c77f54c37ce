// Helpers shared by the tests: temporary directories and reading text files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace rivola::test {

// A fresh directory below the build tree, removed when the object goes.
class TempDir {
public:
    explicit TempDir(const std::string& tag = "t");
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string() + "/"; }
    std::string operator/(const std::string& name) const { return str() + name; }

private:
    std::filesystem::path path_;
};

// Whether `text` holds `part`; a failure shows both.
inline ::testing::AssertionResult holds(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" not in:\n" << text;
}

// Each value against its expected one within four units in the last place, named by its place.
inline void expect_floats(std::initializer_list<float> got, std::initializer_list<float> want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t k = 0; k < got.size(); ++k) EXPECT_FLOAT_EQ(got.begin()[k], want.begin()[k]) << "value " << k;
}

std::string read_file(const std::string& path);
std::vector<std::string> read_lines(const std::string& path);
void write_file(const std::string& path, const std::string& text);
// The fields of a line between separators (a line ending in `sep` has an
// empty last field).
std::vector<std::string> fields(const std::string& line, char sep);
// The codes of the messages in a check list file, in order.
std::vector<std::string> check_codes(const std::string& checkListFile);

// A program of the build run as its own process in `dir` (empty: the
// current directory), `args` as typed on a command line, `env` assignments
// (NAME=value ...) put before it; standard error is kept with standard output.
struct ProgramRun {
    int status = -1;
    std::string out;
};
ProgramRun run_program(const std::string& dir, const std::string& program, const std::string& args,
                       const std::string& env = "");

}  // namespace rivola::test
