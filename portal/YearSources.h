// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The portal's documents kept beside a client's analysis, one a year, so that
// a year can be recomputed without the portal and shown to an auditor:
// "Tables/<AFM>_sources/<YEAR>.pdf", the yearly report's bytes as the portal
// gave them, or "<YEAR>.txt", the amounts read from the return page as a
// "code amount" list; a report that could not be read, as "<YEAR>-unread.pdf". The folder and its files are the owner's alone.

#include "e1/E1CodeTable.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// tablesDir / (taxNumber + "_sources"); throws ClientNameError for a tax number that
// would not name a file inside tablesDir.
std::filesystem::path SourcesFolder(const std::filesystem::path& tablesDir, std::string_view taxNumber);

// Writes the report's bytes to folder/<year>.pdf; the folder is made when it
// is missing. Returns the file. Throws FileError.
std::filesystem::path KeepReportSource(const std::filesystem::path& folder, int year, std::string_view pdfBytes);

// Writes a report that could not be read to folder/<year>-unread.pdf, beside
// the documents read and apart from them, for a person to look at. Returns
// the file. Throws FileError.
std::filesystem::path KeepUnreadReport(const std::filesystem::path& folder, int year, std::string_view bytes);

// Removes what saves of documents killed before they finished left in every
// client's documents folder (see RemoveStaleTemporaryFiles); returns their
// names ("<AFM>_sources/<file>"). Never throws.
std::vector<std::string> RemoveStaleSourceFiles(const std::filesystem::path& tablesDir);

// Writes the table's amounts to folder/<year>.txt as a "code amount" list.
std::filesystem::path KeepReturnSource(const std::filesystem::path& folder, int year, const E1CodeTable& e1);

}  // namespace skartina
