// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The entry window of a client: tax number, names and portal credentials,
// loaded when the tax number is left and saved to the client's record file.

#include "gui/DesktopServices.h"

#include <QDialog>
#include <QString>

#include <filesystem>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace skartina {

class TaxNumberEdit;

// Enter, load and save one client's record: names and portal credentials.
class ClientEntryWindow : public QDialog {
    Q_OBJECT
public:
    ClientEntryWindow(const std::filesystem::path& workDir, DesktopServices desktop, QWidget* parent = nullptr);
    ~ClientEntryWindow() override;

    // Puts the tax number into its field and loads the client's record, as
    // leaving the field does.
    void loadClient(const QString& taxNumber);

    // The commands, as the window's controls run them.
    void onTaxNumberLeft();
    void onSaveClicked();
    void onClearClicked();
    void onChooseClientClicked();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    std::filesystem::path tablesDir() const;

    // The window's controls; each carries its role name as its objectName
    // ("taxNumberEdit", "surnameEdit", "chooseClientButton", ...).
    TaxNumberEdit* taxNumberEdit_;
    QLineEdit* surnameEdit_;
    QLineEdit* firstNameEdit_;
    QLineEdit* fatherNameEdit_;
    QLineEdit* portalUserEdit_;
    QLineEdit* portalPasswordEdit_;
    QPushButton* saveButton_;
    QPushButton* closeButton_;
    QPushButton* clearButton_;
    QToolButton* chooseClientButton_;  // the client list (F3)

    std::filesystem::path workDir_;
    DesktopServices desktop_;
    QList<QWidget*> tabOrder_;
};

}  // namespace skartina
