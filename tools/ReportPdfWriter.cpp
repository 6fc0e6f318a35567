// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ReportPdfWriter.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <stdexcept>

namespace skartina {
namespace {

constexpr double kPageWidth = 595;  // A4 in points
constexpr double kPageHeight = 842;
constexpr double kMargin = 50;
constexpr double kLineHeight = 14;

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// A piece of a row drawn on its own: where it stands in the row.
struct Piece {
    size_t row = 0;    // on its page
    size_t begin = 0;  // bytes of the row's text
    size_t end = 0;
    int column = 0;    // the piece's place among the row's words
};

// The row's words, cut at spaces.
std::vector<Piece> WordsOf(const std::string& line, size_t row) {
    std::vector<Piece> words;
    for (size_t at = line.find_first_not_of(' '); at != std::string::npos; at = line.find_first_not_of(' ', at)) {
        const size_t end = std::min(line.find(' ', at), line.size());
        words.push_back({row, at, end, static_cast<int>(words.size())});
        at = end;
    }
    return words;
}

// The pieces of one page in the order they are drawn.
std::vector<Piece> DrawingOrder(const std::vector<std::string>& rows, ReportOrder order) {
    std::vector<Piece> pieces;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (order == ReportOrder::Plain || order == ReportOrder::BottomUp) {
            pieces.push_back({row, 0, rows[row].size(), 0});
        } else {
            const std::vector<Piece> words = WordsOf(rows[row], row);
            pieces.insert(pieces.end(), words.begin(), words.end());
        }
    }
    const auto endsInColon = [&](const Piece& p) { return p.end > p.begin && rows[p.row][p.end - 1] == ':'; };
    switch (order) {
        case ReportOrder::Plain: break;
        case ReportOrder::BottomUp: std::reverse(pieces.begin(), pieces.end()); break;
        case ReportOrder::CodesFirst: std::stable_partition(pieces.begin(), pieces.end(), endsInColon); break;
        case ReportOrder::Columns:
            std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.column < b.column; });
            break;
        case ReportOrder::RightToLeft:
            std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.column > b.column; });
            break;
    }
    return pieces;
}

// One page: each piece where showing its row whole would put it (the toy
// text API places each glyph at the advance of the text before it).
void DrawPage(cairo_t* cr, const std::vector<std::string>& rows, ReportOrder order) {
    for (const Piece& piece : DrawingOrder(rows, order)) {
        const std::string& row = rows[piece.row];
        cairo_text_extents_t before{};
        cairo_text_extents(cr, row.substr(0, piece.begin).c_str(), &before);
        cairo_move_to(cr, kMargin + before.x_advance, kMargin + kLineHeight * static_cast<double>(piece.row));
        cairo_show_text(cr, row.substr(piece.begin, piece.end - piece.begin).c_str());
    }
}

constexpr std::pair<ReportOrder, std::string_view> kNames[] = {{ReportOrder::Plain, "plain"},
                                                               {ReportOrder::CodesFirst, "codes-first"},
                                                               {ReportOrder::BottomUp, "bottom-up"},
                                                               {ReportOrder::Columns, "columns"},
                                                               {ReportOrder::RightToLeft, "right-to-left"}};

}  // namespace

std::string_view ReportOrderName(ReportOrder order) {
    for (const auto& [named, name] : kNames)
        if (named == order) return name;
    return {};
}

std::optional<ReportOrder> ReportOrderNamed(std::string_view name) {
    for (const auto& [order, named] : kNames)
        if (named == name) return order;
    return std::nullopt;
}

std::string WriteReportPdf(const std::vector<std::string>& lines, ReportOrder order) {
    std::string pdf;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Append, &pdf, kPageWidth, kPageHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 10);

    // The rows of each page, as many as fit between the margins.
    const size_t perPage = static_cast<size_t>((kPageHeight - 2 * kMargin) / kLineHeight) + 1;
    for (size_t first = 0; first < lines.size(); first += perPage) {
        if (first > 0) cairo_show_page(cr);
        const auto end = lines.begin() + static_cast<std::ptrdiff_t>(std::min(lines.size(), first + perPage));
        DrawPage(cr, std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(first), end), order);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error(cairo_status_to_string(status));
    return pdf;
}

}  // namespace skartina
