// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data folder: the one folder the program works in. Every file it reads or
// writes by a relative name (the client folder "Tables", the settings markers,
// "Upgrade") lies under it, so the program chooses it once at start-up and
// makes it the current folder before anything else touches a file.

#include <filesystem>
#include <stdexcept>

namespace skartina {

// The folder made in the user's home folder when nothing else names one: easy
// to find and to back up.
inline constexpr const char* kHomeDataFolderName = "ΣΚΑΡΤΙΝΑ";

// No data folder can be chosen or used; the text is for the user.
class DataFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DataFolderRequest {
    std::filesystem::path explicitDir;  // given on the command line; empty when not
    std::filesystem::path currentDir;   // where the program was started (absolute)
    std::filesystem::path homeDir;      // the user's home folder; empty when unknown
};

enum class DataFolderSource { Explicit, CurrentFolder, Home };

struct DataFolderChoice {
    std::filesystem::path folder;  // absolute
    DataFolderSource source;
};

// The rule: the folder given on the command line (relative to the current
// folder); else the current folder when it already holds "Tables" (a program
// started from a terminal where its data is, as it always worked) and both
// are folders of the user's own (see OwnFolder: no link, nobody else's, not
// writable by others); else
// "ΣΚΑΡΤΙΝΑ" in the home folder, which is where a start from the desktop's
// menu lands. Throws DataFolderError when the home folder is needed but
// unknown. Reads only what currentDir and currentDir/Tables are.
DataFolderChoice ChooseDataFolder(const DataFolderRequest& request);

// The user's home folder: $HOME when it is an absolute path, else the user's
// entry in the password database; empty when neither gives one.
std::filesystem::path HomeFolder();

// Creates the chosen folder when it is missing, readable by its owner only
// (0700 whatever the umask; its parent must exist); an existing folder keeps
// its mode. Throws DataFolderError when it is not a folder, cannot be made,
// or is not the user's own (a link, another user's, writable by others).
void PrepareDataFolder(const DataFolderChoice& choice);

// Chooses the data folder for this process (explicitDir empty when no option
// named one), prepares it and makes it the current folder. Throws
// DataFolderError.
DataFolderChoice EnterDataFolder(const std::filesystem::path& explicitDir);

}  // namespace skartina
