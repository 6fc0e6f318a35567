// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The title texts that both exports of the sheet put above it.

#include <string>
#include <string_view>

namespace skartina {

inline constexpr std::string_view kExportHeading = "ΠΙΝΑΚΑΣ ΑΝΑΛΩΣΗΣ ΚΕΦΑΛΑΙΟΥ ΠΡΟΗΓΟΥΜΕΝΩΝ ΕΤΩΝ";

// The sheet rows an export covers: the headers down to the final balance.
inline constexpr int kExportedRows = 34;

inline std::string TaxpayerTitle(std::string_view name) { return "Υποχρεος : " + std::string(name); }
inline std::string TaxNumberTitle(std::string_view taxNumber) { return "Α.Φ.Μ. : " + std::string(taxNumber); }

}  // namespace skartina
