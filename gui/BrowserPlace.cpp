// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/BrowserPlace.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace skartina {
namespace {

constexpr int kWidth = 800;    // the browser's width where there is room
constexpr int kMinimum = 500;  // narrower than this it is no use beside the window

}  // namespace

ScreenRect BrowserPlaceBeside(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QScreen* screen = window.screen();
    if (!screen) return {};
    const QRect area = screen->availableGeometry();
    const int height = std::min(std::max(frame.height(), 500), area.height());
    const int top = std::clamp(frame.top(), area.top(), area.bottom() - height + 1);
    if (area.right() - frame.right() >= kMinimum)
        return {frame.right() + 1, top, std::min(kWidth, area.right() - frame.right()), height};
    if (frame.left() - area.left() >= kMinimum) {
        const int width = std::min(kWidth, frame.left() - area.left());
        return {frame.left() - width, top, width, height};
    }
    const int half = area.width() / 2;
    const bool onLeft = frame.center().x() < area.center().x();
    return {onLeft ? area.left() + half : area.left(), area.top(), half, area.height()};
}

ScreenRect MakeRoomForBrowser(QWidget& window) {
    const QRect frame = window.frameGeometry();
    if (const QScreen* screen = window.screen(); screen && !window.isMaximized()) {
        const QRect area = screen->availableGeometry();
        const bool roomBeside = area.right() - frame.right() >= kMinimum || frame.left() - area.left() >= kMinimum;
        if (!roomBeside && area.width() - frame.width() >= kMinimum) window.move(area.left(), window.y());
    }
    return BrowserPlaceBeside(window);
}

}  // namespace skartina
