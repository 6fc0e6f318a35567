// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a client's files live: the data folder "Tables" under the working
// folder, each file named after the client's tax number.

#include "common/OwnFolder.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skartina {

inline constexpr const char* kTablesFolder = "Tables";

// A tax number that cannot name a file inside the data folder.
class ClientNameError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The longest tax number that names a file: with the longest suffix and the
// mark of a temporary file it stays within a file name's 255 bytes.
inline constexpr std::size_t kMaxTaxNumberBytes = 160;

// The reason the tax number cannot name a client's file, or empty when it can:
// every file named after it must stay inside the data folder and give the same
// tax number back when the lists read its name.
std::string TaxNumberFileNameProblem(std::string_view taxNumber);

// tablesDir / (taxNumber + suffix); throws ClientNameError when the name would not
// stay a plain file inside tablesDir.
std::filesystem::path ClientFilePath(const std::filesystem::path& tablesDir, std::string_view taxNumber,
                                     std::string_view suffix);

// What MakeTablesFolderPrivate found and did.
enum class TablesFolderChange { None, Created, Tightened, Missing };

// The one way the data folder "Tables" is made and kept: clients' tax
// numbers and incomes, so it is used only when it is the user's own (see
// OwnFolder) and no other user may list or read it. A missing folder is made
// 0700 when `create` is set (the folder above must exist), and is nothing
// otherwise; a folder of this user that others could only enter or list is
// narrowed to 0700. Throws FileError naming the folder and why it is refused
// (a link, not a folder, another user's, writable by others).
std::optional<OwnFolder> OpenTablesFolder(const std::filesystem::path& tablesDir, bool create = true);
TablesFolderChange MakeTablesFolderPrivate(const std::filesystem::path& tablesDir, bool create = true);

// A folder inside the data folder (a client's kept documents or earlier
// versions): "Tables" checked first, then the folder, made 0700 when missing
// and narrowed to 0700 when others could read it. Throws FileError.
OwnFolder MakeClientFolder(const std::filesystem::path& folder);

// The sentence said once on standard error when an existing data folder was
// narrowed to its owner.
std::string TablesTightenedSentence(const std::filesystem::path& tablesDir);

}  // namespace skartina
