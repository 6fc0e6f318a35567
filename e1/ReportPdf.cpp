// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/ReportPdf.h"

#include "common/ProgramLog.h"
#include "e1/ReportLines.h"

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
        // The words with their places, not the order the file draws them in:
        // a report that draws its codes apart from its amounts, or column by
        // column, reads as it is printed.
        std::vector<PlacedWord> words;
        for (const poppler::text_box& box : page->text_list()) {
            const poppler::byte_array utf8 = box.text().to_utf8();
            const poppler::rectf place = box.bbox();
            words.push_back({std::string(utf8.begin(), utf8.end()), place.left(), place.top(), place.right(), place.bottom()});
        }
        text += TextInReadingOrder(std::move(words));
    }
    return text;
}

}  // namespace skartina
