// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/ExcelExport.h"

#include "common/TextFile.h"
#include "sheet/ExcelChart.h"
#include "sheet/ExcelLayout.h"
#include "sheet/ExportTitles.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace skartina {
namespace {

constexpr double kFontSize = 8;
constexpr double kMargin = kExcelPrintMargin / 72;  // in inches
constexpr lxw_col_t kFormattedColumns = 255;

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& reason) {
    throw FileError("Αδυναμία δημιουργίας του βιβλίου Excel «" + file.string() + "»: " + reason);
}

class WorkbookWriter {
public:
    WorkbookWriter(const std::filesystem::path& scratch, const std::filesystem::path& target)
        : target_(target), workbook_(workbook_new(scratch.c_str())) {
        if (!workbook_) Fail(target_, "η βιβλιοθήκη δεν άνοιξε το αρχείο");
        sheet_ = workbook_add_worksheet(workbook_, "Φύλλο1");
        plain_ = MakeFormat(std::nullopt, false);
        caption_ = MakeFormat(kCaptionGrey, false);
        total_ = MakeFormat(kTotalGrey, false);
        heading_ = MakeFormat(std::nullopt, true);
    }
    ~WorkbookWriter() {
        if (workbook_) workbook_close(workbook_);  // only after a failure; nothing of it is kept
    }
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    void writeTitle(int block, const std::string& name, const std::string& taxNumber) {
        const auto row = static_cast<lxw_row_t>(ExcelBlockTitleRow(block));
        Check(worksheet_merge_range(sheet_, row, 0, row, kExcelLastNameTitleColumn, TaxpayerTitle(name).c_str(), plain_));
        Check(worksheet_merge_range(sheet_, row, kExcelLastNameTitleColumn + 1, row, kExcelLastTitleColumn,
                                    TaxNumberTitle(taxNumber).c_str(), plain_));
        Check(worksheet_merge_range(sheet_, row + 1, 0, row + 1, kExcelLastTitleColumn,
                                    std::string(kExportHeading).c_str(), heading_));
        Check(worksheet_merge_range(sheet_, row + 2, 0, row + 2, kExcelLastTitleColumn, "", plain_));
        lastRow_ = std::max<int>(lastRow_, static_cast<int>(row) + kExcelTitleRows - 1);
    }

    // A sheet cell, or a repeated caption, at its worksheet place; `shown` is
    // the text the window shows for it, which the column's width fits.
    void writeCell(ExcelPlace place, int sheetRow, const ExcelValue& value, const std::string& shown) {
        lxw_format* format = FormatOf(ExcelFillOf(place.column, sheetRow));
        const auto row = static_cast<lxw_row_t>(place.row);
        const auto column = static_cast<lxw_col_t>(place.column);
        if (const auto* number = std::get_if<double>(&value)) {
            Check(worksheet_write_number(sheet_, row, column, *number, format));
            fits_[place.column].add(shown);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            Check(worksheet_write_string(sheet_, row, column, text->c_str(), format));
            fits_[place.column].add(*text);
        } else if (format != plain_) {
            Check(worksheet_write_blank(sheet_, row, column, format));
        }
        lastRow_ = std::max(lastRow_, place.row);
    }

    void finish(int sheetColumns, const BalanceSeries* chart) {
        lxw_col_t next = 0;
        for (const auto& [column, fit] : fits_) {
            const auto at = static_cast<lxw_col_t>(column);
            if (at > next) Check(worksheet_set_column(sheet_, next, at - 1, LXW_DEF_COL_WIDTH, plain_));
            Check(worksheet_set_column(sheet_, at, at, fit.empty() ? LXW_DEF_COL_WIDTH : fit.width(), plain_));
            next = at + 1;
        }
        if (next < kFormattedColumns)
            Check(worksheet_set_column(sheet_, next, kFormattedColumns - 1, LXW_DEF_COL_WIDTH, plain_));
        for (int row = 0; row <= lastRow_; ++row)
            Check(worksheet_set_row(sheet_, static_cast<lxw_row_t>(row), kExcelRowHeight, nullptr));

        worksheet_set_landscape(sheet_);
        worksheet_set_margins(sheet_, kMargin, kMargin, kMargin, kMargin);
        // The library's header/footer option ignores a footer margin of 0.
        sheet_->margin_footer = 0;
        worksheet_gridlines(sheet_, LXW_SHOW_ALL_GRIDLINES);
        worksheet_set_paper(sheet_, kExcelPaperA4);
        worksheet_fit_to_pages(sheet_, 1, 0);
        std::vector<lxw_row_t> breaks;
        for (const int row : ExcelPageBreaks(sheetColumns)) breaks.push_back(static_cast<lxw_row_t>(row));
        if (!breaks.empty()) {
            breaks.push_back(0);  // the library's end mark
            Check(worksheet_set_h_pagebreaks(sheet_, breaks.data()));
        }

        if (chart) Check(AddBalanceChartSheet(workbook_, *chart, plain_));
        const lxw_error closed = workbook_close(workbook_);
        workbook_ = nullptr;
        if (closed != LXW_NO_ERROR) Fail(target_, lxw_strerror(closed));
    }

private:
    lxw_format* MakeFormat(std::optional<unsigned> fill, bool centred) {
        lxw_format* format = workbook_add_format(workbook_);
        format_set_font_size(format, kFontSize);
        format_set_num_format(format, kExcelNumberFormat);
        if (fill) {
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, *fill);
        }
        if (centred) format_set_align(format, LXW_ALIGN_CENTER);
        return format;
    }

    lxw_format* FormatOf(ExcelFill fill) const {
        switch (fill) {
        case ExcelFill::Caption: return caption_;
        case ExcelFill::Total: return total_;
        case ExcelFill::None: break;
        }
        return plain_;
    }

    void Check(lxw_error error) const {
        if (error != LXW_NO_ERROR) Fail(target_, lxw_strerror(error));
    }

    std::filesystem::path target_;
    lxw_workbook* workbook_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* plain_ = nullptr;
    lxw_format* caption_ = nullptr;
    lxw_format* total_ = nullptr;
    lxw_format* heading_ = nullptr;
    std::map<int, ColumnFit> fits_;  // by worksheet column
    int lastRow_ = 0;
};

}  // namespace

void ExportToExcel(const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                   const std::string& taxNumber, bool withChart) {
    std::optional<BalanceSeries> chart;
    if (withChart) chart = ReadBalanceSeries(sheet);
    const int rows = std::min(kExportedRows, sheet.rowCount());
    const int blocks = ExcelBlockCount(sheet.columnCount());
    // The library writes by file name: it writes the temporary file that then replaces the target.
    ReplaceFileWith(file, [&](const std::filesystem::path& temporary) {
        WorkbookWriter writer(temporary, file);
        for (int block = 0; block < blocks; ++block) writer.writeTitle(block, name, taxNumber);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < sheet.columnCount(); ++c) writer.writeCell(ExcelPlaceOf(c, r), r, ExcelValueOf(sheet, c, r), CellText(sheet, c, r));
        // Every later block repeats the captions in its column A, as text.
        for (int block = 1; block < blocks; ++block)
            for (int r = 0; r < rows; ++r) {
                const std::string caption = sheet.caption(r).empty() ? std::string(" ") : sheet.caption(r);
                writer.writeCell({ExcelPlaceOf(ExcelBlockFirstColumn(block), r).row, 0}, r, caption, caption);
            }
        writer.finish(sheet.columnCount(), chart ? &*chart : nullptr);
    }, FileAccess::OwnerOnly);
}

}  // namespace skartina
