// The platform services that a calculation run needs from the user interface:
// message boxes, a yes/no question, the file dialog, the screen log and the
// closing dialog. The command-line program and the desktop program each
// implement them; the core never calls a window toolkit.
#pragma once

#include <string>

namespace rivola::ui {

class Services {
public:
    virtual ~Services() = default;
    // A message box with a title and a text (lines separated by '\n').
    virtual void message(const std::string& title, const std::string& text) = 0;
    // A yes/no question; true for yes.
    virtual bool question(const std::string& title, const std::string& text) = 0;
    // The file-open dialog; returns an empty text when the user cancels.
    virtual std::string openFile(const std::string& title, const std::string& filter) = 0;
    // One line of the screen log.
    virtual void log(const std::string& line) = 0;
    // The closing dialog with the final message; checkList names the check
    // list file, which the dialog may offer to show or print.
    virtual void finale(const std::string& text, const std::string& checkList) = 0;
    // Progress of the division iteration: the pass just finished and the
    // largest energy difference at a free division after it (mm); default: nothing.
    virtual void progress(int /*pass*/, float /*largestDiffMm*/) {}
    // True when the user asked to cancel the run.
    virtual bool cancelled() { return false; }
    // A fatal message was confirmed: the program ends once the run has
    // returned; default: nothing (the run's error level says it failed).
    virtual void stop_program() {}
};

}  // namespace rivola::ui
