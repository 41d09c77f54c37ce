// Text windows of the desktop program: the help browser and the viewer of
// the listings of the last run.
#pragma once

#include <QDialog>
#include <QStringList>
#include <QTextBrowser>
#include <string>

class QTabWidget;

namespace rivola::output {
struct ProfileDrawing;
}

namespace rivola::ui {

// Name of the help page that lists the message codes; it is made from the
// program's own message catalogue in the program's language.
inline constexpr const char* kCodesPage = "codes.html";

// The fields of one line of a ";"-separated file; a field in double quotes
// may hold ";" and doubled quotes.
QStringList split_csv_line(const QString& line);

// The message codes as an HTML page in a language.
QString message_codes_html(const std::string& language);

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(std::string language, QWidget* parent = nullptr)
        : QTextBrowser(parent), language_(std::move(language)) {}
    QVariant loadResource(int type, const QUrl& name) override;

private:
    std::string language_;
};

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    HelpWindow(const QString& helpPath, const std::string& language, QWidget* parent = nullptr);
    HelpBrowser* browser() const { return browser_; }

private:
    HelpBrowser* browser_ = nullptr;
};

class ListingsViewer : public QDialog {
    Q_OBJECT
public:
    // One tab per listing file: a table for a ".csv" file (fields separated
    // by ";", the first line the header); for a ".svg" file the drawing when
    // one is given, else the text.
    ListingsViewer(const QStringList& files, const QString& title, QWidget* parent = nullptr);
    ListingsViewer(const QStringList& files, const QString& title, const output::ProfileDrawing* drawing,
                   QWidget* parent = nullptr);
    QTabWidget* tabs() const { return tabs_; }

private:
    QTabWidget* tabs_ = nullptr;
};

}  // namespace rivola::ui
