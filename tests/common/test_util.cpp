#include "common/test_util.h"

#include <atomic>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace rivola::test {

TempDir::TempDir(const std::string& tag) {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::path(RIVOLA_BINARY_DIR) / "tmp" /
            (tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> read_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream f(path);
    for (std::string l; std::getline(f, l);) lines.push_back(l);
    return lines;
}

std::vector<std::string> fields(const std::string& line, char sep) {
    std::vector<std::string> f;
    std::string cur;
    for (char c : line) {
        if (c == sep) {
            f.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    f.push_back(cur);
    return f;
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

}  // namespace rivola::test
