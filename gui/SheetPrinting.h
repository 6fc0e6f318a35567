// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet's printed pages on a Qt printer: the same pages as the PDF file,
// painted with QPainter.

#include "sheet/PrintLayout.h"

#include <vector>

class QPainter;
class QPrinter;

namespace skartina {

// Paper, orientation and margins of the pages: A4 landscape, the whole sheet
// of paper (the pages carry their own margins).
void SetUpPrinterForPages(QPrinter& printer);

// Paints the pages the printer's range asks for (all when it asks for none),
// made smaller where the printer's paper is smaller than the page. False when
// the printer could not start or take a new page.
bool PaintPrintPages(QPrinter& printer, const std::vector<PrintPage>& pages);

// Paints one page, or a part of one, on any device, `pixelsPerPoint` of its pixels a point.
void PaintPrintPage(QPainter& painter, const PrintPage& page, double pixelsPerPoint);

}  // namespace skartina
