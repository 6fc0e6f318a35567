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

// The pages of the sheet, the texts measured as the PDF file sets them.
// The sheet's cells are laid out as the texts the window shows.
std::vector<PrintPage> SheetPrintPages(const Sheet& sheet, const std::string& name, const std::string& afm,
                                       const std::string& date);
std::vector<PrintPage> SheetPrintPages(const SheetGrid& grid, const std::string& name, const std::string& afm,
                                       const std::string& date);

// The bytes of a PDF file of the pages, with the title in its properties.
// Throws std::runtime_error with cairo's reason.
std::string PrintPagesPdf(const std::vector<PrintPage>& pages, const std::string& title);

// Creates or replaces the PDF file of the sheet, dated today. Throws FileError.
void ExportToPdf(const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                 const std::string& afm);
void ExportToPdf(const SheetGrid& grid, const std::filesystem::path& file, const std::string& name,
                 const std::string& afm);

}  // namespace skartina
