// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal of an office run, "Tables/retrieval-journal.txt": the run's
// choice, then every client finished, with how each of its years ended. It is
// rewritten whole after each client, so a run killed at any moment leaves the
// journal of the clients it finished; a resumed run goes on after them. A run
// that reaches its end removes it.

#include "portal/OfficePlan.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace skartina {

struct OfficeJournal {
    OfficePlan plan;
    std::vector<OfficeClient> finished;  // in the order they finished
    bool operator==(const OfficeJournal&) const = default;
};

std::filesystem::path OfficeJournalPath(const std::filesystem::path& tablesDir);

// Writes the journal whole (owner-only). Throws FileError.
void WriteOfficeJournal(const std::filesystem::path& tablesDir, const OfficeJournal& journal);

// The journal of an unfinished run; nothing when there is none. Throws
// FileError for a journal that cannot be read or is not one.
std::optional<OfficeJournal> ReadOfficeJournal(const std::filesystem::path& tablesDir);

void RemoveOfficeJournal(const std::filesystem::path& tablesDir);

}  // namespace skartina
