// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A client of the register and the record file that holds it: "Tables/<ΑΦΜ>.cst",
// six scrambled lines in the Greek code page, readable by its owner only.

#include "common/Prompter.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

struct TaxpayerRecord {
    std::string taxNumber;
    std::string surname;  // or company name
    std::string firstName;
    std::string fatherName;
    std::string portalUser;
    std::string portalPassword;

    bool operator==(const TaxpayerRecord&) const = default;
};

inline constexpr int kRecordLines = 6;

// The labels of the six fields, in file order, as the entry window shows them.
inline constexpr std::array<std::string_view, kRecordLines> kRecordFieldLabels = {
    "Α.Φ.Μ.", "Επώνυμο", "Όνομα", "Ονομα Πατέρα", "Όνομα χρήστη Α.Α.Δ.Ε.", "Κωδικός Α.Α.Δ.Ε."};

inline const std::string kMissingTaxNumberMessage = "Δεν έχετε δώσει τον Α.Φ.Μ. του πελάτη";
inline const std::string kInvalidTaxNumberSaveQuestion =
    "Ο Α.Φ.Μ. που δώσατε δεν είναι σωστός (εννέα ψηφία με σωστό ψηφίο ελέγχου). Να αποθηκευτεί ο πελάτης παρ' όλα αυτά;";
inline const std::string kOverwriteRecordQuestion =
    "Ο πελάτης υπάρχει ήδη στο αρχείο να γίνει επικάλυψη των στοιχείων του;";

// tablesDir / (taxNumber + ".cst"); throws ClientNameError for a tax number that
// would not name a file inside tablesDir.
std::filesystem::path RecordFilePath(const std::filesystem::path& tablesDir, std::string_view taxNumber);

// The first `count` lines of a record file, unscrambled; lines the file lacks
// read as empty. Only a regular file of record size is read, never through a
// symbolic link. Throws FileError or LineEncodingError.
std::array<std::string, kRecordLines> ReadRecordLines(const std::filesystem::path& path, int count = kRecordLines);

// The same for the lines of a record file already read.
std::array<std::string, kRecordLines> RecordLinesOf(const std::vector<std::string>& stored, int count = kRecordLines);

TaxpayerRecord ReadTaxpayerRecord(const std::filesystem::path& path);

// The record file's bytes. A field the code page cannot hold throws
// std::invalid_argument naming the field.
std::string TaxpayerRecordBytes(const TaxpayerRecord& record);

// Creates or replaces the file, owner-only. A field the code page cannot
// hold throws std::invalid_argument naming the field; the file is untouched.
void WriteTaxpayerRecord(const std::filesystem::path& path, const TaxpayerRecord& record);

// The record of the tax number, when its file exists (the entry window's load
// on leaving the tax-number field; nothing happens for an empty number).
std::optional<TaxpayerRecord> LoadTaxpayer(const std::filesystem::path& tablesDir, std::string_view taxNumber);

// The entry window's save: an empty tax number is reported and nothing is
// written; an existing record is replaced only after a Yes. True when written.
bool SaveTaxpayer(const std::filesystem::path& tablesDir, const TaxpayerRecord& record, Prompter& prompter);

}  // namespace skartina
