// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/SheetPdf.h"

#include "common/Edition.h"
#include "common/TextFile.h"
#include "sheet/BalanceChart.h"
#include "sheet/ExportTitles.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <memory>
#include <stdexcept>

namespace skartina {
namespace {

template <typename T, void (*Destroy)(T*)>
struct CairoDeleter {
    void operator()(T* p) const { Destroy(p); }
};
using Surface = std::unique_ptr<cairo_surface_t, CairoDeleter<cairo_surface_t, cairo_surface_destroy>>;
using Context = std::unique_ptr<cairo_t, CairoDeleter<cairo_t, cairo_destroy>>;
using FontFace = std::unique_ptr<cairo_font_face_t, CairoDeleter<cairo_font_face_t, cairo_font_face_destroy>>;

// The print font, regular and bold, set in points on any surface.
class PrintFont {
public:
    PrintFont()
        : regular_(cairo_toy_font_face_create(kPrintFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL)),
          bold_(cairo_toy_font_face_create(kPrintFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD)) {}

    void use(cairo_t* cr, double size, bool bold) const {
        cairo_set_font_face(cr, bold ? bold_.get() : regular_.get());
        cairo_set_font_size(cr, size);
    }

private:
    FontFace regular_;
    FontFace bold_;
};

// Widths as the PDF file has them: unhinted, at any size.
class TextMeasure {
public:
    TextMeasure() : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)), cr_(cairo_create(surface_.get())) {
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_set_font_options(cr_.get(), options);
        cairo_font_options_destroy(options);
    }

    double operator()(std::string_view text, double size, bool bold) const {
        if (text.empty()) return 0;
        font_.use(cr_.get(), size, bold);
        const std::string terminated(text);
        cairo_text_extents_t extents;
        cairo_text_extents(cr_.get(), terminated.c_str(), &extents);
        return extents.x_advance;
    }

private:
    Surface surface_;
    Context cr_;
    PrintFont font_;
};

void SetColor(cairo_t* cr, unsigned rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

void DrawPage(cairo_t* cr, const PrintFont& font, const PrintPage& page) {
    for (const PrintFill& fill : page.fills) {
        SetColor(cr, fill.color);
        cairo_rectangle(cr, fill.rect.x, fill.rect.y, fill.rect.width, fill.rect.height);
        cairo_fill(cr);
    }
    SetColor(cr, kPrintGridColor);
    cairo_set_line_width(cr, kPrintGridWidth);
    for (const PrintLine& line : page.lines) {
        cairo_move_to(cr, line.x1, line.y1);
        cairo_line_to(cr, line.x2, line.y2);
    }
    cairo_stroke(cr);
    SetColor(cr, 0x000000);
    double size = 0;
    bool bold = false;
    for (const PrintText& text : page.texts) {
        if (text.size != size || text.bold != bold) {
            size = text.size;
            bold = text.bold;
            font.use(cr, size, bold);
        }
        if (text.cut) {
            cairo_save(cr);
            cairo_rectangle(cr, text.clip.x, text.clip.y, text.clip.width, text.clip.height);
            cairo_clip(cr);
        }
        cairo_move_to(cr, text.x, text.baseline);
        cairo_show_text(cr, text.text.c_str());
        if (text.cut) cairo_restore(cr);
    }
}

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    try {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    } catch (...) {
        return CAIRO_STATUS_WRITE_ERROR;
    }
}

}  // namespace

PrintTextWidth PrintFontWidth() {
    const auto measure = std::make_shared<TextMeasure>();
    return [measure](std::string_view text, double size, bool bold) { return (*measure)(text, size, bold); };
}

std::vector<PrintPage> SheetPrintPages(const Sheet& sheet, const std::string& name, const std::string& taxNumber,
                                       const std::string& date, bool withChart) {
    const TextMeasure measure;
    std::vector<PrintPage> pages = LayOutSheetPages(sheet, name, taxNumber, date, std::cref(measure), withChart ? 1 : 0);
    if (withChart) {
        const int count = static_cast<int>(pages.size()) + 1;
        pages.push_back(LayOutBalanceChartPage(ReadBalanceSeries(sheet), name, taxNumber, date, count, count, std::cref(measure)));
    }
    return pages;
}

std::string PrintPagesPdf(const std::vector<PrintPage>& pages, const std::string& title) {
    std::string pdf;
    {
        Surface surface(cairo_pdf_surface_create_for_stream(Append, &pdf, kPrintPageWidth, kPrintPageHeight));
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, title.c_str());
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, kAppTitle);
        const PrintFont font;
        {
            const Context cr(cairo_create(surface.get()));
            for (const PrintPage& page : pages) {
                DrawPage(cr.get(), font, page);
                cairo_show_page(cr.get());
            }
            if (const cairo_status_t status = cairo_status(cr.get()); status != CAIRO_STATUS_SUCCESS)
                throw std::runtime_error(cairo_status_to_string(status));
        }
        cairo_surface_finish(surface.get());
        if (const cairo_status_t status = cairo_surface_status(surface.get()); status != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error(cairo_status_to_string(status));
    }
    return pdf;
}

void ExportToPdf(const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                 const std::string& taxNumber, bool withChart) {
    std::string pdf;
    try {
        pdf = PrintPagesPdf(SheetPrintPages(sheet, name, taxNumber, PrintDateText(std::chrono::system_clock::now()), withChart),
                            std::string(kExportHeading) + " " + name + " " + taxNumber);
    } catch (const std::runtime_error& e) {
        throw FileError("Αδυναμία δημιουργίας του PDF «" + file.string() + "»: " + e.what());
    }
    WriteFileAtomically(file, pdf, FileAccess::OwnerOnly);  // a client's figures, like every client file
}

}  // namespace skartina
