#pragma once
// Where a client's files live: the data folder "Tables" under the working
// folder, each file named after the client's tax number.

#include <cstddef>
#include <filesystem>
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
inline constexpr std::size_t kMaxAfmBytes = 160;

// The reason the tax number cannot name a client's file, or empty when it can:
// every file named after it must stay inside the data folder and give the same
// tax number back when the lists read its name.
std::string AfmFileNameProblem(std::string_view afm);

// tablesDir / (afm + suffix); throws ClientNameError when the name would not
// stay a plain file inside tablesDir.
std::filesystem::path ClientFilePath(const std::filesystem::path& tablesDir, std::string_view afm,
                                     std::string_view suffix);

// Creates the data folder, readable by its owner only, when it is missing (an
// existing folder keeps its mode). Throws std::filesystem::filesystem_error.
void CreateTablesFolder(const std::filesystem::path& tablesDir);

}  // namespace skartina
