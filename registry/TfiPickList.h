#pragma once
// The taxpayer list and the analysis list: one read-only grid of records with
// a type-ahead search, two sort orders, a choice and a deletion.

#include "app/DesktopServices.h"
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

class TfiPickList : public QDialog {
    Q_OBJECT
public:
    QLineEdit* edFastEdit;
    QRadioButton* rbSurname;  // "Επωνυμία"
    QRadioButton* rbAfm;      // "Α.Φ.Μ."
    QTableWidget* grid;       // sgCustomers or sgEntypa
    QToolButton* tbOpen;
    QToolButton* tbDelete;

    const ListRows& rows() const { return rows_; }
    // The tax number of the current row (what the opener reads after OK).
    std::string chosenAfm() const;

    void FastSearch();
    void rgIndexClick();
    void tbDeleteClick();

protected:
    TfiPickList(const ListDescription& list, ListRows rows, const char* gridName, DesktopServices desktop,
                QWidget* parent);
    bool eventFilter(QObject* object, QEvent* event) override;
    virtual bool deleteRow(const ListRow& row, Prompter& prompter) = 0;

private:
    int searchColumn() const;
    void showRows();

    const ListDescription& list_;
    ListRows rows_;
    DesktopServices desktop_;
};

class TfiCustList : public TfiPickList {
    Q_OBJECT
public:
    TfiCustList(const std::filesystem::path& tablesDir, ListRows rows, DesktopServices desktop, QWidget* parent = nullptr);

protected:
    bool deleteRow(const ListRow& row, Prompter& prompter) override;

private:
    std::filesystem::path tablesDir_;
};

class TfiVelmoraList : public TfiPickList {
    Q_OBJECT
public:
    TfiVelmoraList(const std::filesystem::path& tablesDir, std::string workYear, ListRows rows, DesktopServices desktop,
                   QWidget* parent = nullptr);

protected:
    bool deleteRow(const ListRow& row, Prompter& prompter) override;

private:
    std::filesystem::path tablesDir_;
    std::string workYear_;
};

// The opening protocol: fill the list; an empty one is reported with its
// message and not shown; otherwise shown modally. The chosen tax number on
// OK, none on Cancel.
std::optional<std::string> ChooseTaxpayer(const std::filesystem::path& tablesDir, DesktopServices desktop,
                                          QWidget* parent);
std::optional<std::string> ChooseAnalysis(const std::filesystem::path& tablesDir, const std::string& workYear,
                                          DesktopServices desktop, QWidget* parent);

}  // namespace skartina
