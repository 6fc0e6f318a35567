// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of skartina-cli. Each declares its arguments on its part of
// the command line (Define...) and returns what runs it once they are parsed;
// that returns the exit status. Bad usage throws UsageError, bad data any
// other std::exception.

#include "common/DataFolderLock.h"
#include "sheet/Sheet.h"

#include <CLI/App.hpp>

#include <filesystem>
#include <vector>

#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skartina::cli {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Runner = std::function<int()>;

// The text with every control character written as an escape ("\\n",
// "\\t", "\\x1b", "\\u009b") and a backslash doubled, so that what a file
// holds can neither break a printed row nor steer the terminal.
std::string EscapeControls(std::string_view text);

// --data-dir, given before the command runs; empty when not given.
void SetDataFolderOption(const std::string& folder);
// The "Tables" of the data folder, by the window's rule: --data-dir; else the
// current folder when it holds "Tables"; else ~/ΣΚΑΡΤΙΝΑ, which the user is
// told of. Made, for its owner alone, on the first call. Throws DataFolderError.
const std::filesystem::path& DataTables();

// The sheet of an analysis file a command reads; throws std::runtime_error
// naming the file when there is none.
Sheet LoadSheetArgument(const std::string& path);

// A tax year the sheet can hold (1991 to 2020); throws UsageError otherwise.
int YearArgument(const std::string& text);

// Checks every value of an --afm option as it is parsed: nine digits with
// their check digit, so a wrong tax number is bad usage before anything runs.
CLI::Option* CheckTaxNumber(CLI::Option* option);

// Refuses (UsageError) an output file that is one of the inputs, also when
// named through another path or a link: a command never writes over what it reads.
void RefuseOutputOverInputs(const std::string& output, std::initializer_list<std::string> inputs);

// Holds, for the command's run, every data folder it writes into: the
// current folder (for the commands that write its Tables), when it has a
// Tables or a lock file, and the data folder of each output that is a
// client's analysis file. Throws std::runtime_error
// naming the holder when the program's window or another command has one.
std::vector<DataFolderLock> HoldDataFolders(const std::string& command, bool currentFolder,
                                            std::initializer_list<std::string> outputs = {});

// The --extra-seconds value of the retrieval commands, 0 to kMostExtraSeconds; throws UsageError.
inline constexpr int kMostExtraSeconds = 600;
int ExtraSeconds(const std::string& text);

// The years the portal holds (2003 to 2020): "2003-2020" or one year, newest
// first; a single year. Both say the one range when refusing (UsageError).
std::vector<int> PortalYears(const std::string& text);
int PortalYear(const std::string& text);

// Declares a file or folder argument that the command needs.
CLI::Option* AddRequired(CLI::App& command, const std::string& name, std::string& value, const std::string& meaning);

// Declares --extra-seconds and --fixed-pauses, the waits of the retrieval commands.
void AddPortalWaits(CLI::App& command, std::string& extraSeconds, bool& fixedPauses);

// Declares the hidden --password of the retrieval commands, which only says
// where a password comes from; ThrowIfPasswordGiven refuses it.
CLI::Option* AddRefusedPassword(CLI::App& command, std::string& value);
void ThrowIfPasswordGiven(const CLI::Option* password);

Runner DefineNew(CLI::App& command);
Runner DefineRecalc(CLI::App& command);
Runner DefineConvert(CLI::App& command);
Runner DefineYear(CLI::App& command);
Runner DefineReport(CLI::App& command);
Runner DefineImportReport(CLI::App& command);
Runner DefineTaxNumber(CLI::App& command);
Runner DefineClients(CLI::App& command);
Runner DefineAnalyses(CLI::App& command);
Runner DefineCsv(CLI::App& command);
Runner DefineXlsx(CLI::App& command);
Runner DefinePdf(CLI::App& command);
Runner DefineCover(CLI::App& command);
Runner DefineRetrieve(CLI::App& command);
Runner DefineRetrieveAll(CLI::App& command);
Runner DefineImportClients(CLI::App& command);
Runner DefineRetrieveClients(CLI::App& command);

}  // namespace skartina::cli
