#include "main_window.h"

#include "database/db_tools.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <utility>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <iostream>

#include "qt_services.h"
#include "run/r_rivola.h"
#include "support/m_files.h"
#include "support/m_strings.h"
#include "messages/m_language.h"
#include "messages/m_realwin.h"

namespace rivola::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A file filter written as "name*.a;*.b" becomes "name (*.a *.b)"; on a
// case-sensitive file system each pattern is also offered in upper case.
QString qt_filter(const QString& filter);

// Shows only variant files (and folders) in the file dialog.
class VariantFilesOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files) return true;
        const QModelIndex index = files->index(row, 0, parent);
        return files->isDir(index) || is_variant_file(files->fileName(index));
    }
};

constexpr int kRecentMax = 8;

QSettings recent_store() { return QSettings(QStringLiteral("RIVOLA"), QStringLiteral("rivolaw")); }

QString qt_filter(const QString& filter) {
    const int star = filter.indexOf(QLatin1Char('*'));
    if (star < 0) return filter;
    const QString name = filter.left(star).trimmed();
    QStringList patterns;
    for (const auto& p : filter.mid(star).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        for (const QString& v : {p.toLower(), p.toUpper()})
            if (!patterns.contains(v)) patterns << v;
    }
    return (name.isEmpty() ? QString() : name + QLatin1Char(' ')) + QLatin1Char('(') +
           patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

}  // namespace

bool is_variant_file(const QString& fileName) {
    if (!fileName.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive)) return false;
    if (fileName.compare(QLatin1String(input::kResultsDbName), Qt::CaseInsensitive) == 0) return false;
    return !fileName.contains(QLatin1String("_C_"));
}

MainWindow::MainWindow(ShellSettings settings, QWidget* parent)
    : QMainWindow(parent), settings_(std::move(settings)) {
    ctx_.settings.language = settings_.language;
    ctx_.settings.programName = support::trim(settings_.programName);
    ctx_.settings.version = settings_.version;
    ctx_.run.params = settings_.params;
    ctx_.run.dbWait = settings_.dbWait;
    services_ = std::make_unique<QtServices>(this, &ctx_);
    ctx_.ui = services_.get();

    const QString name = q(support::trim(settings_.programName));
    setWindowTitle(name + QLatin1Char(' ') + q(settings_.version));

    log_ = new QListWidget(this);
    QFont mono = check_list_font();
    mono.setPointSize(10);
    log_->setFont(mono);
    log_->setUniformItemSizes(true);
    // The screen log and, after a computing run, the profile drawing.
    const bool en = is_english(settings_.language);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(log_, en ? tr("screen log") : tr("Bildschirmprotokoll"));
    profile_ = new ProfileView;
    auto* scroll = new QScrollArea;
    scroll->setWidget(profile_);
    scroll->setBackgroundRole(QPalette::Base);
    tabs_->addTab(scroll, en ? tr("hydraulic profile") : tr("Längsschnitt"));
    tabs_->setTabEnabled(1, false);
    setCentralWidget(tabs_);

    nameLabel_ = new QLabel(name, this);
    dateLabel_ = new QLabel(q(settings_.startDate), this);
    passLabel_ = new QLabel(this);
    // The clock shows that the window is alive while a run proceeds, also in
    // its stretches without screen log lines (storing results, drawing).
    clockLabel_ = new QLabel(this);
    clock_ = new QTimer(this);
    clock_->setInterval(100);
    connect(clock_, &QTimer::timeout, this, [this] {
        clockLabel_->setText(QString::number(runTime_.elapsed() / 1000.0, 'f', 1) + QStringLiteral(" s"));
    });
    passBar_ = new QProgressBar(this);
    passBar_->setMaximumWidth(160);
    passBar_->setVisible(false);
    caseChoice_ = new QComboBox(this);
    caseChoice_->setToolTip(en ? tr("flow case whose listings are shown") : tr("Lastfall, dessen Ergebnislisten gezeigt werden"));
    caseChoice_->setVisible(false);
    statusBar()->addPermanentWidget(caseChoice_);
    statusBar()->addPermanentWidget(passLabel_);
    statusBar()->addPermanentWidget(clockLabel_);
    statusBar()->addPermanentWidget(passBar_);
    statusBar()->addPermanentWidget(nameLabel_);
    statusBar()->addPermanentWidget(dateLabel_);

    buildMenu();
    resize(820, 560);
}

MainWindow::~MainWindow() {
    // A run still proceeding may wait for this window: let it finish first.
    while (worker_ && !worker_->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ctx_.ui = nullptr;
}

void MainWindow::buildMenu() {
    const std::string& lang = settings_.language;
    const bool en = is_english(lang);
    QMenu* file = menuBar()->addMenu(q(menu_label(lang, kCmdRun)));
    runAction_ = file->addAction(q(menu_open_text(lang, settings_.programName)));
    runAction_->setShortcut(QKeySequence::Open);
    connect(runAction_, &QAction::triggered, this, [this] { dispatch(kCmdRun); });
    QMenu* recent = file->addMenu(en ? tr("&Recent variants") : tr("&Zuletzt verwendete Varianten"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] {
        recent->clear();
        for (const QString& v : recentVariants()) {
            QAction* a = recent->addAction(v);
            connect(a, &QAction::triggered, this, [this, v] {
                if (running_) return;
                pendingFile_ = v;
                dispatch(kCmdRun);
            });
        }
        recent->setEnabled(true);
    });
    QAction* listings = file->addAction(en ? tr("Listings of the last calculation")
                                           : tr("Ergebnislisten der letzten Berechnung"));
    listings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(listings, &QAction::triggered, this, [this] { dispatch(kCmdListings); });
    QAction* capacity = file->addAction(en ? tr("&Capacity of the plant …") : tr("&Kapazität der Anlage …"));
    connect(capacity, &QAction::triggered, this, [this] {
        if (running_) return;
        ctx_.run.capacity = true;   // for this run only
        dispatch(kCmdRun);
    });
    QAction* edit = file->addAction(en ? tr("&Edit variant …") : tr("Variante &bearbeiten …"));
    edit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(edit, &QAction::triggered, this, [this, en] {
        const QString f = chooseFile(en ? tr("Edit variant") : tr("Variante bearbeiten"), QStringLiteral("*.mdb"));
        if (!f.isEmpty()) editVariant(f, false);
    });
    QAction* fresh = file->addAction(en ? tr("&New variant …") : tr("&Neue Variante …"));
    connect(fresh, &QAction::triggered, this, [this, en] {
        const QString title = en ? tr("New variant") : tr("Neue Variante");
        QString f;
        if (hook_) {
            hook_->shown.push_back({QStringLiteral("file"), title, QStringLiteral("*.mdb")});
            f = hook_->fileToOpen;
        } else {
            f = QFileDialog::getSaveFileName(this, title, QString(), QStringLiteral("*.mdb"));
        }
        if (!f.isEmpty()) editVariant(f, true);
    });
    cancelAction_ = file->addAction(en ? tr("Cancel calculation") : tr("Berechnung abbrechen"));
    cancelAction_->setEnabled(false);
    cancelAction_->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(cancelAction_, &QAction::triggered, this, [this] { requestCancel(); });
    dbWaitAction_ = file->addAction(en ? tr("Waiting time for the results database …")
                                       : tr("Wartezeit der Ergebnisdatenbank …"));
    connect(dbWaitAction_, &QAction::triggered, this, [this] { askDbWait(); });
    file->addSeparator();
    QAction* leave = file->addAction(q(menu_exit_text(lang)));
    leave->setShortcut(QKeySequence::Quit);
    connect(leave, &QAction::triggered, this, [this] { dispatch(kCmdExit); });

    // The other entries get their command from their label.
    for (int c : {kCmdConfiguration, kCmdInfo, kCmdHelp, kCmdExit}) {
        QAction* a = menuBar()->addAction(q(menu_label(lang, c)));
        const int command = menu_command(lang, a->text().toStdString());
        if (c == kCmdHelp) a->setShortcut(QKeySequence::HelpContents);
        connect(a, &QAction::triggered, this, [this, command] { dispatch(command); });
    }
    // the sheet size of the drawing for the report
    QMenu* sheets = file->addMenu(en ? tr("&Sheet size of the drawing") : tr("&Blattgröße der Zeichnung"));
    auto* sheetGroup = new QActionGroup(sheets);
    for (const char* size : {"A1", "A3", "A4"}) {
        QAction* a = sheets->addAction(QString::fromLatin1(size));
        a->setCheckable(true);
        a->setChecked(ctx_.run.sheet == size);
        sheetGroup->addAction(a);
        const std::string chosen = size;
        connect(a, &QAction::triggered, this, [this, chosen] {
            if (!running_) ctx_.run.sheet = chosen;
        });
    }
    QMenu* language = menuBar()->addMenu(en ? tr("&Language") : tr("&Sprache"));
    for (const auto& [code, label] : {std::pair{"DEUTSCH", "Deutsch"}, std::pair{"ENGLISH", "English"}}) {
        QAction* a = language->addAction(QString::fromLatin1(label));
        a->setCheckable(true);
        a->setChecked(settings_.language == code);
        const std::string chosen = code;
        connect(a, &QAction::triggered, this, [this, chosen] { setLanguage(chosen); });
    }
}

void MainWindow::editVariant(const QString& path, bool fresh) {
    if (fresh) {
        RunContext tools;
        tools.db.diagFile = QFileInfo(path).absolutePath().toStdString() + "/DB_Fehler.pkl";
        std::string status;
        input::db_new_variant_template(tools, path.toStdString(), status);
        if (status != "ok") {
            showMessage(is_english(settings_.language) ? tr("New variant") : tr("Neue Variante"), q(status));
            return;
        }
    }
    if (editor_) editor_->close();
    if (editor_ && editor_->isVisible()) return;   // the user kept the editor with its edits
    delete editor_;
    remember(path);
    editor_ = new VariantEditor(path.toStdString(), settings_.language, this);
    editor_->setWindowFlag(Qt::Window);
    editor_->show();
}

void MainWindow::autoStart() {
    if (!settings_.badOption.empty())
        showMessage(q(support::trim(settings_.programName)), q(settings_.badOption));
    if (settings_.autoRun != 1) return;
    QTimer::singleShot(0, this, [this] { dispatch(kCmdRun); });
}

int MainWindow::rw_control(int command) {
    switch (command) {
    case kCmdRun:
        // The run proceeds on its own thread; how it ended is told by
        // runFinished and lastErrorLevel().
        if (!running_) startRun();
        return 1;
    case kCmdInfo:
        showInfo();
        return 1;
    case kCmdConfiguration:
        configure();
        return 1;
    case kCmdHelp:
        openHelp();
        return 1;
    default:
        if (systemKnows(command)) return 0;
        showMessage(QStringLiteral("Problem 0"), QStringLiteral("Dieses Kommando ist nicht bekannt"));
        return 1;
    }
}

void MainWindow::dispatch(int command) {
    if (rw_control(command) == 0 && systemKnows(command)) systemCommand(command);
}

bool MainWindow::systemKnows(int command) const {
    return command == kCmdExit || command == kCmdListings;
}

void MainWindow::systemCommand(int command) {
    if (command == kCmdExit) close();
    if (command == kCmdListings) openListings();
}

void MainWindow::startRun() {
    running_ = true;
    stopRequested_ = false;
    cancelRequest_ = false;
    runAction_->setEnabled(false);
    dbWaitAction_->setEnabled(false);
    cancelAction_->setEnabled(true);
    ctx_.run.dbWait = settings_.dbWait;
    ctx_.run.keepDrawing = true;
    ctx_.run.drawing = settings_.drawing;
    log_->clear();
    profile_->clear();
    tabs_->setTabEnabled(1, false);
    tabs_->setCurrentIndex(0);
    passLabel_->clear();
    passBar_->setValue(0);
    runTime_.start();
    clock_->start();
    worker_ = QThread::create([this] { run::r_rivola(ctx_, 1); });
    connect(worker_, &QThread::finished, this, &MainWindow::onRunFinished);
    worker_->start();
}

void MainWindow::onRunFinished() {
    if (!worker_) return;
    worker_->wait();
    flushLog();
    worker_->deleteLater();
    worker_ = nullptr;
    running_ = false;
    clock_->stop();
    lastIerr_ = ctx_.run.ierr;
    ctx_.run.capacity = false;
    if (!ctx_.run.dbPath.empty() && support::file_exists(ctx_.run.dbPath)) remember(q(ctx_.run.dbPath));
    runAction_->setEnabled(true);
    dbWaitAction_->setEnabled(true);
    cancelAction_->setEnabled(false);
    passBar_->setVisible(false);
    // A run in flow cases offers the choice of the case for its listings.
    caseChoice_->clear();
    for (const auto& c : ctx_.flowCases) caseChoice_->addItem(q(c->run.caseName));
    if (!ctx_.flowCases.empty()) caseChoice_->setCurrentIndex(static_cast<int>(ctx_.designCase));
    caseChoice_->setVisible(!ctx_.flowCases.empty());
    // A run that drew the profile shows it at once (with cases, all of them).
    const std::string drawn = ctx_.run.basePath + "_profile.svg";
    for (const auto& f : ctx_.run.writtenFiles) {
        if (ctx_.run.basePath.empty() || f != drawn) continue;
        // the drawing the run laid out for its file, else laid out here
        auto* kept = std::any_cast<output::ProfileDrawing>(&ctx_.run.keptDrawing);
        profile_->setDrawing(kept ? std::move(*kept) : output::run_profile_drawing(ctx_));
        ctx_.run.keptDrawing.reset();
        tabs_->setTabEnabled(1, true);
        tabs_->setCurrentIndex(1);
        break;
    }
    emit runFinished(lastIerr_);
    // A fatal message was confirmed during the run, or the run was the one
    // of a batch: the program ends.
    if (stopRequested_ || settings_.batch) close();
}

QStringList MainWindow::screenLog() const {
    const_cast<MainWindow*>(this)->flushLog();
    QStringList lines;
    for (int i = 0; i < log_->count(); ++i) lines << log_->item(i)->text();
    return lines;
}

void MainWindow::appendLog(const QString& line) {
    flushLog();
    log_->addItem(line);
    log_->scrollToBottom();
}

void MainWindow::queueLog(const QString& line) {
    std::lock_guard<std::mutex> g(logLock_);
    pendingLog_ << line;
    if (flushPosted_) return;
    flushPosted_ = true;
    QMetaObject::invokeMethod(this, [this] { flushLog(); }, Qt::QueuedConnection);
}

void MainWindow::flushLog() {
    QStringList lines;
    {
        std::lock_guard<std::mutex> g(logLock_);
        lines.swap(pendingLog_);
        flushPosted_ = false;
    }
    if (lines.isEmpty()) return;
    log_->addItems(lines);
    log_->scrollToBottom();
}

void MainWindow::showProgress(int pass, int maxPasses, float largestDiffMm) {
    const bool en = is_english(settings_.language);
    passLabel_->setText((en ? tr("pass %1 of at most %2, largest energy difference %3 mm")
                            : tr("Durchlauf %1 von höchstens %2, größte Energiehöhendifferenz %3 mm"))
                            .arg(pass)
                            .arg(maxPasses)
                            .arg(QLocale(en ? QLocale::English : QLocale::German).toString(largestDiffMm, 'f', 2)));
    passBar_->setVisible(true);
    passBar_->setRange(0, 0);
}

QString MainWindow::progressText() const { return passLabel_->text(); }

int MainWindow::runDialog(QDialog* dialog, const QString& kind, const QString& title,
                          const QString& text, int hookResult) {
    if (hook_) {
        if (dialog) {
            dialog->show();
            dialog->hide();
        }
        hook_->shown.push_back({kind, title, text});
        return hookResult;
    }
    if (settings_.batch) {
        // nobody is there to answer: the dialog goes to standard error, as on
        // the command line, and takes its default answer
        std::cerr << support::rtrim(title.toStdString()) << ":\n";
        for (const QString& l : text.split('\n'))
            std::cerr << "  " << support::rtrim(l.toStdString()) << '\n';
        if (kind == QStringLiteral("question")) std::cerr << "  -> no\n";
        std::cerr.flush();
        return hookResult;
    }
    return dialog ? dialog->exec() : hookResult;
}

void MainWindow::showMessage(const QString& title, const QString& text) {
    const bool fatal = title.toStdString() == kFatalCaption;
    QMessageBox box(fatal ? QMessageBox::Critical : QMessageBox::Information, title, text,
                    QMessageBox::Ok, this);
    runDialog(&box, QStringLiteral("message"), title, text, QMessageBox::Ok);
}

bool MainWindow::askQuestion(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    const bool hookYes = hook_ && hook_->answer && hook_->answer(title, text);
    return runDialog(&box, QStringLiteral("question"), title, text,
                     hookYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

QString MainWindow::chooseFile(const QString& title, const QString& filter) {
    const QString qf = qt_filter(filter);
    if (hook_) {
        hook_->shown.push_back({QStringLiteral("file"), title, qf});
        return hook_->fileToOpen;
    }
    if (settings_.batch) {
        runDialog(nullptr, QStringLiteral("file"), title, QStringLiteral("-> cancelled"), 0);
        return {};
    }
    if (!pendingFile_.isEmpty()) return std::exchange(pendingFile_, QString());
    const bool en = is_english(settings_.language);
    QFileDialog dialog(this, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);   // the variant filter needs Qt's own dialog
    dialog.setProxyModel(new VariantFilesOnly(&dialog));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({qf, en ? tr("All files (*)") : tr("Alle Dateien (*)")});
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                  : QString();
}

void MainWindow::configure() {
    const bool en = is_english(settings_.language);
    QString ini = q(support::find_file_nocase("", "RVL_iteration.ini"));
    RunContext now;
    run::read_iteration_settings(now, ini.toStdString());
    ini = QFileInfo(ini).absoluteFilePath();
    QDialog d(this);
    const QString title = en ? tr("Iteration settings") : tr("Iterationseinstellungen");
    d.setWindowTitle(title);
    auto* form = new QFormLayout(&d);
    form->addRow(new QLabel(ini));
    auto* passes = new QSpinBox(&d);
    passes->setObjectName(QStringLiteral("maxPasses"));
    passes->setRange(100, 100000000);
    passes->setValue(now.run.maxPasses);
    form->addRow(en ? tr("largest number of &passes") : tr("größte Zahl der &Durchläufe"), passes);
    auto* tolerance = new QDoubleSpinBox(&d);
    tolerance->setObjectName(QStringLiteral("tolerance"));
    tolerance->setDecimals(2);
    tolerance->setRange(0.05, 1000.0);
    tolerance->setSuffix(QStringLiteral(" mm"));
    tolerance->setValue(1000.0 * now.run.tolerance);
    form->addRow(en ? tr("&tolerance of the energy heights") : tr("&Toleranz der Energiehöhen"), tolerance);
    auto* log = new QCheckBox(en ? tr("&iteration log") : tr("&Iterationsprotokoll"), &d);
    log->setObjectName(QStringLiteral("iterLog"));
    log->setChecked(now.run.iterLog != 0);
    form->addRow(log);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(buttons);
    if (hook_ && hook_->fill) hook_->fill(&d);
    const int answer = runDialog(&d, QStringLiteral("configuration"), title, ini,
                                 hook_ && hook_->fill ? QDialog::Accepted : QDialog::Rejected);
    if (answer != QDialog::Accepted) return;
    std::string reason;
    if (!run::write_iteration_settings(ini.toStdString(), passes->value(),
                                       static_cast<float>(tolerance->value() / 1000.0), log->isChecked(), reason))
        showMessage(title, (en ? tr("The settings were not saved: ") : tr("Die Einstellungen wurden nicht gespeichert: ")) +
                               q(reason));
}

void MainWindow::setLanguage(const std::string& language) {
    if (running_ || language == settings_.language) return;
    settings_.language = language;
    ctx_.settings.language = language;
    use_qt_translations(language);
    const bool en = is_english(language);
    const std::string help = settings_.helpPath;
    const size_t slash = help.find_last_of('/');
    settings_.helpPath = (slash == std::string::npos ? std::string() : help.substr(0, slash + 1)) +
                         (en ? kHelpFileEnglish : kHelpFile);
    if (help_) help_->close();
    menuBar()->clear();
    buildMenu();
    tabs_->setTabText(0, en ? tr("screen log") : tr("Bildschirmprotokoll"));
    tabs_->setTabText(1, en ? tr("hydraulic profile") : tr("Längsschnitt"));
}

QStringList MainWindow::recentVariants() const { return recent_store().value(QStringLiteral("recent")).toStringList(); }

void MainWindow::remember(const QString& variant) {
    if (variant.isEmpty()) return;
    const QString path = QFileInfo(variant).absoluteFilePath();
    QStringList list = recentVariants();
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kRecentMax) list.removeLast();
    QSettings store = recent_store();
    store.setValue(QStringLiteral("recent"), list);
}

void MainWindow::askDbWait() {
    // The run reads the setting while it proceeds; it changes between runs only.
    if (running_) return;
    const bool en = is_english(settings_.language);
    const QString title = en ? tr("Waiting time for the results database")
                             : tr("Wartezeit der Ergebnisdatenbank");
    const QString label =
        en ? tr("seconds a calculation waits for a results database that another program "
                "holds locked")
           : tr("Sekunden, die eine Berechnung auf eine von einem anderen Programm gesperrte "
                "Ergebnisdatenbank wartet");
    QInputDialog dialog(this);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(0, 86400);
    dialog.setIntValue(settings_.dbWait);
    const bool hookOk = hook_ && hook_->number >= 0;
    if (runDialog(&dialog, QStringLiteral("number"), title, label,
                  hookOk ? QDialog::Accepted : QDialog::Rejected) != QDialog::Accepted)
        return;
    // The hook's answer goes through the dialog's range like a typed one.
    if (hook_) dialog.setIntValue(hook_->number);
    settings_.dbWait = dialog.intValue();
    ctx_.run.dbWait = settings_.dbWait;
}

void MainWindow::showFinale(const QString& text, const QString& checkList,
                            const QString& variant, const QString& date) {
    const std::string& lang = settings_.language;
    const QString name = q(support::trim(settings_.programName));
    {
        QMessageBox box(QMessageBox::Information, name, text, QMessageBox::Ok, this);
        runDialog(&box, QStringLiteral("finale"), name, text, QMessageBox::Ok);
    }
    if (checkList.isEmpty() || !check_list_has_messages(read_check_list(checkList.toStdString())))
        return;
    if (!askQuestion(name, q(translate_txt(lang, kViewCheckList)))) return;

    if (viewer_) viewer_->close();
    auto* v = new CheckListViewer(checkList, q(check_list_title(lang, variant.toStdString())), lang,
                                  date.isEmpty() ? q(support::trim(settings_.startDate)) : date,
                                  this);
    v->setAttribute(Qt::WA_DeleteOnClose);
    viewer_ = v;
    // The viewer stays open beside the window; the run goes on to its end.
    v->show();
    if (hook_)
        hook_->shown.push_back({QStringLiteral("checklist"), v->windowTitle(),
                                v->lines().join(QLatin1Char('\n'))});
}

void MainWindow::showInfo() {
    const std::string version = support::pad(settings_.version, 5);
    const QString title = QStringLiteral("Informationen zu ") + q(version) + QStringLiteral(" ...");
    const bool en = is_english(settings_.language);
    const QString text =
        q(spaced_name(settings_.programName)) + QLatin1Char(' ') + q(settings_.version) +
        QLatin1Char('\n') +
        (en ? tr("Hydraulic profile of wastewater treatment plants")
            : tr("Hydraulische Berechnung von Kläranlagen")) +
        QStringLiteral("\n\n") + (en ? tr("Started on") : tr("Gestartet am")) + q(settings_.startDate) +
        QLatin1Char('\n') + (en ? tr("Language: English") : tr("Sprache: Deutsch")) +
        QStringLiteral("\nQt ") + QString::fromLatin1(qVersion());
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, this);
    runDialog(&box, QStringLiteral("info"), title, text, QMessageBox::Ok);
}

void MainWindow::openHelp() {
    if (!help_) {
        auto* h = new HelpWindow(q(settings_.helpPath), settings_.language, this);
        h->setAttribute(Qt::WA_DeleteOnClose);
        help_ = h;
    }
    help_->show();
    help_->raise();
}

void MainWindow::openListings() {
    const bool en = is_english(settings_.language);
    const QString name = q(support::trim(settings_.programName));
    if (running_) {
        showMessage(name, en ? tr("A calculation is running.") : tr("Eine Berechnung läuft."));
        return;
    }
    QStringList files;
    // with flow cases the listings of the case chosen in the status bar
    const int chosen = caseChoice_->currentIndex();
    const RunContext& run = !ctx_.flowCases.empty() && chosen >= 0 && chosen < static_cast<int>(ctx_.flowCases.size())
                                ? *ctx_.flowCases[static_cast<size_t>(chosen)]
                                : ctx_;
    // the listings, tables and the whole drawing; the sheets for the report (PDF and
    // one SVG each) are for a viewer of their own
    static const QRegularExpression sheet(QStringLiteral("_profile(_\\d+\\.svg|\\.pdf)$"));
    for (const auto& f : run.run.writtenFiles)
        if (support::file_exists(f) && !files.contains(q(f)) && !sheet.match(q(f)).hasMatch()) files << q(f);
    if (files.isEmpty() && !ctx_.run.basePath.empty()) {
        for (const char* ext : {".ERG", ".ERK", ".QVE", ".EEF"}) {
            const std::string f =
                support::find_file_nocase(ctx_.run.dbDir, ctx_.run.dbName + ext);
            if (support::file_exists(f)) files << q(f);
        }
    }
    if (files.isEmpty()) {
        showMessage(name, en ? tr("There are no listings of the last calculation.")
                             : tr("Es liegen keine Ergebnislisten der letzten Berechnung vor."));
        return;
    }
    if (listings_) listings_->close();
    auto* v = new ListingsViewer(files,
                                 q(run.run.dbName + ctx_.run.dbExt) +
                                     (en ? tr(": listings") : tr(": Ergebnislisten")),
                                 profile_->empty() ? nullptr : &profile_->drawing(), this);
    v->setAttribute(Qt::WA_DeleteOnClose);
    listings_ = v;
    v->show();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        // The run owns the plant model until it returns; leave after it.
        const bool en = is_english(settings_.language);
        statusBar()->showMessage(en ? tr("A calculation is running.") : tr("Eine Berechnung läuft."),
                                 5000);
        event->ignore();
        return;
    }
    if (help_) help_->close();
    if (viewer_) viewer_->close();
    if (listings_) listings_->close();
    event->accept();
}

}  // namespace rivola::ui
