// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/ExcelChart.h"

#include "sheet/BalanceChart.h"
#include "sheet/Coverage.h"

#include <string>
#include <vector>

namespace skartina {
namespace {

constexpr lxw_row_t kChartRows = 22;  // worksheet rows a chart covers, one under the other

}  // namespace

lxw_error AddBalanceChartSheet(lxw_workbook* workbook, const BalanceSeries& series, lxw_format* amountFormat) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, kExcelChartSheetName);
    if (!sheet) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    std::vector<Person> persons{Person::Taxpayer};
    if (series.hasSpouse) persons.push_back(Person::Spouse);

    lxw_error error = worksheet_write_string(sheet, 0, 0, "Έτος", nullptr);
    lxw_col_t column = 1;
    for (const Person person : persons)
        for (const char* name : {kAvailableSeriesName, kFinalSeriesName}) {
            const std::string heading = std::string(PersonTitle(person)) + ": " + name;
            if (!error) error = worksheet_write_string(sheet, 0, column++, heading.c_str(), nullptr);
        }
    lxw_row_t row = 1;
    for (const YearBalance& year : series.years) {
        if (!error) error = worksheet_write_string(sheet, row, 0, std::to_string(year.year).c_str(), nullptr);
        column = 1;
        for (const Person person : persons)
            for (const std::int64_t cents : {year.of(person).available, year.of(person).final})
                if (!error) error = worksheet_write_number(sheet, row, column++, static_cast<double>(cents) / 100, amountFormat);
        ++row;
    }
    if (!error) error = worksheet_set_column(sheet, 0, 0, 8, nullptr);
    if (!error) error = worksheet_set_column(sheet, 1, static_cast<lxw_col_t>(2 * persons.size()), 22, nullptr);
    if (error || series.years.empty()) return error;

    const lxw_row_t last = static_cast<lxw_row_t>(series.years.size());
    const lxw_col_t chartColumn = static_cast<lxw_col_t>(2 * persons.size() + 2);
    column = 1;
    for (size_t p = 0; p < persons.size(); ++p) {
        lxw_chart* chart = workbook_add_chart(workbook, LXW_CHART_COLUMN);
        if (!chart) return LXW_ERROR_MEMORY_MALLOC_FAILED;
        for (const unsigned color : {kAvailableBarColor, kFinalBarColor}) {
            lxw_chart_series* bars = chart_add_series(chart, nullptr, nullptr);
            if (!bars) return LXW_ERROR_MEMORY_MALLOC_FAILED;
            chart_series_set_categories(bars, kExcelChartSheetName, 1, 0, last, 0);
            chart_series_set_values(bars, kExcelChartSheetName, 1, column, last, column);
            chart_series_set_name_range(bars, kExcelChartSheetName, 0, column);
            lxw_chart_fill fill{};
            fill.color = color;
            chart_series_set_fill(bars, &fill);
            ++column;
        }
        const std::string title = std::string(PersonTitle(persons[p])) + " — " + kChartHeading;
        chart_title_set_name(chart, title.c_str());
        chart_axis_set_num_format(chart->y_axis, "#,##0");
        chart_axis_set_name(chart->x_axis, "Έτος");
        chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
        lxw_chart_options place{};
        place.x_scale = 2;
        place.y_scale = 1.4;
        error = worksheet_insert_chart_opt(sheet, static_cast<lxw_row_t>(p) * kChartRows, chartColumn, chart, &place);
        if (error) return error;
    }
    return LXW_NO_ERROR;
}

}  // namespace skartina
