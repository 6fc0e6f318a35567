// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/RetrievalWorker.h"

#include "browser/PortalBrowser.h"
#include "portal/KeptSession.h"
#include "portal/PortalHosts.h"
#include "portal/PortalTiming.h"
#include "portal/PumpClock.h"

namespace skartina {
namespace {

// What the run shows, as signals queued to the window's thread.
class SignalledView : public BatchView {
public:
    SignalledView(RetrievalWorker& worker, const Sheet& sheet, const std::atomic<bool>& cancel)
        : worker_(worker), sheet_(sheet), cancel_(cancel) {}
    void Progress(const BatchProgress& progress) override { emit worker_.progress(progress); }
    void YearFilled(int year) override { emit worker_.yearFilled(year, sheet_); }
    void YearEnded(const YearResult& year) override { emit worker_.yearEnded(year); }
    bool CancelRequested() override { return cancel_; }

private:
    RetrievalWorker& worker_;
    const Sheet& sheet_;
    const std::atomic<bool>& cancel_;
};

}  // namespace

RetrievalWorker::RetrievalWorker(QObject* parent) : QObject(parent) {
    qRegisterMetaType<BatchProgress>();
    qRegisterMetaType<Sheet>();
    qRegisterMetaType<YearResult>();
    qRegisterMetaType<BatchResult>();
    qRegisterMetaType<E1CodeTable>();
    idle_.setSingleShot(true);
    idle_.setInterval(kKeptLoginMs);
    connect(&idle_, &QTimer::timeout, this, [this] { endKeptLogin(); });
}

RetrievalWorker::~RetrievalWorker() {
    cancel_ = true;
    if (!thread_.joinable()) return;
    post([this] { session_->End(); });
    post({});
    thread_.join();
}

void RetrievalWorker::post(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        work_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void RetrievalWorker::serve() {
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !work_.empty(); });
            work = std::move(work_.front());
            work_.pop_front();
        }
        if (!work) return;
        work();
    }
}

bool RetrievalWorker::start(RetrievalJob job) {
    if (running_) return false;
    idle_.stop();
    if (!browser_) {
        // The thread's waits sleep a millisecond between looks: nothing to pump there.
        clock_ = std::make_unique<SteadyPumpClock>();
        browser_ = MakePortalBrowser(*clock_, PortalHostsFromEnvironment());
        session_ = std::make_unique<KeptSession>(*browser_, PortalHostsFromEnvironment(), PortalTimingFromEnvironment());
        thread_ = std::thread([this] { serve(); });
    }
    cancel_ = false;
    running_ = true;
    keptTaxNumber_.clear();
    post([this, job = std::move(job)]() mutable { run(std::move(job)); });
    return true;
}

void RetrievalWorker::run(RetrievalJob job) {
    SignalledView view(*this, job.sheet, cancel_);
    E1CodeTable e1;
    BatchResult result;
    try {
        result = session_->Retrieve(job.request, job.place, e1, job.sheet, view);
    } catch (const std::exception&) {
        // The run throws nothing from the browser; anything else ends every year as a browser failure.
        YearEnding failed;
        failed.ending = Ending::BrowserFailed;
        for (int year : BatchYearOrder(job.request.years)) result.years.push_back({year, failed, {}, false});
        session_->Quit();
    }
    const bool kept = !result.cancelled && session_->kept();
    const std::string taxNumber = job.request.credentials.taxNumber;
    QMetaObject::invokeMethod(
        this, [this, result, e1, kept, taxNumber] { ended(result, e1, kept, taxNumber); }, Qt::QueuedConnection);
    // Told first, then logged out and closed: a cancel is answered before the browser has gone.
    if (!kept) session_->End();
}

void RetrievalWorker::ended(const BatchResult& result, const E1CodeTable& e1, bool kept, const std::string& taxNumber) {
    running_ = false;
    if (kept) {
        keptTaxNumber_ = taxNumber;
        idle_.start();
    }
    emit finished(result, e1);
}

void RetrievalWorker::endKeptLogin(const std::string& unlessTaxNumber) {
    if (running_ || keptTaxNumber_.empty() || (!unlessTaxNumber.empty() && unlessTaxNumber == keptTaxNumber_)) return;
    idle_.stop();
    keptTaxNumber_.clear();
    // The logout loads a page: on the thread, so that the window goes on meanwhile.
    post([this] { session_->End(); });
}

}  // namespace skartina
