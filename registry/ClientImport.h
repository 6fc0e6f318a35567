// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The register brought in from a client list as accounting programs export
// it: ";"- or ","-separated, UTF-8 (with or without a byte-order mark) or
// Windows-1253, a header line naming the columns in Greek or in English.
// Each valid client becomes a record file as the entry window writes it; an
// existing record changes only in the fields the list gives (an empty cell
// gives nothing). A line that cannot become a record is named with its number
// and the reason, and skipped.

#include "registry/TaxpayerRecord.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// A file that is no client list at all (no header naming the tax number, an
// encoding that is neither UTF-8 nor Windows-1253); the text says why, in Greek.
class ClientListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The longest text of each field, as the entry window lets it be typed.
inline constexpr std::array<std::size_t, kRecordLines> kRecordFieldMaxLengths = {40, 40, 20, 20, 20, 20};

// A list line that was skipped; `line` counts the file's lines from 1.
struct SkippedLine {
    std::size_t line = 0;
    std::string reason;
    bool operator==(const SkippedLine&) const = default;
};

// One client as the list gives it: the fields in record order, and which of
// them the list gives.
struct ListedClient {
    std::size_t line = 0;
    std::array<std::string, kRecordLines> fields;
    std::array<bool, kRecordLines> given{};
};

struct ClientList {
    std::vector<ListedClient> clients;
    std::vector<SkippedLine> skipped;
};

// Reads a list's bytes (lines ended by CR LF, LF or a CR alone): the clients of its valid lines, and the lines skipped
// (a tax number that fails the check, a tax number met on an earlier line, a
// field the record's code page cannot hold or longer than the entry window
// takes, more cells than the header names). Throws ClientListError, also for
// a list without any line after its header.
ClientList ParseClientList(std::string_view bytes);

struct ImportResult {
    std::vector<std::string> added;    // tax numbers of new records
    std::vector<std::string> updated;  // records that changed
    std::vector<std::string> unchanged;
    std::vector<SkippedLine> skipped;  // in line order
};

// Writes the records of the list's clients under tablesDir (checked as the
// user's own, made when missing). Every record is made and checked before the
// first is written; all are flushed to disk together and the folder once, so
// each record is whole or absent after a crash; a client whose existing
// record cannot be read is skipped, its file untouched. Throws FileError.
ImportResult ImportClients(const std::filesystem::path& tablesDir, const ClientList& list);

// The whole import of a file: read, parse, write. Throws ClientListError or FileError.
ImportResult ImportClientFile(const std::filesystem::path& tablesDir, const std::filesystem::path& file);

// The report, in Greek: a summary line (which says so when nothing was added
// or changed), then one line per skipped line.
std::vector<std::string> ImportReportLines(const ImportResult& result);

}  // namespace skartina
