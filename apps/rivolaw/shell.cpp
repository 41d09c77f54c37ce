#include "shell.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <cstdlib>
#include <iostream>

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
    std::string badWait;
    bool hasBadWait = false;
    for (const auto& a : args) {
        if (a == "--batch") {
            s.batch = true;
            continue;
        }
        if (a == "--no-drawing") {
            s.drawing = false;
            continue;
        }
        if (a.rfind("--db-wait=", 0) != 0) {
            s.params.push_back(a);
            continue;
        }
        const std::string v = a.substr(10);
        char* end = nullptr;
        const long n = std::strtol(v.c_str(), &end, 10);
        if (v.empty() || *end != '\0' || n < 0 || n > 86400) {
            hasBadWait = true;
            badWait = v;
        } else {
            s.dbWait = static_cast<int>(n);
        }
    }
    for (const auto& a : s.params)
        if (support::contains(support::upper(a), "ENGLISH")) s.language = "ENGLISH";
    if (s.language == "ENGLISH" && support::file_exists(dir + kHelpFileEnglish))
        s.helpPath = dir + kHelpFileEnglish;
    s.autoRun = s.params.empty() ? 0 : 1;
    if (hasBadWait) {
        s.dbWait = 60;
        s.badOption = s.language == "ENGLISH"
                          ? "--db-wait needs a number of seconds from 0 to 86400, not \"" + badWait +
                                "\"; the calculation waits 60 s."
                          : "--db-wait verlangt eine Zahl von Sekunden von 0 bis 86400, nicht \"" +
                                badWait + "\"; die Berechnung wartet 60 s.";
    }
    return s;
}

void use_qt_translations(const std::string& language) {
    static QTranslator qt;
    QCoreApplication::removeTranslator(&qt);
    if (language.find("ENGL") != std::string::npos) return;
    if (qt.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
}

int rw_main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    const std::string exe = QCoreApplication::applicationFilePath().toStdString();
    const ShellSettings settings = shell_settings(exe, args, support::today());
    use_qt_translations(settings.language);
    if (settings.batch && settings.params.empty()) {
        std::cerr << "rivolaw: --batch needs a variant database (rivolaw --batch VARIANT.mdb)\n";
        return 3;
    }
    MainWindow window(settings);
    window.show();
    window.autoStart();
    app.exec();
    // a batch run ends with the exit status of the command-line program
    return settings.batch ? std::clamp(window.lastErrorLevel(), 0, 3) : 0;
}

}  // namespace rivola::ui
