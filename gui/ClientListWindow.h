// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The client list: every record of the register, to open or delete one.

#include "gui/PickListWindow.h"

#include <filesystem>
#include <optional>
#include <string>

namespace skartina {

// The registered clients, by surname or tax number.
class ClientListWindow : public PickListWindow {
    Q_OBJECT
public:
    ClientListWindow(const std::filesystem::path& tablesDir, ListRows rows, DesktopServices desktop, QWidget* parent = nullptr);

protected:
    bool deleteRow(const ListRow& row, Prompter& prompter) override;

private:
    std::filesystem::path tablesDir_;
};

// The client list opened by the shared protocol.
std::optional<std::string> ChooseTaxpayer(const std::filesystem::path& tablesDir, DesktopServices desktop,
                                          QWidget* parent);

}  // namespace skartina
