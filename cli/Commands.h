#pragma once
// The commands of skartina-cli. Each takes the words after its name and
// returns the exit status; bad usage throws UsageError, bad data any other
// std::exception.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skartina::cli {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Args = std::vector<std::string>;

// The text with every control character written as an escape ("\\n",
// "\\t", "\\x1b", "\\u009b") and a backslash doubled, so that what a file
// holds can neither break a printed row nor steer the terminal.
std::string EscapeControls(std::string_view text);

// A tax year the sheet can hold (1991 to 2020); throws UsageError otherwise.
int YearArgument(const std::string& text);

int RunNew(const Args& args);
int RunRecalc(const Args& args);
int RunConvert(const Args& args);
int RunYear(const Args& args);
int RunReport(const Args& args);
int RunImportReport(const Args& args);
int RunAfm(const Args& args);
int RunClients(const Args& args);
int RunAnalyses(const Args& args);
int RunCsv(const Args& args);
int RunXlsx(const Args& args);
int RunRetrieve(const Args& args);
int RunPdf(const Args& args);
int RunRetrieveAll(const Args& args);
int RunImportClients(const Args& args);
int RunRetrieveClients(const Args& args);

// The --extra-seconds value of the retrieval commands; throws UsageError.
int ExtraSeconds(const std::string& text);

}  // namespace skartina::cli
