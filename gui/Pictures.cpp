// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Pictures.h"

#include <QPainter>

namespace skartina {

QPixmap TilePicture(const QString& emblem, const QString& caption, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont big("DejaVu Sans");
    big.setPixelSize(size.height() / 3);
    big.setBold(true);
    p.setFont(big);
    p.setPen(QColor(40, 70, 140));
    p.drawText(QRect(0, 0, size.width(), size.height() * 2 / 3), Qt::AlignCenter, emblem);
    QFont small("DejaVu Sans");
    small.setPixelSize(std::max(12, size.height() / 14));
    small.setBold(true);
    p.setFont(small);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRect(8, size.height() * 2 / 3, size.width() - 16, size.height() / 3), Qt::AlignCenter | Qt::TextWordWrap,
               caption);
    return pixmap;
}

QPixmap LogoPicture(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 70, 140));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRect(QPoint(0, 0), size).adjusted(1, 1, -1, -1), 6, 6);
    QFont font("DejaVu Sans");
    font.setPixelSize(size.height() / 2);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, "ΣΚ");
    return pixmap;
}

QPixmap PrinterPicture(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / 32.0, size.height() / 32.0);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));  // the paper going in
    p.setBrush(QColor(120, 130, 150));
    p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);  // the body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 19, 16, 10));  // the printed page
    p.setPen(QPen(QColor(40, 70, 140), 1));
    for (const double y : {22.5, 25.0, 27.5}) p.drawLine(QPointF(10, y), QPointF(22, y));
    p.setBrush(QColor(90, 200, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(25.5, 14.5), 1.3, 1.3);
    return pixmap;
}

}  // namespace skartina
