// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a year's retrieval ended, said once in Greek: one sentence a year, the
// same in the single year's message, the run's summary and the command line.
// Technical detail (the browser's own words) never goes into a sentence; it
// goes to the retrieval's log file, which the sentence names.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace skartina {

enum class Ending {
    Read,               // the year's figures are in the sheet
    NoReturn,           // the portal has no amounts for the year; its columns were emptied
    WrongCredentials,   // the portal's login answered that the user name or password is wrong; the run stops
    ClientRefused,      // the portal would not let the accountant pick the client; the run stops
    Unreachable,        // the portal could not be reached (refused, no such name, time-out); the run stops
    BrowserClosed,      // the user closed the browser
    PageNotAsExpected,  // an element or window the step needs did not appear
    ReportWithoutTaxNumber,   // the report does not name the client's tax number
    ReturnWithoutTaxNumber,   // the return page does not name the client's tax number
    ReportTooLarge,     // the report is over the size the program reads
    SessionExpired,     // the portal ended the session twice in the same year
    ReportUnread,       // the report gave no entry and did not say there is no return; it was kept to be looked at
    BrowserFailed,      // the browser failed in a way the program does not know
    Cancelled,          // the user cancelled, or closed the window
    NotReached,         // the run stopped before the year
};

// Whether the ending stops a run: the years after it are not tried.
bool StopsTheRun(Ending ending);
// Whether a developer needs to see the page the ending came on: every
// failure that is not the user's doing or a plain answer of the portal.
bool KeepsDiagnostics(Ending ending);
// Whether the year's figures are in the sheet.
inline bool Filled(Ending ending) { return ending == Ending::Read || ending == Ending::NoReturn; }

// Where a year stands when a step fails: the step, in words an accountant can
// pass on, and what was missing.
struct StepFailure {
    std::string step;
    std::string missing;
    std::string pageMessage;  // what the page said in a dialog before the step failed; empty: nothing
    bool unfinished = false;  // what was awaited was there, but its page never finished loading
};

// The end of a step that ends the year (or the run): the ending, the step and
// what was missing when the page was not as expected, and the technical
// detail for the log.
class RetrievalStop : public std::runtime_error {
public:
    RetrievalStop(Ending ending, std::string detail, StepFailure failure = {})
        : std::runtime_error(detail), ending_(ending), failure_(std::move(failure)) {}
    Ending ending() const { return ending_; }
    const StepFailure& failure() const { return failure_; }
    // The diagnostic bundle kept for the failure; empty: none.
    std::filesystem::path diagnostics;
    // The report kept unread; empty: none.
    std::filesystem::path kept;

private:
    Ending ending_;
    StepFailure failure_;
};

// What a year's ending is told with.
struct YearEnding {
    Ending ending = Ending::NotReached;
    StepFailure failure;                  // for PageNotAsExpected
    std::filesystem::path log;            // the log holding the detail; empty: none
    std::filesystem::path diagnostics;    // the folder kept for a developer; empty: none
    std::filesystem::path kept;           // the report kept unread (ReportUnread); empty: none
};

// The sentence of a year: "2016: ..." ending with a full stop, naming the log
// and the diagnostics folder where there are any.
std::string YearSentence(int year, const YearEnding& ending);

// The words of the ending alone, without the year or the files.
std::string EndingWords(const YearEnding& ending);

}  // namespace skartina
