// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/StartUpTidy.h"

#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "browser/BrowserProfile.h"
#include "portal/YearSources.h"

namespace skartina {

StartUpTidy TidyAtStartUp(const std::filesystem::path& tablesDir) {
    StartUpTidy tidy;
    try {
        tidy.tablesTightened = MakeTablesFolderPrivate(tablesDir, false) == TablesFolderChange::Tightened;
    } catch (const std::exception&) {
        // A data folder that cannot be looked at is reported by what opens it.
    }
    tidy.removed = RemoveStaleTemporaryFiles(tablesDir);
    for (std::string& name : RemoveStaleSourceFiles(tablesDir)) tidy.removed.push_back(std::move(name));
    RemoveAbandonedBrowserProfiles();
    return tidy;
}

}  // namespace skartina
