#include "shell.h"

#include <QApplication>

#include "main_window.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::ui {

ShellSettings shell_settings(const std::string& exePath, const std::vector<std::string>& args,
                             const std::string& date) {
    ShellSettings s;
    std::string dir;
    if (!exePath.empty()) {
        const size_t slash = exePath.find_last_of('/');
        if (slash != std::string::npos) dir = exePath.substr(0, slash + 1);
    }
    s.helpPath = dir + kHelpFile;
    s.startDate = " " + date;
    s.params = args;
    for (const auto& a : args)
        if (support::contains(support::upper(a), "ENGLISH")) s.language = "ENGLISH";
    if (s.language == "ENGLISH" && support::file_exists(dir + kHelpFileEnglish))
        s.helpPath = dir + kHelpFileEnglish;
    s.autoRun = args.empty() ? 0 : 1;
    return s;
}

int rw_main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    const std::string exe = QCoreApplication::applicationFilePath().toStdString();
    MainWindow window(shell_settings(exe, args, support::today()));
    window.show();
    window.autoStart();
    app.exec();
    return 0;
}

}  // namespace rivola::ui
