// The check list viewer: the messages of a run in a scrolling list, with
// printing through the print dialog and to a PDF file.
#pragma once

#include <QDialog>
#include <QFont>
#include <QStringList>
#include <string>

class QListWidget;
class QPrinter;
class QPushButton;

namespace rivola::ui {

// "Courier New" when it is installed, otherwise the closest fixed-pitch font.
QFont check_list_font();

// Prints the check list (heading and lines, blocks separated by lines of 80
// "=") on a printer of any kind.
void print_check_list(QPrinter& printer, const QString& title, const QString& date,
                      const QStringList& lines);

class CheckListViewer : public QDialog {
    Q_OBJECT
public:
    // Shows the check list file `path`; `title` names the variant's list.
    CheckListViewer(const QString& path, const QString& title, const std::string& language,
                    const QString& date, QWidget* parent = nullptr);

    // The lines shown (the empty text when the list holds no messages).
    QStringList lines() const;
    // Writes the printout to a PDF file; false when it cannot be written.
    bool saveAsPdf(const QString& file) const;
    // With a test hook the print and PDF buttons do not open dialogs; they
    // print into this PDF file instead.
    void setUnattendedPdf(const QString& file) { unattendedPdf_ = file; }

    QPushButton* printButton() const { return print_; }
    QPushButton* pdfButton() const { return pdf_; }

private:
    void print();
    void exportPdf();

    QString title_;
    QString date_;
    QStringList lines_;
    QListWidget* list_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* pdf_ = nullptr;
    QString unattendedPdf_;
};

}  // namespace rivola::ui
