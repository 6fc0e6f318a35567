// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The portal's navigation on a thread of its own, so that the window repaints
// and answers (Cancel, closing) while a page loads. The run works on its own
// copy of the sheet and reports by queued signals: where it stands, each year
// filled (with the copy, whose year columns the window takes over), each year
// ended, and the end. A cancel is a token the navigation looks at between its
// steps; the run then logs out and ends as cancelled.
//
// After a run the login is kept (the browser minimised) for the next run of
// the same client and credentials, at most kKeptLoginMs unused; it is logged
// out and closed after that, for another client, and when the worker ends.

#include "e1/E1CodeTable.h"
#include "portal/BatchRetrieval.h"
#include "sheet/Sheet.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace skartina {

class Browser;
class KeptSession;
class PumpClock;

struct RetrievalJob {
    BatchRequest request;
    ScreenRect place;  // where the browser's window goes
    Sheet sheet;  // the sheet as the run finds it, filled as it goes
};

class RetrievalWorker : public QObject {
    Q_OBJECT
public:
    static constexpr int kKeptLoginMs = 2 * 60 * 1000;

    explicit RetrievalWorker(QObject* parent = nullptr);
    // Cancels a run, waits for it, logs out and closes the browser.
    ~RetrievalWorker() override;

    // Starts the run; false while one runs.
    bool start(RetrievalJob job);
    // Asks the run to stop at the navigation's next look at the pages.
    void cancel() { cancel_ = true; }
    bool running() const { return running_; }
    // Whether a login is kept for the client's next run (not while one runs).
    bool loginKept() const { return !running_ && !keptTaxNumber_.empty(); }
    // Logs out and closes a kept login, unless it is the given client's.
    void endKeptLogin(const std::string& unlessTaxNumber = {});
    // How long a kept login may wait unused (tests shorten it).
    void setKeptLoginMs(int ms) { idle_.setInterval(ms); }

signals:
    void progress(const skartina::BatchProgress& progress);
    void yearFilled(int year, const skartina::Sheet& sheet);
    void yearEnded(const skartina::YearResult& year);
    void finished(const skartina::BatchResult& result, const skartina::E1CodeTable& e1);

private:
    // The thread's work; nothing of the window is touched from it.
    void run(RetrievalJob job);
    // Hands work to the thread. One thread for the worker's life: the browser
    // is its child and dies with the thread that started it.
    void post(std::function<void()> work);
    void serve();
    // The end of a run, on the window's thread.
    void ended(const BatchResult& result, const E1CodeTable& e1, bool kept, const std::string& taxNumber);

    std::unique_ptr<PumpClock> clock_;
    std::unique_ptr<Browser> browser_;
    std::unique_ptr<KeptSession> session_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> work_;  // empty function: the thread ends
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
    std::string keptTaxNumber_;  // the client whose login is kept; empty: none
    QTimer idle_;
};

}  // namespace skartina
