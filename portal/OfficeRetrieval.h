// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole office in one run: for each client in turn its analysis file
// "Tables/<ΑΦΜ>_2021.grd" opened (or a new sheet made, years 2003 to 2020),
// its years fetched, the sheet recalculated and saved, its earlier version
// kept. The accountant logs in once for the run and picks each client; without
// the accountant each client logs in with its own credentials from its record.
// A client the portal refuses, or one without credentials, is reported and
// the run goes on. A journal records each client finished, so a run killed
// or cancelled goes on later after the last of them; the report lists every
// client and year.

#include "portal/OfficeJournal.h"
#include "portal/OfficePlan.h"
#include "sheet/Sheet.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace skartina {

// One client's years as the run asks the portal for them.
struct OfficeClientRequest {
    std::string taxNumber;
    std::string user, password;  // the client's own login; empty when the accountant's is used
    std::vector<int> years;      // newest first
    std::filesystem::path sourcesFolder;
};

// What the portal asks while a client's years run.
class OfficeYearsView {
public:
    virtual ~OfficeYearsView() = default;
    virtual void YearStarted(int year) = 0;
    // The year's rules have filled its columns.
    virtual void YearFilled(int year) = 0;
    virtual bool CancelRequested() = 0;
};

struct OfficeClientYears {
    std::vector<OfficeYear> years;  // newest first, one for each year asked
    // Why no client can be read any more (the accountant's login refused); empty: the run goes on.
    std::string stopReason;
    bool cancelled = false;
};

// The portal as an office run uses it: one login for the run, or one per client.
class OfficePortal {
public:
    virtual ~OfficePortal() = default;
    virtual OfficeClientYears ClientYears(const OfficeClientRequest& request, Sheet& sheet, OfficeYearsView& view) = 0;
    // The run's end: logged out and the browser closed.
    virtual void LogOutAndClose() = 0;
};

// Where the run stands, at the start of each year.
struct OfficeProgress {
    int client = 0;   // from 1, counting the clients a resumed run had finished
    int clients = 0;
    std::string taxNumber, name;
    int year = 0;
    uint64_t elapsedMs = 0;
    std::optional<uint64_t> remainingMs;  // once a year of this run has ended
};

class OfficeView {
public:
    virtual ~OfficeView() = default;
    virtual void Progress(const OfficeProgress&) {}
    virtual void ClientEnded(const OfficeClient&) {}
    // Asked between steps: true ends the run after the step in hand.
    virtual bool CancelRequested() { return false; }
};

struct OfficeResult {
    std::vector<OfficeClient> clients;  // in the plan's order
    bool cancelled = false;
    bool finished = false;              // every client was taken; the journal is gone
    std::filesystem::path report;
    bool AnyNotRead() const;
};


// Runs the plan, or goes on with a journal's: its finished clients are taken
// as they are. The journal is written first and after each client; the report
// at the end. Throws FileError when the journal cannot be written.
OfficeResult RunOffice(OfficePortal& portal, const OfficeJournal& journal, const std::filesystem::path& tablesDir,
                       OfficeView& view);

// The client's name as the register has it (surname and first name); empty
// when it has no readable record.
std::string OfficeClientName(const std::filesystem::path& tablesDir, const std::string& taxNumber);

}  // namespace skartina
