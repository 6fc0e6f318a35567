// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the client list and the analysis list share: one read-only rowsTable_ of
// records with a type-ahead search, two sort orders, a choice and a deletion.

#include "gui/DesktopServices.h"
#include "registry/ClientLists.h"

#include <QDialog>

#include <filesystem>
#include <optional>
#include <string>

class QLineEdit;
class QRadioButton;
class QTableWidget;
class QToolButton;

namespace skartina {

// A list of records to pick one from; the two lists differ in their rows and deletion.
class PickListWindow : public QDialog {
    Q_OBJECT
public:
    const ListRows& rows() const { return rows_; }
    // The tax number of the current row (what the opener reads after OK).
    std::string chosenTaxNumber() const;

    // The commands, as the window's controls run them.
    void onSearchTextChanged();
    void onSortOrderClicked();
    void onDeleteClicked();

protected:
    PickListWindow(const ListDescription& list, ListRows rows, const char* gridName, DesktopServices desktop,
                QWidget* parent);
    bool eventFilter(QObject* object, QEvent* event) override;
    virtual bool deleteRow(const ListRow& row, Prompter& prompter) = 0;

private:
    int searchColumn() const;
    void showRows();

    // The window's controls; each carries its role name as its objectName
    // ("searchEdit", "openButton", the grid "rowsTable" or "rowsTable", ...).
    QLineEdit* searchEdit_;
    QRadioButton* sortBySurnameButton_;    // "Επωνυμία"
    QRadioButton* sortByTaxNumberButton_;  // "Α.Φ.Μ."
    QTableWidget* rowsTable_;
    QToolButton* openButton_;
    QToolButton* deleteButton_;

    const ListDescription& list_;
    ListRows rows_;
    DesktopServices desktop_;
};

// The opening protocol of both lists: fill the list; an empty one is reported
// with its message and not shown; otherwise shown modally. The chosen tax
// number on OK, none on Cancel.
template <typename List, typename Load, typename... Extra>
std::optional<std::string> OpenList(const ListDescription& list, Load load, const std::filesystem::path& tablesDir,
                                    DesktopServices desktop, QWidget* parent, Extra... extra) {
    ListLoad loaded;
    try {
        loaded = load();
    } catch (const std::exception& e) {
        desktop.prompter->inform(e.what());
        return std::nullopt;
    }
    // The entries left out are named before the list (or its empty message) shows.
    if (const std::string bad = BadEntriesSentence(loaded.badEntries); !bad.empty()) desktop.prompter->inform(bad);
    if (loaded.rows.empty()) {
        desktop.prompter->inform(list.emptyMessage);
        return std::nullopt;
    }
    List window(tablesDir, extra..., std::move(loaded.rows), desktop, parent);
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.chosenTaxNumber();
}

}  // namespace skartina
