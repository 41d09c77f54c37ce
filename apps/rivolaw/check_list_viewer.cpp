#include "check_list_viewer.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "messages/m_language.h"
#include "messages/m_realwin.h"

namespace rivola::ui {

QFont check_list_font() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSize(9);
    if (!QFontInfo(f).fixedPitch()) {
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        f.setPointSize(9);
    }
    return f;
}

void print_check_list(QPrinter& printer, const QString& title, const QString& date,
                      const QStringList& lines) {
    std::vector<std::string> in;
    in.reserve(static_cast<size_t>(lines.size()));
    for (const auto& l : lines) in.push_back(l.toStdString());
    QStringList out;
    for (const auto& l : check_list_printout(title.toStdString(), date.toStdString(), in))
        out << QString::fromStdString(l);
    QTextDocument doc;
    doc.setDefaultFont(check_list_font());
    doc.setPlainText(out.join(QLatin1Char('\n')));
    doc.print(&printer);
}

CheckListViewer::CheckListViewer(const QString& path, const QString& title,
                                 const std::string& language, const QString& date,
                                 QWidget* parent)
    : QDialog(parent), title_(title), date_(date) {
    setWindowTitle(title);
    const auto fileLines = read_check_list(path.toStdString());
    if (check_list_has_messages(fileLines))
        for (const auto& l : fileLines) lines_ << QString::fromStdString(l);
    else
        lines_ << QString::fromStdString(check_list_empty_text(language));

    list_ = new QListWidget(this);
    list_->setFont(check_list_font());
    list_->addItems(lines_);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    print_ = new QPushButton(QString::fromStdString(translate_txt(language, kPrintCheckList)), this);
    pdf_ = new QPushButton(is_english(language) ? tr("Save as PDF ...") : tr("Als PDF speichern ..."),
                           this);
    auto* close = new QPushButton(is_english(language) ? tr("Close") : tr("Schließen"), this);
    connect(print_, &QPushButton::clicked, this, &CheckListViewer::print);
    connect(pdf_, &QPushButton::clicked, this, &CheckListViewer::exportPdf);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print_);
    buttons->addWidget(pdf_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    const QFontMetrics fm(list_->font());
    resize(fm.horizontalAdvance(QString(84, QLatin1Char('M'))) + 40, 480);
}

QStringList CheckListViewer::lines() const { return lines_; }

bool CheckListViewer::saveAsPdf(const QString& file) const {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(title_);
    print_check_list(printer, title_, date_, lines_);
    return QFileInfo(file).exists() && QFileInfo(file).size() > 0;
}

void CheckListViewer::print() {
    if (!unattendedPdf_.isEmpty()) {
        saveAsPdf(unattendedPdf_);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title_);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(print_->text());
    if (dialog.exec() == QDialog::Accepted) print_check_list(printer, title_, date_, lines_);
}

void CheckListViewer::exportPdf() {
    if (!unattendedPdf_.isEmpty()) {
        saveAsPdf(unattendedPdf_);
        return;
    }
    const QString file =
        QFileDialog::getSaveFileName(this, pdf_->text(), QString(), QStringLiteral("PDF (*.pdf)"));
    if (!file.isEmpty()) saveAsPdf(file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                                       ? file
                                       : file + QStringLiteral(".pdf"));
}

}  // namespace rivola::ui
