// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/ReportPdf.h"

#include "common/ProgramLog.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>
#include <vector>

namespace skartina {

namespace {

// Poppler's own words on a damaged file (in English) go to the log; the user
// reads the program's message alone.
void RoutePopplerMessages() {
    static const bool routed = [] {
        poppler::set_debug_error_function([](const std::string& message, void*) { LogLine("poppler", message); }, nullptr);
        return true;
    }();
    (void)routed;
}

}  // namespace

bool LooksLikePdf(std::string_view bytes) { return bytes.substr(0, 5) == "%PDF-"; }

std::string ReportPdfText(std::string_view pdfBytes) {
    RoutePopplerMessages();
    std::vector<char> data(pdfBytes.begin(), pdfBytes.end());
    std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(data.data(), static_cast<int>(data.size())));
    if (!doc) throw ReportPdfError("Η αναφορά δεν είναι αναγνώσιμο αρχείο PDF.");
    if (doc->is_locked()) throw ReportPdfError("Η αναφορά PDF είναι κλειδωμένη.");

    std::string text;
    for (int i = 0; i < doc->pages(); ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        if (!page) continue;
        // The raw order keeps each printed row on one line with single spaces,
        // as a copy from the report window gives it.
        const poppler::byte_array utf8 = page->text(poppler::rectf(), poppler::page::raw_order_layout).to_utf8();
        text.append(utf8.begin(), utf8.end());
        if (!text.empty() && text.back() != '\n') text += '\n';
    }
    return text;
}

}  // namespace skartina
