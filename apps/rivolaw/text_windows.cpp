#include "text_windows.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "check_list_viewer.h"
#include "profile_view.h"
#include "database/column_reference.h"
#include "messages/m_info.h"
#include "shell.h"
#include "messages/m_language.h"

namespace rivola::ui {

QStringList split_csv_line(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) field += c;
            else if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) field += line.at(++i);
            else quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

namespace {

QTableWidget* csv_table(const QString& text, QWidget* parent) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (auto& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    auto* table = new QTableWidget(parent);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (lines.isEmpty()) return table;
    const QStringList header = split_csv_line(lines.first());
    std::vector<QStringList> rows;
    qsizetype columns = header.size();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        rows.push_back(split_csv_line(lines.at(i)));
        columns = std::max(columns, rows.back().size());
    }
    table->setColumnCount(static_cast<int>(columns));
    table->setRowCount(static_cast<int>(rows.size()));
    table->setHorizontalHeaderLabels(header);
    for (size_t r = 0; r < rows.size(); ++r)
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            table->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(rows[r].at(c)));
    return table;
}

}  // namespace

QString message_codes_html(const std::string& language) {
    const bool en = is_english(language);
    QString h = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>")
                    .arg(en ? QStringLiteral("Message codes") : QStringLiteral("Meldungscodes"));
    h += en ? QStringLiteral("<h1>Message codes of the check list</h1><p>G: GEO data (error), "
                             "H: single losses (error; H56 warning), Q: inflows and outlets "
                             "(error), S: system logic (error), W: warnings and hints, max: a "
                             "table of the plant is full. The values of a message (element "
                             "names, numbers) are filled in where the text shows them in "
                             "braces.</p>")
            : QStringLiteral("<h1>Meldungscodes des Prüfprotokolls</h1><p>G: GEO-Daten (Fehler), "
                             "H: Einzelverluste (Fehler; H56 Warnung), Q: Zu- und Abläufe "
                             "(Fehler), S: Systemlogik (Fehler), W: Warnungen und Hinweise, max: "
                             "eine Tabelle der Anlage ist voll. Die Werte einer Meldung "
                             "(Elementnamen, Zahlen) stehen im Prüfprotokoll an den Stellen in "
                             "geschweiften Klammern.</p>");
    h += QStringLiteral("<p><a href=\"%1\">%2</a></p><table border=\"1\" cellpadding=\"3\">")
             .arg(QString::fromLatin1(en ? kHelpFileEnglish : kHelpFile),
                  en ? QStringLiteral("Back to the contents") : QStringLiteral("Zurück zum Inhalt"));
    for (size_t i = 0; i < checks::catalogue_size(); ++i) {
        const auto& e = checks::catalogue_at(i);
        const char* text = en ? e.en : e.de;
        if (!text) continue;
        const QString code = QString::fromUtf8(e.code);
        h += QStringLiteral("<tr><td><b>%1</b></td><td><pre>%2</pre></td></tr>")
                 .arg(code == QLatin1String("W2b") ? QStringLiteral("W21") : code,
                      QString::fromUtf8(text).toHtmlEscaped());
    }
    h += QStringLiteral("</table></body></html>");
    return h;
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::HtmlResource && name.fileName() == QLatin1String(kCodesPage))
        return message_codes_html(language_);
    // the pages of the element types and their columns, from the column reference
    const QString file = name.fileName();
    if (type == QTextDocument::HtmlResource && file.startsWith(QLatin1String("RIVOLAW_typ"))) {
        const bool en = file.endsWith(QLatin1String("_en.html"));
        if (file.startsWith(QLatin1String("RIVOLAW_typen")))
            return QString::fromStdString(input::column_help_index(en));
        if (file.size() > 12 && file.startsWith(QLatin1String("RIVOLAW_typ_")))
            return QString::fromStdString(input::element_help_page(file.at(12).toLatin1(), en));
    }
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(const QString& helpPath, const std::string& language, QWidget* parent)
    : QDialog(parent) {
    const bool en = is_english(language);
    setWindowTitle(en ? QStringLiteral("RIVOLA - Help") : QStringLiteral("RIVOLA - Hilfe"));
    browser_ = new HelpBrowser(language, this);
    browser_->setOpenExternalLinks(false);
    if (QFileInfo::exists(helpPath)) {
        browser_->setSource(QUrl::fromLocalFile(QFileInfo(helpPath).absoluteFilePath()));
    } else {
        browser_->setHtml(
            (en ? QStringLiteral("<p>The help file was not found:</p><p>%1</p>")
                : QStringLiteral("<p>Die Hilfedatei wurde nicht gefunden:</p><p>%1</p>"))
                .arg(helpPath.toHtmlEscaped()));
    }
    auto* back = new QPushButton(en ? QStringLiteral("Back") : QStringLiteral("Zurück"), this);
    auto* home = new QPushButton(en ? QStringLiteral("Contents") : QStringLiteral("Inhalt"), this);
    auto* close = new QPushButton(en ? QStringLiteral("Close") : QStringLiteral("Schließen"), this);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addLayout(buttons);
    resize(760, 600);
}

ListingsViewer::ListingsViewer(const QStringList& files, const QString& title, QWidget* parent)
    : ListingsViewer(files, title, nullptr, parent) {}

ListingsViewer::ListingsViewer(const QStringList& files, const QString& title,
                               const output::ProfileDrawing* drawing, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    tabs_ = new QTabWidget(this);
    for (const auto& f : files) {
        QFile in(f);
        if (!in.open(QIODevice::ReadOnly)) continue;
        const QString name = QFileInfo(f).fileName();
        if (f.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
            tabs_->addTab(csv_table(QString::fromUtf8(in.readAll()), this), name);
            continue;
        }
        if (drawing && f.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
            auto* view = new ProfileView;
            view->setDrawing(*drawing);
            auto* scroll = new QScrollArea(this);
            scroll->setWidget(view);
            tabs_->addTab(scroll, name);
            continue;
        }
        auto* text = new QPlainTextEdit(this);
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        text->setFont(check_list_font());
        text->setPlainText(QString::fromUtf8(in.readAll()));
        tabs_->addTab(text, name);
    }
    auto* close = new QPushButton(QStringLiteral("OK"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(900, 640);
}

}  // namespace rivola::ui
