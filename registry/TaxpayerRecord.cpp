// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/TaxpayerRecord.h"

#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "registry/TaxNumberCheck.h"
#include "registry/Scrambler.h"

#include <stdexcept>
#include <vector>

namespace skartina {

std::filesystem::path RecordFilePath(const std::filesystem::path& tablesDir, std::string_view taxNumber) {
    return ClientFilePath(tablesDir, taxNumber, ".cst");
}

std::array<std::string, kRecordLines> ReadRecordLines(const std::filesystem::path& path, int count) {
    return RecordLinesOf(ReadCp1253Lines(path, kRecordFileLimits), count);
}

std::array<std::string, kRecordLines> RecordLinesOf(const std::vector<std::string>& stored, int count) {
    std::array<std::string, kRecordLines> lines;
    for (size_t i = 0; i < lines.size() && i < static_cast<size_t>(count) && i < stored.size(); ++i)
        lines[i] = UnscrambleText(stored[i]);
    return lines;
}

TaxpayerRecord ReadTaxpayerRecord(const std::filesystem::path& path) {
    auto lines = ReadRecordLines(path);
    return {std::move(lines[0]), std::move(lines[1]), std::move(lines[2]),
            std::move(lines[3]), std::move(lines[4]), std::move(lines[5])};
}

std::string TaxpayerRecordBytes(const TaxpayerRecord& record) {
    const std::vector<std::string> lines = {
        ScrambleText(record.taxNumber),        ScrambleText(record.surname),    ScrambleText(record.firstName),
        ScrambleText(record.fatherName), ScrambleText(record.portalUser), ScrambleText(record.portalPassword)};
    try {
        return Cp1253FileBytes(lines);
    } catch (const LineEncodingError& e) {
        // The scrambler only trades characters of the code page for others of
        // it, so the field itself holds what the file cannot.
        throw std::invalid_argument("Το πεδίο «" + std::string(kRecordFieldLabels.at(e.line())) +
                                    "» περιέχει χαρακτήρα που δεν αποθηκεύεται στο αρχείο πελατών "
                                    "(ελληνική κωδικοσελίδα Windows-1253) ή αλλαγή γραμμής.");
    }
}

void WriteTaxpayerRecord(const std::filesystem::path& path, const TaxpayerRecord& record) {
    WriteFileAtomically(path, TaxpayerRecordBytes(record));
}

std::optional<TaxpayerRecord> LoadTaxpayer(const std::filesystem::path& tablesDir, std::string_view taxNumber) {
    if (taxNumber.empty()) return std::nullopt;
    const std::filesystem::path path = RecordFilePath(tablesDir, taxNumber);
    std::error_code ec;  // a link in its place counts: reading it says why it is refused
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return std::nullopt;
    return ReadTaxpayerRecord(path);
}

bool SaveTaxpayer(const std::filesystem::path& tablesDir, const TaxpayerRecord& record, Prompter& prompter) {
    if (record.taxNumber.empty()) {
        prompter.inform(kMissingTaxNumberMessage);
        return false;
    }
    // A mistyped tax number would file the client under another's number.
    if (!IsWholeTaxNumber(record.taxNumber) && !prompter.confirm(kInvalidTaxNumberSaveQuestion)) return false;
    const std::filesystem::path path = RecordFilePath(tablesDir, record.taxNumber);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)) && !prompter.confirm(kOverwriteRecordQuestion))
        return false;
    // A first client on a new installation creates the data folder.
    const std::string bytes = TaxpayerRecordBytes(record);
    WriteFileAtomically(*OpenTablesFolder(tablesDir), path.filename().string(), bytes);
    return true;
}

}  // namespace skartina
