// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SheetPrinting.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace skartina {
namespace {

QColor ColorOf(unsigned rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Points of the layout to the printer's pixels.
class PagePainter {
public:
    PagePainter(QPainter& painter, double pixelsPerPoint) : p_(painter), k_(pixelsPerPoint) {}

    QRectF rect(const PrintRect& r) const { return {r.x * k_, r.y * k_, r.width * k_, r.height * k_}; }

    void paint(const PrintPage& page) {
        for (const PrintFill& fill : page.fills) p_.fillRect(rect(fill.rect), ColorOf(fill.color));
        p_.setPen(QPen(ColorOf(kPrintGridColor), kPrintGridWidth * k_));
        for (const PrintLine& line : page.lines) p_.drawLine(QPointF(line.x1 * k_, line.y1 * k_), QPointF(line.x2 * k_, line.y2 * k_));
        p_.setPen(Qt::black);
        for (const PrintText& text : page.texts) {
            QFont font(kPrintFontFamily);
            font.setPointSizeF(text.size);  // the printer's resolution makes points of it
            font.setBold(text.bold);
            // As the layout measured: unhinted, without kerning.
            font.setHintingPreference(QFont::PreferNoHinting);
            font.setKerning(false);
            p_.setFont(font);
            if (text.cut) p_.setClipRect(rect(text.clip));
            p_.drawText(QPointF(text.x * k_, text.baseline * k_), QString::fromStdString(text.text));
            if (text.cut) p_.setClipping(false);
        }
    }

private:
    QPainter& p_;
    double k_;
};

}  // namespace

void SetUpPrinterForPages(QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
}

void PaintPrintPage(QPainter& painter, const PrintPage& page, double pixelsPerPoint) {
    PagePainter(painter, pixelsPerPoint).paint(page);
}

bool PaintPrintPages(QPrinter& printer, const std::vector<PrintPage>& pages) {
    int first = 1, last = static_cast<int>(pages.size());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(first, printer.fromPage());
        last = std::min(last, printer.toPage());
    }
    if (first > last) return true;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Paper smaller than A4 landscape, or turned upright, takes the page made smaller to fit.
    const QRectF paper = printer.pageLayout().fullRectPoints();
    const double fit = std::min({1.0, paper.width() / kPrintPageWidth, paper.height() / kPrintPageHeight});
    PagePainter pagePainter(painter, printer.resolution() / 72.0 * fit);
    for (int page = first; page <= last; ++page) {
        if (page > first && !printer.newPage()) return false;
        pagePainter.paint(pages[static_cast<size_t>(page - 1)]);
    }
    return painter.end();
}

}  // namespace skartina
