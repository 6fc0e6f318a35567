// SPDX-License-Identifier: GPL-3.0-or-later
// The data folder of the commands that work on the register, chosen by the
// window's rule so that both programs see the same clients.

#include "cli/Commands.h"
#include "browser/StartUpTidy.h"
#include "common/ClientFiles.h"
#include "common/OwnFolder.h"
#include "startup/DataFolder.h"

#include <iostream>
#include <optional>

namespace skartina::cli {
namespace {

std::filesystem::path gExplicitDataFolder;
std::optional<std::filesystem::path> gTables;

}  // namespace

void SetDataFolderOption(const std::string& folder) { gExplicitDataFolder = folder; }

const std::filesystem::path& DataTables() {
    if (gTables) return *gTables;
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    if (ec && (gExplicitDataFolder.empty() || gExplicitDataFolder.is_relative()))
        throw std::runtime_error("ο τρέχων φάκελος δεν είναι προσβάσιμος: " + ec.message());
    const DataFolderChoice choice = ChooseDataFolder({gExplicitDataFolder, current, HomeFolder()});
    // A "Tables" here that is not the user's own is refused, not passed over:
    // the user meant this folder, and must hear why it is not used.
    if (choice.source == DataFolderSource::Home && gExplicitDataFolder.empty() &&
        std::filesystem::exists(std::filesystem::symlink_status(current / kTablesFolder, ec)))
        OwnFolder::Open(current / kTablesFolder, false);
    PrepareDataFolder(choice);
    // The chosen folder made private, and what killed runs left there removed; no other folder is touched.
    const std::filesystem::path tables = choice.folder / kTablesFolder;
    if (TidyAtStartUp(tables).tablesTightened) std::cerr << "skartina-cli: " << TablesTightenedSentence(tables) << "\n";
    MakeTablesFolderPrivate(tables, /*create=*/true);
    // A folder that is not yet a data folder never gets a "Tables" of its own:
    // the register goes where the window would find it, and the user is told where.
    if (choice.source == DataFolderSource::Home)
        std::cerr << "skartina-cli: ο τρέχων φάκελος δεν έχει Tables· φάκελος δεδομένων: «" << choice.folder.string()
                  << "»\n";
    gTables = choice.folder / kTablesFolder;
    return *gTables;
}

}  // namespace skartina::cli
