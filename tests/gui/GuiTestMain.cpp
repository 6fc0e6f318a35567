// SPDX-License-Identifier: GPL-3.0-or-later
// The window tests run on Qt's offscreen platform, one application for all.

#include "gui/Application.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    skartina::SetUpApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
