// The user-interface services of the desktop program. The run calls them on
// its worker thread: log lines and progress are posted to the window and the
// run goes on; message boxes, questions, the file dialog and the closing
// dialog are shown by the window thread while the run waits for the answer.
#pragma once

#include "messages/services.h"

namespace rivola {
struct RunContext;
}

namespace rivola::ui {

class MainWindow;

class QtServices : public Services {
public:
    QtServices(MainWindow* window, RunContext* ctx) : window_(window), ctx_(ctx) {}

    void message(const std::string& title, const std::string& text) override;
    bool question(const std::string& title, const std::string& text) override;
    std::string openFile(const std::string& title, const std::string& filter) override;
    void log(const std::string& line) override;
    void finale(const std::string& text, const std::string& checkList) override;
    void progress(int pass, float largestDiffMm) override;
    // True when the user asked to cancel and confirmed it.
    bool cancelled() override;
    void stop_program() override;

private:
    MainWindow* window_;
    RunContext* ctx_;
};

}  // namespace rivola::ui
