// Helpers shared by the tests of the hydraulic formulas.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "run/context.h"
#include "ui/services.h"

namespace rivola::hydtest {

// Screen log that keeps its lines.
class LogServices : public ui::Services {
public:
    std::vector<std::string> lines;
    void message(const std::string&, const std::string& text) override { lines.push_back(text); }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string& line) override { lines.push_back(line); }
    void finale(const std::string&, const std::string&) override {}
    // True when the log, its lines joined by line breaks, holds the text.
    bool logged(const std::string& part) const {
        std::string all;
        for (const auto& l : lines) all += l + "\n";
        return all.find(part) != std::string::npos;
    }
};

// A fresh temporary directory for a test that writes files.
inline std::filesystem::path temp_dir(const std::string& tag) {
    auto p = std::filesystem::temp_directory_path() /
             ("rivola_" + tag + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
}

}  // namespace rivola::hydtest
