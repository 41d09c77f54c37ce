// Text windows of the desktop program: the help browser and the viewer of
// the listings of the last run.
#pragma once

#include <QDialog>
#include <QStringList>
#include <QTextBrowser>
#include <string>

class QTabWidget;

namespace rivola::ui {

// Name of the help page that lists the message codes; it is made from the
// program's own message catalogue in the program's language.
inline constexpr const char* kCodesPage = "codes.html";

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
    // One tab per listing file.
    ListingsViewer(const QStringList& files, const QString& title, QWidget* parent = nullptr);
    QTabWidget* tabs() const { return tabs_; }

private:
    QTabWidget* tabs_ = nullptr;
};

}  // namespace rivola::ui
