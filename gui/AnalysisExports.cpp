// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's exports and printing: the sheet as CSV, workbook or
// PDF beside the analysis file, and its printed pages on a printer or in a file.

#include "gui/AnalysisWindow.h"

#include "common/ClientFiles.h"
#include "gui/TaxNumberEdit.h"
#include "gui/SheetPrinting.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/ExportTitles.h"
#include "sheet/SheetPdf.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <QCheckBox>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skartina {

void AnalysisWindow::exportAndOpen(const char* extension, const SheetExport& write) {
    CommitOpenEdit();
    // The file is named by the field's tax number: never another client's sheet under it.
    if (!sheetIsTheFieldsClients()) return;
    std::filesystem::path file;
    const bool written = attempt([&] {
        auto path = CsvExportPath(tablesDir(), taxNumberEdit_->text().toStdString(), workYear().toStdString());
        path.replace_extension(extension);
        write(sheet_, path, nameEdit_->text().toStdString(), taxNumberEdit_->text().toStdString());
        file = std::filesystem::absolute(path);
    });
    if (written) TellWrittenFile(desktop_, file);
}

void AnalysisWindow::onExportCsvClicked() {
    exportAndOpen(".csv", [](const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                             const std::string& taxNumber) { ExportToCsv(sheet, file, name, taxNumber); });
}

void AnalysisWindow::onExportExcelClicked() {
    exportAndOpen(".xlsx", [this](const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                                  const std::string& taxNumber) { ExportToExcel(sheet, file, name, taxNumber, chartBox_->isChecked()); });
}

void AnalysisWindow::onSavePdfTriggered() {
    exportAndOpen(".pdf", [this](const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                                 const std::string& taxNumber) { ExportToPdf(sheet, file, name, taxNumber, chartBox_->isChecked()); });
}

QString AnalysisWindow::defaultPrintFile() const {
    // The client's number and name, in the client folder; characters a file name cannot hold become blanks.
    std::string name = taxNumberEdit_->text().trimmed().toStdString();
    const std::string person = nameEdit_->text().simplified().toStdString();
    if (!person.empty()) name += (name.empty() ? "" : " ") + person;
    for (char& c : name)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = ' ';
    while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.erase(name.begin());
    if (name.empty()) name = "Ανάλωση κεφαλαίου";
    return QString::fromStdString((std::filesystem::absolute(tablesDir()) / (name + ".pdf")).string());
}

void AnalysisWindow::onPrintTriggered() {
    CommitOpenEdit();
    // The pages and the file offered carry the field's tax number: the sheet must be that client's.
    if (!sheetIsTheFieldsClients()) return;
    std::vector<PrintPage> pages;
    if (!attempt([&] { pages = printPages(); })) return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinterForPages(printer);
    const QString defaultFile = defaultPrintFile();
    printer.setDocName(QFileInfo(defaultFile).completeBaseName());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(pages.size()));
    // Qt's own dialog offers the program's folder and one name for every client;
    // its file field (the only one it names "filename") takes the client's file instead.
    const auto offerFile = [&dialog, defaultFile] {
        if (auto* field = dialog.findChild<QLineEdit*>("filename")) field->setText(defaultFile);
    };
    offerFile();
    QTimer::singleShot(0, &dialog, offerFile);
    if (dialog.exec() != QDialog::Accepted) return;
    printOn(printer, pages);
}

std::vector<PrintPage> AnalysisWindow::printPages() const {
    return SheetPrintPages(sheet_, nameEdit_->text().toStdString(), taxNumberEdit_->text().toStdString(),
                           PrintDateText(std::chrono::system_clock::now()), chartBox_->isChecked());
}

bool AnalysisWindow::printTo(QPrinter& printer) {
    std::vector<PrintPage> pages;
    if (!attempt([&] { pages = printPages(); })) return false;
    return printOn(printer, pages);
}

bool AnalysisWindow::printOn(QPrinter& printer, const std::vector<PrintPage>& pages) {
    const std::filesystem::path file = printer.outputFileName().toStdString();
    // A file printed to is the client's pages: the owner's alone before a byte is written.
    // (A file that cannot be made is the printer's failure, told below.)
    const auto ownerOnly = [&file] {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) return;
        ::fchmod(fd, 0600);
        ::close(fd);
    };
    std::error_code ec;
    const bool made = !file.empty() && !std::filesystem::exists(std::filesystem::symlink_status(file, ec));
    if (!file.empty()) ownerOnly();
    if (!PaintPrintPages(printer, pages)) {
        // No empty or half-written file is left where the user expects the pages.
        if (made) std::filesystem::remove(file, ec);
        desktop_.prompter->inform("Η εκτύπωση του πίνακα δεν έγινε: ο εκτυπωτής δεν δέχτηκε τις σελίδες.");
        return false;
    }
    if (!file.empty()) {
        ownerOnly();
        TellWrittenFile(desktop_, file);
    }
    return true;
}

}  // namespace skartina
