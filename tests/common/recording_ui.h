// A user interface that records what the run shows, for tests.
#pragma once

#include <string>
#include <vector>

#include "messages/services.h"

namespace rivola::test {

class RecordingUi : public ui::Services {
public:
    std::vector<std::string> logs, boxes, questions, finales;   // boxes, questions: "title|text"
    std::string fileToOpen;
    std::string finaleList;   // the check list the last closing dialog offered
    bool answer = false;
    void message(const std::string& title, const std::string& text) override {
        boxes.push_back(title + "|" + text);
    }
    bool question(const std::string& title, const std::string& text) override {
        questions.push_back(title + "|" + text);
        return answer;
    }
    std::string openFile(const std::string&, const std::string&) override { return fileToOpen; }
    void log(const std::string& line) override { logs.push_back(line); }
    void finale(const std::string& text, const std::string& checkList) override {
        finales.push_back(text);
        finaleList = checkList;
    }
};

}  // namespace rivola::test
