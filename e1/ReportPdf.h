// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of a yearly report delivered as a PDF, as a person reads it on
// paper: one line per printed row, the pages one after another, whatever
// order the file draws its text in.

#include <stdexcept>
#include <string>
#include <string_view>

namespace skartina {

class ReportPdfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 text; throws ReportPdfError when the bytes are no readable PDF.
std::string ReportPdfText(std::string_view pdfBytes);

bool LooksLikePdf(std::string_view bytes);

}  // namespace skartina
