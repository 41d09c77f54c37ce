// A user interface that records what the run shows, for tests.
#pragma once

#include <string>
#include <vector>

#include "messages/services.h"

namespace rivola::test {

class RecordingUi : public ui::Services {
public:
    std::vector<std::string> logs, boxes, finales;
    std::string fileToOpen;
    bool answer = false;
    void message(const std::string& title, const std::string& text) override {
        boxes.push_back(title + "|" + text);
    }
    bool question(const std::string&, const std::string&) override { return answer; }
    std::string openFile(const std::string&, const std::string&) override { return fileToOpen; }
    void log(const std::string& line) override { logs.push_back(line); }
    void finale(const std::string& text, const std::string&) override { finales.push_back(text); }
};

}  // namespace rivola::test
