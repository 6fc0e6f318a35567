// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet's printed pages, measured and drawn with cairo in the print font,
// and the PDF file of them: the fonts embedded, every text selectable and
// searchable.

#include "sheet/PrintLayout.h"
#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <filesystem>
#include <string>
#include <vector>

namespace skartina {

// The advance width of a text as the PDF file sets it.
PrintTextWidth PrintFontWidth();

// The pages of the sheet, the texts measured as the PDF file sets them; with
// `withChart`, the balance chart as a last page of its own. The sheet's cells
// are laid out as the texts the window shows.
std::vector<PrintPage> SheetPrintPages(const Sheet& sheet, const std::string& name, const std::string& taxNumber,
                                       const std::string& date, bool withChart = false);

// The bytes of a PDF file of the pages, with the title in its properties.
// Throws std::runtime_error with cairo's reason.
std::string PrintPagesPdf(const std::vector<PrintPage>& pages, const std::string& title);

// Creates or replaces the PDF file of the sheet, dated today; the balance
// chart as its last page only when asked for. Throws FileError.
void ExportToPdf(const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                 const std::string& taxNumber, bool withChart = false);

}  // namespace skartina
