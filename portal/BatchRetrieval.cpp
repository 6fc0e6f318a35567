// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/BatchRetrieval.h"

#include "e1/YearRules.h"
#include "portal/PortalNavigation.h"
#include "portal/RetrievalLog.h"
#include "portal/YearSources.h"

#include <algorithm>
#include <functional>

namespace skartina {
namespace {

bool AllZero(const E1CodeTable& e1) {
    for (int code = 0; code <= E1CodeTable::kLastCode; ++code)
        if (e1[code] != 0) return false;
    return true;
}

// Endings whose cause only the technical detail tells: their sentence names the log.
bool NamesTheLog(Ending ending) {
    return ending == Ending::Unreachable || ending == Ending::PageNotAsExpected || ending == Ending::BrowserFailed;
}

// The years of one client on a navigation; the login and the logout are the caller's.
class BatchRun {
public:
    BatchRun(PortalNavigation& navigation, RetrievalLog& log, PumpClock& clock, const BatchRequest& request,
             E1CodeTable& e1, Sheet& sheet, BatchView& view)
        : navigation_(navigation), log_(log), clock_(clock), request_(request), e1_(e1), sheet_(sheet), view_(view) {}

    // `logIn`: log in (and pick the client) first; else the navigation is at the client already.
    BatchResult Go(bool logIn) {
        start_ = clock_.NowMs();
        for (int year : BatchYearOrder(request_.years)) result_.years.push_back({year, {}, {}, false});
        try {
            if (!result_.years.empty()) Years(logIn);
        } catch (const RetrievalCancelled&) {
            // The window is closing: no page is waited for any more.
            result_.cancelled = true;
            closing_ = true;
        }
        return result_;
    }

    // Whether the run ended because its window is closing.
    bool closing() const { return closing_; }

private:
    void Years(bool logIn) {
        if (view_.CancelRequested()) {
            result_.cancelled = true;
            return;
        }
        if (logIn) {
            const PortalCredentials& credentials = request_.credentials;
            try {
                navigation_.LogIn(credentials.user, credentials.password, credentials.accountant);
                if (credentials.accountant) navigation_.PickClient(credentials.taxNumber);
            } catch (const RetrievalStop& stop) {
                End(result_.years.front(), stop);
                return;
            }
        }
        const int total = static_cast<int>(result_.years.size());
        for (int i = 0; i < total; ++i) {
            YearResult& year = result_.years[static_cast<size_t>(i)];
            if (view_.CancelRequested()) {
                result_.cancelled = true;
                return;
            }
            view_.Progress({year.year, i + 1, total, i, clock_.NowMs() - start_});
            try {
                OneYear(year);
            } catch (const RetrievalStop& stop) {
                End(year, stop);
            } catch (const RetrievalCancelled&) {
                throw;
            } catch (const std::exception& error) {
                End(year, RetrievalStop(Ending::BrowserFailed, error.what()));
            }
            if (Filled(year.end.ending)) view_.YearEnded(year);
            if (StopsTheRun(year.end.ending) || i + 1 == total) return;
            if (Filled(year.end.ending)) continue;
            try {
                navigation_.Recover();
            } catch (const RetrievalStop& stop) {
                End(result_.years[static_cast<size_t>(i + 1)], stop);
                return;
            }
        }
    }

    void OneYear(YearResult& year) {
        const YearDocument document = navigation_.ReadYear(year.year, request_.credentials.taxNumber, e1_);
        if (!document.unread.empty()) Unread(year.year, document);
        year.end.ending = AllZero(e1_) ? Ending::NoReturn : Ending::Read;
        year.fromReport = document.report;
        if (!request_.sourcesFolder.empty()) {
            try {
                year.source = document.report ? KeepReportSource(request_.sourcesFolder, year.year, document.bytes)
                                              : KeepReturnSource(request_.sourcesFolder, year.year, e1_);
            } catch (const std::exception& error) {
                log_.Note(std::to_string(year.year) + ": the document was not kept: " + error.what());
            }
        }
        RunYearRules(e1_, sheet_, year.year);
        view_.YearFilled(year.year);
    }

    // A report that gave nothing to read: kept for a person to look at, and the year fails.
    [[noreturn]] void Unread(int year, const YearDocument& document) {
        RetrievalStop stop(Ending::ReportUnread, document.unread);
        stop.diagnostics = document.diagnostics;
        if (!request_.sourcesFolder.empty()) {
            try {
                stop.kept = KeepUnreadReport(request_.sourcesFolder, year, document.bytes);
            } catch (const std::exception& error) {
                log_.Note(std::to_string(year) + ": the report was not kept: " + error.what());
            }
        }
        throw stop;
    }

    // A year that did not fill its columns: its ending, the detail to the log.
    void End(YearResult& year, const RetrievalStop& stop) {
        if (stop.ending() == Ending::Cancelled) result_.cancelled = true;
        year.end.ending = stop.ending();
        year.end.failure = stop.failure();
        year.end.diagnostics = stop.diagnostics;
        year.end.kept = stop.kept;
        if (log_.Note(std::to_string(year.year) + ": " + EndingWords(year.end) + " — " + stop.what()) &&
            NamesTheLog(stop.ending()))
            year.end.log = log_.file();
        view_.YearEnded(year);
    }

    PortalNavigation& navigation_;
    RetrievalLog& log_;
    PumpClock& clock_;
    const BatchRequest& request_;
    E1CodeTable& e1_;
    Sheet& sheet_;
    BatchView& view_;
    uint64_t start_ = 0;
    bool closing_ = false;
    BatchResult result_;
};

}  // namespace

bool BatchResult::AnyFailed() const {
    if (cancelled) return true;
    return std::any_of(years.begin(), years.end(), [](const YearResult& year) { return !Filled(year.end.ending); });
}

std::vector<int> BatchYearOrder(std::vector<int> years) {
    std::sort(years.begin(), years.end(), std::greater<>());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    return years;
}

std::filesystem::path RetrievalLogFile(const BatchRequest& request) {
    return request.sourcesFolder.empty() ? std::filesystem::path() : request.sourcesFolder / "retrieval.log";
}

NavigationOptions RunNavigationOptions(const BatchRequest& request, BatchView& view) {
    return {request.extraSeconds, request.fixedPauses,
            request.sourcesFolder.empty() ? std::filesystem::path() : request.sourcesFolder / "diagnostics",
            [&view] { return view.CancelRequested(); }};
}

BatchResult RetrieveYears(PortalSession& portal, const BatchRequest& request, E1CodeTable& e1, Sheet& sheet,
                          BatchView& view) {
    RetrievalLog log(portal.browser.clock(), RetrievalLogFile(request));
    PortalNavigation navigation(portal, RunNavigationOptions(request, view), log);
    BatchRun run(navigation, log, portal.browser.clock(), request, e1, sheet, view);
    BatchResult result = run.Go(true);
    if (run.closing())
        portal.browser.BrowserQuit();
    else
        navigation.LogOutAndClose();
    return result;
}

BatchResult RetrieveYearsKeepingBrowser(PortalSession& portal, PortalNavigation& navigation, RetrievalLog& log,
                                        const BatchRequest& request, E1CodeTable& e1, Sheet& sheet, BatchView& view) {
    BatchRun run(navigation, log, portal.browser.clock(), request, e1, sheet, view);
    BatchResult result = run.Go(true);
    if (run.closing())
        portal.browser.BrowserQuit();
    else
        navigation.LogOutKeepingBrowser();
    return result;
}

BatchResult RetrieveClientYears(PortalNavigation& navigation, RetrievalLog& log, PumpClock& clock,
                                const BatchRequest& request, E1CodeTable& e1, Sheet& sheet, BatchView& view) {
    return BatchRun(navigation, log, clock, request, e1, sheet, view).Go(false);
}

BatchResult LogInAndRetrieveYears(PortalNavigation& navigation, RetrievalLog& log, PumpClock& clock,
                                  const BatchRequest& request, E1CodeTable& e1, Sheet& sheet, BatchView& view) {
    return BatchRun(navigation, log, clock, request, e1, sheet, view).Go(true);
}

std::vector<std::string> BatchSummaryLines(const BatchResult& result) {
    int read = 0, empty = 0, failed = 0, notReached = 0;
    for (const YearResult& year : result.years) {
        switch (year.end.ending) {
            case Ending::Read: ++read; break;
            case Ending::NoReturn: ++empty; break;
            case Ending::NotReached:
            case Ending::Cancelled: ++notReached; break;
            default: ++failed; break;
        }
    }
    std::vector<std::string> lines;
    lines.push_back("Άντληση " + std::to_string(result.years.size()) + " ετών: " + std::to_string(read) +
                    " αντλήθηκαν, " + std::to_string(empty) + " χωρίς δήλωση, " + std::to_string(failed) +
                    " απέτυχαν, " + std::to_string(notReached) + " δεν αντλήθηκαν.");
    if (result.cancelled) lines.push_back("Η άντληση ακυρώθηκε· τα έτη που αντλήθηκαν έμειναν στο φύλλο.");
    for (const YearResult& year : result.years) lines.push_back(year.Sentence());
    return lines;
}

}  // namespace skartina
