// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About window: the product's name and version, how to reach its maker, and
// the data folder the program works in.

#include <QDialog>

#include <filesystem>

class QLabel;

namespace skartina {

// The About window: name, version and maker of the program, and its data
// folder, so that a user knows what to back up.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(const std::filesystem::path& dataFolder, QWidget* parent = nullptr);

private:
    QLabel* titleLabel_;       // "titleLabel"
    QLabel* dataFolderLabel_;  // "dataFolderLabel"
};

}  // namespace skartina
