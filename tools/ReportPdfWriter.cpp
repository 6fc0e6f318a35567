// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ReportPdfWriter.h"

#include <cairo-pdf.h>
#include <cairo.h>

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

}  // namespace

std::string WriteReportPdf(const std::vector<std::string>& lines) {
    std::string pdf;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Append, &pdf, kPageWidth, kPageHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 10);

    double y = kMargin;
    for (const std::string& line : lines) {
        if (y > kPageHeight - kMargin) {
            cairo_show_page(cr);
            y = kMargin;
        }
        cairo_move_to(cr, kMargin, y);
        cairo_show_text(cr, line.c_str());
        y += kLineHeight;
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error(cairo_status_to_string(status));
    return pdf;
}

}  // namespace skartina
