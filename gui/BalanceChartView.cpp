// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/BalanceChartView.h"

#include "gui/SheetPrinting.h"
#include "sheet/BalanceChart.h"
#include "sheet/SheetPdf.h"

#include <QPainter>

namespace skartina {

BalanceChartView::BalanceChartView(QWidget* parent) : QWidget(parent), textWidth_(PrintFontWidth()) {
    setMinimumSize(320, 200);
}

void BalanceChartView::setSeries(BalanceSeries series) {
    series_ = std::move(series);
    update();
}

void BalanceChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    // The layout is in points, as on paper; the widget's fonts are set in points too.
    const double pixelsPerPoint = logicalDpiX() / 72.0;
    constexpr double kMargin = 8;
    PrintPage page;
    LayOutBalanceChart(series_,
                       {kMargin, kMargin, width() / pixelsPerPoint - 2 * kMargin, height() / pixelsPerPoint - 2 * kMargin},
                       textWidth_, page);
    PaintPrintPage(painter, page, pixelsPerPoint);
}

}  // namespace skartina
