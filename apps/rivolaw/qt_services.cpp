#include "qt_services.h"

#include <QMetaObject>
#include <QThread>

#include "main_window.h"
#include "model/context.h"
#include "messages/m_realwin.h"

namespace rivola::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Runs f on the window's thread and waits for it. Called on the window thread
// itself (a run without a worker), f runs at once.
// The screen log is brought up to date first: a dialog never overtakes the
// lines written before it.
template <class F>
void on_window(MainWindow* w, F&& f) {
    auto shown = [w, f = std::forward<F>(f)]() mutable {
        w->flushLog();
        f();
    };
    if (QThread::currentThread() == w->thread())
        shown();
    else
        QMetaObject::invokeMethod(w, std::move(shown), Qt::BlockingQueuedConnection);
}

// Posts f to the window's thread without waiting.
template <class F>
void post(MainWindow* w, F&& f) {
    QMetaObject::invokeMethod(w, std::forward<F>(f), Qt::QueuedConnection);
}

}  // namespace

void QtServices::message(const std::string& title, const std::string& text) {
    MainWindow* w = window_;
    on_window(w, [w, t = q(title), x = q(text)] { w->showMessage(t, x); });
}

bool QtServices::question(const std::string& title, const std::string& text) {
    bool yes = false;
    MainWindow* w = window_;
    on_window(w, [w, &yes, t = q(title), x = q(text)] { yes = w->askQuestion(t, x); });
    return yes;
}

std::string QtServices::openFile(const std::string& title, const std::string& filter) {
    QString path;
    MainWindow* w = window_;
    on_window(w, [w, &path, t = q(title), f = q(filter)] { path = w->chooseFile(t, f); });
    return path.toStdString();
}

void QtServices::log(const std::string& line) { window_->queueLog(q(line)); }

void QtServices::finale(const std::string& text, const std::string& checkList) {
    MainWindow* w = window_;
    const QString variant = q(ctx_->run.dbName + ctx_->run.dbExt);
    const QString date = q(ctx_->run.runDate);
    on_window(w, [w, t = q(text), c = q(checkList), variant, date] {
        w->showFinale(t, c, variant, date);
    });
}

void QtServices::progress(int pass, float largestDiffMm) {
    MainWindow* w = window_;
    const int maxPasses = ctx_->run.maxPasses;
    post(w, [w, pass, maxPasses, largestDiffMm] { w->showProgress(pass, maxPasses, largestDiffMm); });
}

bool QtServices::cancelled() {
    if (!window_->takeCancelRequest()) return false;
    return !cancel_yesno(*ctx_);
}

void QtServices::stop_program() {
    MainWindow* w = window_;
    post(w, [w] { w->markStop(); });
}

}  // namespace rivola::ui
