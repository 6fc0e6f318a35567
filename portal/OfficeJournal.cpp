// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/OfficeJournal.h"

#include "common/TextFile.h"

#include <sstream>

namespace skartina {
namespace {

constexpr const char* kJournalName = "retrieval-journal.txt";
constexpr const char* kFirstLine = "skartina office journal 1";

// Tabs and line breaks would end a field or a line; the texts never need them.
std::string Field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!line.empty() && line.back() == separator) parts.emplace_back();
    return parts;
}

const char* EndWord(OfficeYearEnd end) {
    switch (end) {
        case OfficeYearEnd::Read: return "read";
        case OfficeYearEnd::NoReturn: return "noreturn";
        case OfficeYearEnd::Failed: return "failed";
        case OfficeYearEnd::NotReached: break;
    }
    return "notreached";
}

[[noreturn]] void Bad(const std::filesystem::path& path) {
    throw FileError("Το ημερολόγιο άντλησης «" + path.string() + "» είναι κατεστραμμένο· διαγράψτε το για νέα άντληση.");
}

}  // namespace

std::filesystem::path OfficeJournalPath(const std::filesystem::path& tablesDir) { return tablesDir / kJournalName; }

void WriteOfficeJournal(const std::filesystem::path& tablesDir, const OfficeJournal& journal) {
    const OfficePlan& plan = journal.plan;
    std::string text = std::string(kFirstLine) + "\n";
    text += "started\t" + Field(plan.started) + "\n";
    text += "years\t";
    for (size_t i = 0; i < plan.years.size(); ++i) text += (i ? "," : "") + std::to_string(plan.years[i]);
    text += "\nlogin\t" + (plan.accountant ? "accountant\t" + Field(plan.accountantUser) : std::string("own")) + "\n";
    text += "clients\t";
    for (size_t i = 0; i < plan.taxNumbers.size(); ++i) text += (i ? "," : "") + Field(plan.taxNumbers[i]);
    text += "\n";
    for (const OfficeClient& client : journal.finished) {
        text += "client\t" + Field(client.taxNumber) + "\t" + Field(client.name) + "\n";
        for (const OfficeYear& year : client.years)
            text += "year\t" + std::to_string(year.year) + "\t" + EndWord(year.end) + "\t" + Field(year.reason) + "\n";
    }
    WriteFileAtomically(OfficeJournalPath(tablesDir), text, FileAccess::OwnerOnly);
}

std::optional<OfficeJournal> ReadOfficeJournal(const std::filesystem::path& tablesDir) {
    const std::filesystem::path path = OfficeJournalPath(tablesDir);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return std::nullopt;
    std::istringstream in(ReadFileBytes(path, {4u * 1024 * 1024, false}));
    std::string line;
    if (!std::getline(in, line) || line != kFirstLine) Bad(path);
    OfficeJournal journal;
    bool complete = false;
    try {
        while (std::getline(in, line)) {
            const std::vector<std::string> f = Split(line, '\t');
            if (f.empty()) Bad(path);
            if (f[0] == "started" && f.size() == 2) {
                journal.plan.started = f[1];
            } else if (f[0] == "years" && f.size() == 2) {
                for (const std::string& y : Split(f[1], ',')) journal.plan.years.push_back(std::stoi(y));
            } else if (f[0] == "login" && f.size() == 3 && f[1] == "accountant") {
                journal.plan.accountant = true;
                journal.plan.accountantUser = f[2];
            } else if (f[0] == "login" && f.size() == 2 && f[1] == "own") {
                journal.plan.accountant = false;
            } else if (f[0] == "clients" && f.size() == 2) {
                journal.plan.taxNumbers = Split(f[1], ',');
                complete = true;
            } else if (f[0] == "client" && f.size() == 3 && complete) {
                journal.finished.push_back({f[1], f[2], {}});
            } else if (f[0] == "year" && f.size() == 4 && !journal.finished.empty()) {
                OfficeYear year{std::stoi(f[1]), OfficeYearEnd::NotReached, f[3]};
                for (OfficeYearEnd end : {OfficeYearEnd::Read, OfficeYearEnd::NoReturn, OfficeYearEnd::Failed})
                    if (f[2] == EndWord(end)) year.end = end;
                journal.finished.back().years.push_back(year);
            } else {
                Bad(path);
            }
        }
    } catch (const std::logic_error&) {  // a number that is none
        Bad(path);
    }
    if (!complete) Bad(path);
    return journal;
}

void RemoveOfficeJournal(const std::filesystem::path& tablesDir) {
    std::error_code ec;
    std::filesystem::remove(OfficeJournalPath(tablesDir), ec);
}

}  // namespace skartina
