// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/BalanceChart.h"

#include "sheet/Coverage.h"
#include "sheet/ExportTitles.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace skartina {
namespace {

constexpr double kLabelSize = 7.5;
constexpr double kTitleSize = 9;
constexpr double kLineHeight = 14;
constexpr unsigned kGridColor = 0xD9D9D9;
constexpr unsigned kAxisColor = 0x404040;

double Baseline(double top, double height, double size) { return top + height / 2 + 0.36 * size; }

class ChartBuilder {
public:
    ChartBuilder(PrintPage& page, const PrintTextWidth& width) : page_(page), width_(width) {}

    double measure(const std::string& text, double size, bool bold) const { return width_(text, size, bold); }

    // A text centred in the line that begins at `top`: its left end at x (align 0),
    // its right end (align > 0) or its middle (align < 0).
    void text(double x, double top, const std::string& text, double size, bool bold, int align = 0) {
        const double w = measure(text, size, bold);
        const double left = align == 0 ? x : align > 0 ? x - w : x - w / 2;
        page_.texts.push_back({left, Baseline(top, kLineHeight, size), text, size, bold,
                               {left, top, w, kLineHeight}, false});
    }
    void fill(double x, double y, double w, double h, unsigned color) {
        if (w > 0 && h > 0) page_.fills.push_back({{x, y, w, h}, color});
    }

private:
    PrintPage& page_;
    const PrintTextWidth& width_;
};

// Whole euros in the sheet's format: "25.000".
std::string TickText(std::int64_t cents) {
    std::string text = FormatCents(cents);
    return text.substr(0, text.size() - 3);
}

// A step of 1, 2 or 5 times a power of ten, in whole euros, that cuts the range into about five.
std::int64_t TickStep(std::int64_t range) {
    const double rough = std::max(1.0, static_cast<double>(range) / 100 / 5);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double unit = rough / power <= 1 ? 1 : rough / power <= 2 ? 2 : rough / power <= 5 ? 5 : 10;
    return static_cast<std::int64_t>(unit * power) * 100;
}

std::vector<Person> ShownPersons(const BalanceSeries& series) {
    if (series.hasSpouse) return {Person::Taxpayer, Person::Spouse};
    return {Person::Taxpayer};
}

}  // namespace

void LayOutBalanceChart(const BalanceSeries& series, PrintRect area, const PrintTextWidth& width, PrintPage& page) {
    ChartBuilder chart(page, width);
    const std::vector<Person> persons = ShownPersons(series);

    // The legend.
    double x = area.x;
    for (const auto& [name, color] : {std::pair{kAvailableSeriesName, kAvailableBarColor}, {kFinalSeriesName, kFinalBarColor}}) {
        chart.fill(x, area.y + 3, 10, 8, color);
        chart.text(x + 14, area.y, name, kLabelSize, false);
        x += 14 + chart.measure(name, kLabelSize, false) + 16;
    }
    if (series.years.empty()) return;

    // One scale for both persons, from the lowest to the highest bar, 0 included.
    std::int64_t low = 0, high = 0;
    for (const YearBalance& year : series.years)
        for (const Person person : persons)
            for (const std::int64_t v : {year.of(person).available, year.of(person).final}) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
    if (low == high) high = 100000;
    const std::int64_t step = TickStep(high - low);
    const std::int64_t bottom = low / step * step - (low % step != 0 ? step : 0);
    const std::int64_t top = high / step * step + (high % step != 0 ? step : 0);

    double labelWidth = 0;
    for (std::int64_t tick = bottom; tick <= top; tick += step)
        labelWidth = std::max(labelWidth, chart.measure(TickText(tick), kLabelSize, false));
    const double plotLeft = area.x + labelWidth + 6;
    const double plotWidth = area.x + area.width - plotLeft;
    const double panelsTop = area.y + kLineHeight + 4;
    const double panelHeight = (area.y + area.height - panelsTop) / static_cast<double>(persons.size());
    const int years = static_cast<int>(series.years.size());
    const double group = plotWidth / years;

    // Year labels: as many as fit side by side, always the newest.
    int every = 1;
    while (chart.measure("2020", kLabelSize, false) + 4 > group * every) ++every;

    for (size_t p = 0; p < persons.size(); ++p) {
        const Person person = persons[p];
        const double panelTop = panelsTop + p * panelHeight;
        const YearBalance& newest = series.years.back();
        chart.text(area.x, panelTop,
                   std::string(PersonTitle(person)) + " — " + kFinalSeriesName + " " + std::to_string(newest.year) +
                       ": " + FormatCents(newest.of(person).final),
                   kTitleSize, true);
        const double plotTop = panelTop + kLineHeight + 4;
        const double plotHeight = panelHeight - 2 * kLineHeight - 10;
        if (plotHeight <= 0) continue;
        const auto yOf = [&](std::int64_t v) {
            return plotTop + static_cast<double>(top - v) / static_cast<double>(top - bottom) * plotHeight;
        };
        for (std::int64_t tick = bottom; tick <= top; tick += step) {
            chart.fill(plotLeft, yOf(tick) - 0.25, plotWidth, 0.5, kGridColor);
            chart.text(plotLeft - 4, yOf(tick) - kLineHeight / 2, TickText(tick), kLabelSize, false, 1);
        }
        for (int i = 0; i < years; ++i) {
            const YearBalance& year = series.years[static_cast<size_t>(i)];
            const double left = plotLeft + i * group + group * 0.15;
            const double bar = group * 0.35;
            int k = 0;
            for (const std::int64_t v : {year.of(person).available, year.of(person).final}) {
                const double y1 = yOf(std::max<std::int64_t>(v, 0));
                const double y2 = yOf(std::min<std::int64_t>(v, 0));
                chart.fill(left + k * bar, y1, bar, y2 - y1, k == 0 ? kAvailableBarColor : kFinalBarColor);
                ++k;
            }
            if ((years - 1 - i) % every == 0)
                chart.text(plotLeft + (i + 0.5) * group, plotTop + plotHeight + 2, std::to_string(year.year), kLabelSize,
                           false, -1);
        }
        chart.fill(plotLeft, yOf(0) - 0.4, plotWidth, 0.8, kAxisColor);
        chart.fill(plotLeft - 0.4, plotTop, 0.8, plotHeight, kAxisColor);
    }
}

PrintPage LayOutBalanceChartPage(const BalanceSeries& series, const std::string& name, const std::string& taxNumber,
                                 const std::string& date, int page, int pages, const PrintTextWidth& width) {
    PrintPage out;
    ChartBuilder titles(out, width);
    const double right = kPrintPageWidth - kPrintMargin;
    titles.text(kPrintMargin, kPrintMargin, TaxpayerTitle(name), kTitleSize, false);
    titles.text(kPrintPageWidth / 2, kPrintMargin, TaxNumberTitle(taxNumber), kTitleSize, false);
    titles.text(kPrintPageWidth / 2, kPrintMargin + kLineHeight, kChartHeading, 10, true, -1);
    const double top = kPrintMargin + 3 * kLineHeight;
    const double bottom = kPrintPageHeight - kPrintMargin - kLineHeight - 6;
    LayOutBalanceChart(series, {kPrintMargin, top, right - kPrintMargin, bottom - top}, width, out);
    const double footer = kPrintPageHeight - kPrintMargin - kLineHeight;
    titles.text(kPrintMargin, footer, date, 8, false);
    titles.text(right, footer, PageFooterText(page, pages), 8, false, 1);
    return out;
}

}  // namespace skartina
