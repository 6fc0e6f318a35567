// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ClientListWindow.h"

#include "registry/ClientLists.h"

namespace skartina {

ClientListWindow::ClientListWindow(const std::filesystem::path& tablesDir, ListRows rows, DesktopServices desktop, QWidget* parent)
    : PickListWindow(TaxpayerListDescription(), std::move(rows), "rowsTable", std::move(desktop), parent),
      tablesDir_(tablesDir) {
    setObjectName("clientListWindow");
}

bool ClientListWindow::deleteRow(const ListRow& row, Prompter& prompter) { return DeleteTaxpayerRow(tablesDir_, row, prompter); }

std::optional<std::string> ChooseTaxpayer(const std::filesystem::path& tablesDir, DesktopServices desktop,
                                          QWidget* parent) {
    return OpenList<ClientListWindow>(TaxpayerListDescription(), [&] { return LoadCustomers(tablesDir); }, tablesDir,
                                 std::move(desktop), parent);
}

}  // namespace skartina
