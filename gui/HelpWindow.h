// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Σύντομες οδηγίες": the instructions shipped with the program, readable
// without a network, with the product host's full help page as a link.

#include "gui/DesktopServices.h"
#include <QDialog>

#include <filesystem>

class QLabel;
class QTextBrowser;

namespace skartina {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // page: the shipped HTML file; onlineUrl: the product host's help page.
    HelpWindow(const std::filesystem::path& page, const QString& onlineUrl, QWidget* parent = nullptr);

private:
    QTextBrowser* helpText_;  // "helpText"
    QLabel* onlineLabel_;      // "onlineLabel"
};

// "Σύντομες οδηγίες": the shipped page in a HelpWindow, or, without it, the
// product host's page with the desktop's program. An office may work offline.
void ShowInstructions(const DesktopServices& desktop, QWidget* parent);

}  // namespace skartina
