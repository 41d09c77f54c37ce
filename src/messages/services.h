// The platform services that a calculation run needs from the user interface:
// message boxes, a yes/no question, the file dialog, the screen log and the
// closing dialog. The command-line program and the desktop program each
// implement them; the core never calls a window toolkit.
#pragma once

#include <string>
#include <vector>

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

// Screen-log lines and message boxes kept in the order they were told, to be
// shown later on other services: work done in parallel (flow cases, lanes of
// the walk) tells its lines in a fixed order, never mixed.
class KeptSaid {
public:
    void log(const std::string& line) { said_.push_back({false, {}, line}); }
    void message(const std::string& title, const std::string& text) { said_.push_back({true, title, text}); }
    // Shows what was kept on `to` (nothing without services).
    void replay(Services* to) const {
        if (!to) return;
        for (const Said& s : said_) s.box ? to->message(s.title, s.text) : to->log(s.text);
    }
    void clear() { said_.clear(); }

private:
    struct Said {
        bool box;
        std::string title, text;
    };
    std::vector<Said> said_;
};

}  // namespace rivola::ui
