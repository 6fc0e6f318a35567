// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which clients an office run takes: all of the register, those named, or
// those whose sheet lacks a year of the run.

#include "common/Edition.h"

#include <filesystem>
#include <string>
#include <vector>

namespace skartina {

struct RegisterClient {
    std::string taxNumber;
    std::string name;  // surname and first name
};

// The register's clients, as the taxpayer list orders them (by surname);
// `badEntries` gets the entries it could not read.
std::vector<RegisterClient> RegisterClients(const std::filesystem::path& tablesDir,
                                            std::vector<std::string>* badEntries = nullptr);

// Whether the client's sheet lacks a year: no analysis file (or one that
// cannot be read), no columns for the year, or neither a kept portal document
// of the year nor any amount in its columns.
bool SheetLacksAYear(const std::filesystem::path& tablesDir, const std::string& taxNumber, const std::vector<int>& years);

// The tax numbers of the register whose sheet lacks a year, in register order.
std::vector<std::string> ClientsLackingAYear(const std::filesystem::path& tablesDir, const std::vector<int>& years);

// The years the portal holds returns of.
inline constexpr int kFirstPortalYear = 2003;
inline constexpr int kLastPortalYear = kNewestYear;

// "2003-2020" or one year, within 2003 to 2020: the years newest first; throws
// std::invalid_argument with a Greek text for anything else.
std::vector<int> OfficeYearRange(const std::string& text);

}  // namespace skartina
