// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's pictures, drawn rather than shipped: the three tiles, the logo
// and the product picture of the About window, the printer of the print button.

#include <QPixmap>
#include <QString>

namespace skartina {

// A tile: an emblem and its caption on a light ground.
QPixmap TilePicture(const QString& emblem, const QString& caption, QSize size);
QPixmap LogoPicture(QSize size);
// A printer with a sheet of paper in it, for the print button.
QPixmap PrinterPicture(QSize size);

}  // namespace skartina
