// The user-interface services of the command-line program: the screen log on
// standard output; message boxes, questions and the closing dialog as lines on
// standard error. Questions are answered "no" unless the services were made
// with yes = true; the file dialog is always cancelled (no variant chosen).
#pragma once

#include <iosfwd>
#include <string>

#include "messages/services.h"

namespace rivola::ui {

class CliServices : public Services {
public:
    explicit CliServices(bool yes = false);
    CliServices(bool yes, std::ostream& out, std::ostream& err);

    void message(const std::string& title, const std::string& text) override;
    bool question(const std::string& title, const std::string& text) override;
    std::string openFile(const std::string& title, const std::string& filter) override;
    void log(const std::string& line) override;
    // The final message; with yes = true the check list follows it.
    void finale(const std::string& text, const std::string& checkList) override;
    void stop_program() override { stopped_ = true; }

    // A fatal message was confirmed during the run.
    bool stopped() const { return stopped_; }

private:
    bool yes_;
    std::ostream& out_;
    std::ostream& err_;
    bool stopped_ = false;
};

}  // namespace rivola::ui
