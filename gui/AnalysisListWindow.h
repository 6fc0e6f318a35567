// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The analysis list: every saved analysis of this edition, to open or delete one.

#include "gui/PickListWindow.h"

#include <filesystem>
#include <optional>
#include <string>

namespace skartina {

// The saved analyses with their clients' names, by tax number or surname.
class AnalysisListWindow : public PickListWindow {
    Q_OBJECT
public:
    AnalysisListWindow(const std::filesystem::path& tablesDir, std::string workYear, ListRows rows, DesktopServices desktop,
                   QWidget* parent = nullptr);

protected:
    bool deleteRow(const ListRow& row, Prompter& prompter) override;

private:
    std::filesystem::path tablesDir_;
    std::string workYear_;
};

// The analysis list opened by the same protocol: the chosen tax number on OK.
std::optional<std::string> ChooseAnalysis(const std::filesystem::path& tablesDir, const std::string& workYear,
                                          DesktopServices desktop, QWidget* parent);

}  // namespace skartina
