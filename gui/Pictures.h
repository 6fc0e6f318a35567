#pragma once
// The program's pictures, drawn rather than shipped: the three tiles, the logo
// and the product picture of the About window.

#include <QPixmap>
#include <QString>

namespace skartina {

// A tile: an emblem and its caption on a light ground.
QPixmap TilePicture(const QString& emblem, const QString& caption, QSize size);
QPixmap LogoPicture(QSize size);

}  // namespace skartina
