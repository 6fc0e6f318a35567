// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AnalysisListWindow.h"

#include "registry/ClientLists.h"

namespace skartina {

AnalysisListWindow::AnalysisListWindow(const std::filesystem::path& tablesDir, std::string workYear, ListRows rows,
                               DesktopServices desktop, QWidget* parent)
    : PickListWindow(AnalysisListDescription(), std::move(rows), "rowsTable", std::move(desktop), parent),
      tablesDir_(tablesDir), workYear_(std::move(workYear)) {
    setObjectName("analysisListWindow");
}

bool AnalysisListWindow::deleteRow(const ListRow& row, Prompter& prompter) {
    return DeleteAnalysisRow(tablesDir_, row, workYear_, prompter);
}

std::optional<std::string> ChooseAnalysis(const std::filesystem::path& tablesDir, const std::string& workYear,
                                          DesktopServices desktop, QWidget* parent) {
    return OpenList<AnalysisListWindow>(AnalysisListDescription(), [&] { return LoadAnalyses(tablesDir, workYear); },
                                    tablesDir, std::move(desktop), parent, workYear);
}

}  // namespace skartina
