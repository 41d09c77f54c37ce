// The main window of the desktop program: menu, screen log, status bar and
// the dialogs through which a run talks to the user. A run proceeds on a
// worker thread; its log lines are posted back to the window, and its dialogs
// are shown by the window while the worker waits, so the window never freezes.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "check_list_viewer.h"
#include "profile_view.h"
#include "model/context.h"
#include "shell.h"
#include "text_windows.h"
#include "variant_editor.h"

class QListWidget;
class QLabel;
class QComboBox;
class QTimer;
class QProgressBar;
class QThread;
class QAction;
class QDialog;
class QTabWidget;

namespace rivola::ui {

class QtServices;

// The window's own command: the listings of the last run.
inline constexpr int kCmdListings = 110;

// Lets a test drive the window without modal dialogs: every dialog is shown
// briefly, recorded and answered here instead of waiting for a user.
struct DialogHook {
    struct Shown {
        QString kind;   // "message", "question", "file", "number", "info", "finale", "print"
        QString title;
        QString text;
    };
    std::vector<Shown> shown;
    // Answer to a yes/no question (default: no).
    std::function<bool(const QString& title, const QString& text)> answer;
    // Result of the file dialog ("" = cancel).
    QString fileToOpen;
    // Result of a number dialog (negative = cancel).
    int number = -1;
    // Fills a form dialog (the iteration settings) and confirms it; unset: cancelled.
    std::function<void(QDialog*)> fill;
};

// A file the run's file dialog offers: a variant, not the shared results
// database of the folder nor a component of a variant (NAME_C_PART.mdb).
bool is_variant_file(const QString& fileName);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ShellSettings settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The command handler: 1 when the program handled the command, 0 when the
    // window system is to apply its own handling.
    int rw_control(int command);
    // A menu command: rw_control first, then the window system's handling.
    void dispatch(int command);
    // Tells what was wrong on the command line, then starts the run of the
    // command line when the program was given one.
    void autoStart();

    bool running() const { return running_; }
    // The lines of the screen log.
    QStringList screenLog() const;
    const ShellSettings& settings() const { return settings_; }
    // The run context of the last run (read it only while no run proceeds).
    const RunContext& context() const { return ctx_; }
    // Error level of the last run and whether the program was told to stop.
    int lastErrorLevel() const { return lastIerr_; }
    bool stopRequested() const { return stopRequested_; }

    void setDialogHook(DialogHook* hook) { hook_ = hook; }
    CheckListViewer* checkListViewer() const { return viewer_; }
    HelpWindow* helpWindow() const { return help_; }
    // The variant editor last opened (none before).
    VariantEditor* variantEditor() const { return editor_; }
    // Opens the editor on a variant; a new variant is made from the template first.
    void editVariant(const QString& path, bool fresh);
    // The iteration settings (RVL_iteration.ini of the working folder) in a small dialog.
    void configure();
    // Switches the window's and the runs' language ("DEUTSCH" or "ENGLISH").
    void setLanguage(const std::string& language);
    // The variants run or edited last, newest first (kept between sessions).
    QStringList recentVariants() const;
    ListingsViewer* listingsViewer() const { return listings_; }
    // The tabs of the window: the screen log, the profile drawing of the last run.
    QTabWidget* tabs() const { return tabs_; }
    ProfileView* profileView() const { return profile_; }
    // The flow case whose listings the window shows (visible after a run in cases).
    QComboBox* caseChoice() const { return caseChoice_; }
    // Asks a running calculation to stop (it asks the user to confirm).
    void requestCancel() { cancelRequest_ = true; }
    bool takeCancelRequest() { return cancelRequest_.exchange(false); }

    // Shown on the window thread on behalf of the run.
    void appendLog(const QString& line);
    // Lines of the screen log from the run's thread: kept and shown in one
    // batch per turn of the window's event loop, so that a run of many lines
    // costs the window one insertion per batch instead of one per line.
    void queueLog(const QString& line);
    // Shows the lines kept so far (before a dialog, at the end of a run).
    void flushLog();
    // The pass, the pass limit and the largest energy difference at a free
    // division; the bar only shows that the run proceeds (the passes needed
    // are not known beforehand, the limit is no measure of them).
    void showProgress(int pass, int maxPasses, float largestDiffMm);
    void showMessage(const QString& title, const QString& text);
    bool askQuestion(const QString& title, const QString& text);
    QString chooseFile(const QString& title, const QString& filter);
    // The closing dialog; `variant` and `date` name the run's check list.
    void showFinale(const QString& text, const QString& checkList, const QString& variant,
                    const QString& date);
    void markStop() { stopRequested_ = true; }
    // The progress shown in the status bar ("Durchlauf 3").
    QString progressText() const;

signals:
    void runFinished(int errorLevel);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void remember(const QString& variant);
    void startRun();
    // Asks for the seconds a run waits for a locked results database.
    void askDbWait();
    void onRunFinished();
    void showInfo();
    void openHelp();
    void openListings();
    // The window system's handling of a command; false when it has none.
    bool systemKnows(int command) const;
    void systemCommand(int command);
    // Runs a dialog: modal for a user, shown and recorded under a test hook.
    int runDialog(QDialog* dialog, const QString& kind, const QString& title,
                  const QString& text, int hookResult);

    ShellSettings settings_;
    RunContext ctx_;
    std::unique_ptr<QtServices> services_;
    QListWidget* log_ = nullptr;
    std::mutex logLock_;             // guards the two below
    QStringList pendingLog_;
    bool flushPosted_ = false;
    QString pendingFile_;            // a recent variant chosen: the run's file dialog answers it
    QTabWidget* tabs_ = nullptr;
    ProfileView* profile_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* dateLabel_ = nullptr;
    QLabel* passLabel_ = nullptr;
    QLabel* clockLabel_ = nullptr;   // time the run has taken, ticking while it runs
    QTimer* clock_ = nullptr;
    QElapsedTimer runTime_;
    QProgressBar* passBar_ = nullptr;
    QComboBox* caseChoice_ = nullptr;
    QAction* runAction_ = nullptr;
    QAction* cancelAction_ = nullptr;
    QAction* dbWaitAction_ = nullptr;
    QThread* worker_ = nullptr;
    QPointer<CheckListViewer> viewer_;
    QPointer<HelpWindow> help_;
    QPointer<VariantEditor> editor_;
    QPointer<ListingsViewer> listings_;
    DialogHook* hook_ = nullptr;
    bool running_ = false;
    bool stopRequested_ = false;
    int lastIerr_ = 0;
    std::atomic<bool> cancelRequest_{false};
};

}  // namespace rivola::ui
