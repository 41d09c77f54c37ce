#include "common/test_util.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

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
    std::vector<std::string> f(1);
    for (char c : line) {
        if (c == sep)
            f.emplace_back();
        else
            f.back() += c;
    }
    return f;
}

std::vector<std::string> check_codes(const std::string& checkListFile) {
    std::vector<std::string> out;
    for (const std::string& l : read_lines(checkListFile)) {
        if (l.size() < 3 || l[0] == ' ') continue;
        if (l.rfind("Prüfprotokoll", 0) == 0 || l.rfind("check-list", 0) == 0) continue;
        out.push_back(l.substr(0, 3));
    }
    return out;
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

ProgramRun run_program(const std::string& dir, const std::string& program, const std::string& args,
                       const std::string& env) {
    const std::string cmd = (dir.empty() ? std::string() : "cd '" + dir + "' && ") +
                            (env.empty() ? std::string() : "env " + env + " ") + "'" +
                            std::string(RIVOLA_BINARY_DIR) + "/" + program + "' " + args + " 2>&1";
    ProgramRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 512> buf{};
    while (fgets(buf.data(), static_cast<int>(buf.size()), p)) r.out += buf.data();
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace rivola::test
