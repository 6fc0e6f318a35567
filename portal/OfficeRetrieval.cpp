// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/OfficeRetrieval.h"

#include "common/ClientFiles.h"
#include "common/Edition.h"
#include "common/TextFile.h"
#include "portal/OfficeReport.h"
#include "portal/YearSources.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"

#include <algorithm>
#include <chrono>
#include <map>

namespace skartina {
namespace {

const std::string kCancelled = "η άντληση ακυρώθηκε";

uint64_t NowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

std::vector<OfficeYear> AllYears(const std::vector<int>& years, OfficeYearEnd end, const std::string& reason) {
    std::vector<OfficeYear> out;
    for (int year : years) out.push_back({year, end, reason});
    return out;
}

class OfficeRun : private OfficeYearsView {
public:
    OfficeRun(OfficePortal& portal, const OfficeJournal& journal, const std::filesystem::path& tablesDir, OfficeView& view)
        : portal_(portal), journal_(journal), tablesDir_(tablesDir), view_(view) {}

    OfficeResult Go() {
        start_ = NowMs();
        const OfficePlan& plan = journal_.plan;
        std::map<std::string, OfficeClient> ended;
        for (const OfficeClient& client : journal_.finished) ended[client.taxNumber] = client;
        MakeTablesFolderPrivate(tablesDir_);
        // What a run killed while saving left behind; a save that finds its file
        // already holding the sheet writes nothing that would clear it.
        RemoveStaleTemporaryFiles(tablesDir_);
        WriteOfficeJournal(tablesDir_, journal_);

        for (size_t i = 0; i < plan.taxNumbers.size(); ++i) {
            const std::string& taxNumber = plan.taxNumbers[i];
            if (ended.count(taxNumber)) continue;
            if (cancelled_ || view_.CancelRequested()) {
                cancelled_ = true;
                break;
            }
            client_ = {taxNumber, OfficeClientName(tablesDir_, taxNumber), {}};
            position_ = static_cast<int>(i) + 1;
            clientsAfter_ = static_cast<int>(std::count_if(plan.taxNumbers.begin() + static_cast<long>(i) + 1, plan.taxNumbers.end(),
                                                           [&](const std::string& a) { return !ended.count(a); }));
            OneClient();
            view_.ClientEnded(client_);
            // A client cancelled in its years, or stopped, is taken again when the run goes on.
            if (!clientCompleted_) break;
            ended[taxNumber] = client_;
            journal_.finished.push_back(client_);
            WriteOfficeJournal(tablesDir_, journal_);
        }
        portal_.LogOutAndClose();

        OfficeResult result;
        result.cancelled = cancelled_;
        for (const std::string& taxNumber : plan.taxNumbers) {
            if (const auto it = ended.find(taxNumber); it != ended.end()) {
                result.clients.push_back(it->second);
            } else if (taxNumber == client_.taxNumber) {
                result.clients.push_back(client_);  // cancelled halfway
            } else {
                const std::string reason = stopReason_.empty() ? kCancelled : stopReason_;
                result.clients.push_back({taxNumber, OfficeClientName(tablesDir_, taxNumber),
                                          AllYears(plan.years, stopReason_.empty() ? OfficeYearEnd::NotReached
                                                                                  : OfficeYearEnd::Failed, reason)});
            }
        }
        result.finished = !cancelled_ && stopReason_.empty();
        result.report = OfficeReportPath(tablesDir_, plan);
        WriteOfficeReport(result.report, result.clients);
        if (result.finished) RemoveOfficeJournal(tablesDir_);
        return result;
    }

private:
    void OneClient() {
        const OfficePlan& plan = journal_.plan;
        clientCompleted_ = true;
        OfficeClientRequest request;
        request.taxNumber = client_.taxNumber;
        if (!plan.accountant) {
            std::optional<TaxpayerRecord> record;
            try {
                record = LoadTaxpayer(tablesDir_, client_.taxNumber);
            } catch (const std::exception&) {
            }
            if (!record || record->portalUser.empty() || record->portalPassword.empty()) {
                client_.years = AllYears(plan.years, OfficeYearEnd::Failed, "ο πελάτης δεν έχει στοιχεία εισόδου στο μητρώο");
                return;
            }
            request.user = record->portalUser;
            request.password = record->portalPassword;
        }

        std::filesystem::path file;
        Sheet sheet;
        try {
            file = AnalysisFilePath(tablesDir_, client_.taxNumber, kWorkYear);
            request.sourcesFolder = SourcesFolder(tablesDir_, client_.taxNumber);
            RemoveStaleTemporaryFiles(request.sourcesFolder);
            RemoveStaleTemporaryFiles(HistoryFolder(tablesDir_, client_.taxNumber));
            if (!LoadSheetFromFile(file, sheet)) BuildSheetLayout(sheet, YearSelection());
        } catch (const std::exception& error) {
            client_.years = AllYears(plan.years, OfficeYearEnd::Failed,
                                     std::string("το αρχείο ανάλυσης δεν διαβάζεται: ") + error.what());
            return;
        }
        // The sheet stands for the year boxes: a year is taken when the sheet has its columns.
        for (int year : plan.years)
            if (SpouseColumnOf(year) < sheet.columnCount()) request.years.push_back(year);
        sheet_ = &sheet;
        clientYears_ = static_cast<int>(request.years.size());
        yearsStartedInClient_ = 0;
        const OfficeClientYears got = portal_.ClientYears(request, sheet, *this);
        sheet_ = nullptr;

        bool filled = false;
        for (int year : plan.years) {
            const auto it = std::find_if(got.years.begin(), got.years.end(), [&](const OfficeYear& y) { return y.year == year; });
            if (it == got.years.end()) {
                const bool held = std::find(request.years.begin(), request.years.end(), year) != request.years.end();
                client_.years.push_back({year, OfficeYearEnd::NotReached, held ? kCancelled : "το φύλλο του πελάτη δεν έχει το έτος"});
                continue;
            }
            client_.years.push_back(*it);
            filled = filled || it->end == OfficeYearEnd::Read || it->end == OfficeYearEnd::NoReturn;
        }
        if (got.cancelled) {
            // The client is taken whole again when the run goes on: nothing of it is saved now.
            cancelled_ = true;
            clientCompleted_ = false;
            for (OfficeYear& year : client_.years)
                if (year.end != OfficeYearEnd::NotReached || year.reason.empty()) year = {year.year, OfficeYearEnd::NotReached, kCancelled};
            return;
        }
        if (!got.stopReason.empty()) {
            // Nothing was read: the client is taken again when the run goes on.
            stopReason_ = got.stopReason;
            clientCompleted_ = false;
        }
        if (!filled) return;
        RecalculateSheet(sheet);
        try {
            SaveSheetKeepingHistory(sheet, tablesDir_, client_.taxNumber, file);
        } catch (const std::exception& error) {
            for (OfficeYear& year : client_.years)
                if (year.end == OfficeYearEnd::Read || year.end == OfficeYearEnd::NoReturn) {
                    year.end = OfficeYearEnd::Failed;
                    year.reason = std::string("το φύλλο δεν αποθηκεύτηκε: ") + error.what();
                }
        }
    }

    void YearStarted(int year) override {
        ++yearsStarted_;
        ++yearsStartedInClient_;
        OfficeProgress progress{position_, static_cast<int>(journal_.plan.taxNumbers.size()), client_.taxNumber, client_.name, year,
                                NowMs() - start_, std::nullopt};
        // The years still to come, this one included, at this run's pace so far.
        const uint64_t done = static_cast<uint64_t>(yearsStarted_ - 1);
        const uint64_t inClient = static_cast<uint64_t>(clientYears_ - std::min(clientYears_, yearsStartedInClient_ - 1));
        const uint64_t left = inClient + static_cast<uint64_t>(clientsAfter_) * journal_.plan.years.size();
        if (done > 0) progress.remainingMs = progress.elapsedMs * left / done;
        view_.Progress(progress);
    }

    void YearFilled(int) override {
        if (sheet_) RecalculateSheet(*sheet_);
    }

    bool CancelRequested() override {
        if (view_.CancelRequested()) cancelled_ = true;
        return cancelled_;
    }

    OfficePortal& portal_;
    OfficeJournal journal_;
    const std::filesystem::path tablesDir_;
    OfficeView& view_;
    uint64_t start_ = 0;
    OfficeClient client_;
    int position_ = 0;
    int yearsStarted_ = 0;
    int yearsStartedInClient_ = 0;
    int clientYears_ = 0;   // the years asked of the client in hand
    int clientsAfter_ = 0;  // clients still to take after it
    Sheet* sheet_ = nullptr;
    bool cancelled_ = false;
    bool clientCompleted_ = true;
    std::string stopReason_;
};

}  // namespace

bool OfficeResult::AnyNotRead() const { return cancelled || skartina::AnyNotRead(clients); }

std::string OfficeClientName(const std::filesystem::path& tablesDir, const std::string& taxNumber) {
    try {
        if (const auto record = LoadTaxpayer(tablesDir, taxNumber))
            return record->firstName.empty() ? record->surname : record->surname + " " + record->firstName;
    } catch (const std::exception&) {
    }
    return {};
}

OfficeResult RunOffice(OfficePortal& portal, const OfficeJournal& journal, const std::filesystem::path& tablesDir,
                       OfficeView& view) {
    return OfficeRun(portal, journal, tablesDir, view).Go();
}

}  // namespace skartina
