#pragma once
// The entry window of a client: tax number, names and portal credentials,
// loaded when the tax number is left and saved to the client's record file.

#include "gui/DesktopServices.h"

#include <QDialog>

#include <filesystem>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace skartina {

class AfmEdit;

// Enter, load and save one client's record: names and portal credentials.
class ClientEntryWindow : public QDialog {
    Q_OBJECT
public:
    ClientEntryWindow(const std::filesystem::path& workDir, DesktopServices desktop, QWidget* parent = nullptr);
    ~ClientEntryWindow() override;

    AfmEdit* edAFM;
    QLineEdit* edBigName;
    QLineEdit* edName;
    QLineEdit* edFName;
    QLineEdit* edUserNameTaxis;
    QLineEdit* edPasswordTaxis;
    QPushButton* btSave;
    QPushButton* btClose;
    QPushButton* btClearEdits;
    QToolButton* Image2;

    void edAFMExit();
    void btSaveClick();
    void btClearEditsClick();
    void Image2Click();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    std::filesystem::path tablesDir() const;

    std::filesystem::path workDir_;
    DesktopServices desktop_;
    QList<QWidget*> tabOrder_;
};

}  // namespace skartina
