// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/YearReport.h"

#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "portal/RetrievalEnding.h"
#include "registry/TaxNumberCheck.h"

#include <algorithm>

namespace skartina {

std::optional<std::string> ReadYearReport(std::string_view bytes, int year, const std::string& taxNumber, E1CodeTable& e1) {
    std::string text;
    try {
        text = LooksLikePdf(bytes) ? ReportPdfText(bytes) : std::string(bytes);
    } catch (const ReportPdfError& error) {
        return std::string("no readable PDF: ") + error.what();
    }
    if (std::all_of(text.begin(), text.end(), [](unsigned char ch) { return ch <= ' '; }))
        return "the report has no text";
    // A report of another taxpayer is never taken for the client's.
    if (!NamesTaxNumber(text, taxNumber))
        throw RetrievalStop(Ending::ReportWithoutTaxNumber, "the report of " + std::to_string(year) + " does not name the tax number");
    if (ParseReportText(text, year, e1) > 0 || ReportSaysNoReturn(text)) return std::nullopt;
    return "the report's text (" + std::to_string(text.size()) + " bytes) has no \"code: amount\" entry and does not say there is no return";
}

}  // namespace skartina
