// SPDX-License-Identifier: GPL-3.0-or-later
// skartina-screens OUTDIR: builds each window with sample data on the
// offscreen platform and saves a PNG of it, so the windows can be looked at
// without a desktop; and the first and last printed page of a 53-column sheet,
// rendered from its PDF file.

#include "gui/Application.h"
#include "gui/DesktopServices.h"
#include "gui/AboutWindow.h"
#include "gui/MainWindow.h"
#include "gui/StatusPanels.h"
#include "gui/VersionCheckWindow.h"
#include "gui/CheckProgressWindow.h"
#include "gui/InfoWindow.h"
#include "common/HttpClient.h"
#include "sheet/MarriedMarks.h"
#include "sheet/SheetRows.h"
#include "gui/SheetView.h"
#include "gui/AnalysisWindow.h"
#include "registry/ClientLists.h"
#include "registry/TaxpayerRecord.h"
#include "gui/ClientEntryWindow.h"
#include "gui/ClientListWindow.h"
#include "gui/AnalysisListWindow.h"
#include "gui/TaxNumberEdit.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Amount.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetPdf.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include <poppler-document.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

using namespace skartina;

class SilentPrompter : public Prompter {
public:
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return true; }
    Answer ask(const std::string&) override { return Answer::No; }
};

// The information page, as the product web host would send it.
class SamplePage : public HttpClient {
public:
    HttpResponse get(const std::string&, const HttpOptions&) override {
        return {200, "<h2>ΣΚΑΡΤΙΝΑ 2021</h2><p>Νέα της έκδοσης: πίνακας ανάλωσης κεφαλαίου 2020.</p>"};
    }
};

// A window's control by its role name, its objectName.
template <typename T>
T* Control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(name);
    if (!found) {
        std::cerr << "skartina-screens: δεν βρέθηκε το " << name << "\n";
        std::exit(1);
    }
    return found;
}

bool Save(QWidget& window, const std::filesystem::path& dir, const char* name) {
    window.show();
    QApplication::processEvents();
    const auto file = dir / name;
    if (!window.grab().save(QString::fromStdString(file.string()))) {
        std::cerr << "skartina-screens: δεν γράφτηκε το " << file << "\n";
        return false;
    }
    std::cout << file.string() << "\n";
    return true;
}

// The printed pages of the sheet of 1995 to 2020, every year filled: the
// first and the last page, and the balance chart's page asked for besides,
// as a PDF viewer shows them at 100 dpi.
bool SavePrintedPages(const std::filesystem::path& dir) {
    YearSelection years;
    for (int y = kOldestBoxYear; y <= kNewestYear; ++y) years.setTicked(y, true);
    years.setFirstYear(1995);
    Sheet sheet;
    BuildSheetLayout(sheet, years);
    const auto put = [&](int column, int row, double amount) { sheet.setAmount(column, row, MoneyFromDouble(amount).value()); };
    for (int c = 1; c < sheet.columnCount(); ++c) {
        const double growth = 1 + (c - 1) / 2 * 0.04;
        put(c, Row::TaxedIncome, (IsTaxpayerColumn(c) ? 24800.0 : 11350.0) / growth);
        if (c % 3 == 0) put(c, Row::HousePresumption, 3120.5 / growth);
        if (IsTaxpayerColumn(c)) put(c, Row::CarPresumption, 2950.0 / growth);
        if (c % 7 == 1) put(c, Row::RealEstatePurchase, 48000.0 / growth);
        if (c % 5 == 2) put(c, Row::DeclaredCapitalConsumption, 6000.0 / growth);
    }
    ToggleMarriedMark(sheet, SpouseColumnOf(2020));
    RecalculateSheet(sheet);
    const std::string pdf = PrintPagesPdf(
        SheetPrintPages(sheet, "ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ", "123456783", PrintDateText(std::chrono::system_clock::now()), true),
        "ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ");
    std::vector<char> data(pdf.begin(), pdf.end());
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_raw_data(data.data(), static_cast<int>(data.size())));
    if (!doc) return false;
    poppler::page_renderer renderer;
    renderer.set_render_hints(poppler::page_renderer::antialiasing | poppler::page_renderer::text_antialiasing);
    bool ok = true;
    const struct {
        int page;
        const char* name;
    } shots[] = {{0, "print-first-page.png"}, {doc->pages() - 2, "print-last-page.png"},
                 {doc->pages() - 1, "print-chart-page.png"}};
    for (const auto& shot : shots) {
        std::unique_ptr<poppler::page> page(doc->create_page(shot.page));
        const auto file = dir / shot.name;
        if (!page || !renderer.render_page(page.get(), 100, 100).save(file.string(), "png")) {
            std::cerr << "skartina-screens: δεν γράφτηκε το " << file << "\n";
            ok = false;
            continue;
        }
        std::cout << file.string() << "\n";
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "χρήση: skartina-screens OUTDIR\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication(app);
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "skartina-screens";
    std::filesystem::create_directories(work);

    SilentPrompter prompter;
    SamplePage page;
    const DesktopServices desktop{&prompter, [](const QString&) { return true; }};
    bool ok = true;

    MainWindow main(work, desktop, page);
    main.PrepareMainWindow();
    main.resize(1280, 800);
    ok &= Save(main, out, "main.png");

    AboutWindow about(work);
    ok &= Save(about, out, "about.png");

    InfoWindow pro(work, page);
    ok &= Save(pro, out, "information.png");

    VersionCheckWindow newVer(work, desktop, page);
    Control<StatusPanels>(newVer, "statusPanels")->setPanels("Παραλήφθησαν 1.050 Bytes", "από σύνολο 123.456 Bytes");
    ok &= Save(newVer, out, "version-check.png");
    CheckProgressWindow noConnection;
    noConnection.setDetails("Κατέβασμα των δεδομένων...");
    ok &= Save(noConnection, out, "version-check-progress.png");

    AnalysisWindow analysis(work, desktop);
    Control<TaxNumberEdit>(analysis, "taxNumberEdit")->setText("123456783");
    Control<QLineEdit>(analysis, "nameEdit")->setText("ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ");
    Sheet& sheet = analysis.sheet();
    const struct {
        int year, row;
        bool spouse;
        const char* amount;
    } samples[] = {
        {2020, Row::TaxedIncome, false, "18.250,40"}, {2020, Row::TaxedIncome, true, "9.100,00"},
        {2020, Row::CarPresumption, false, "2.300,00"}, {2020, Row::DeclaredCapitalConsumption, false, "3.000,00"},
        {2019, Row::TaxedIncome, false, "16.900,00"}, {2019, Row::HousePresumption, false, "4.210,50"},
        {2019, Row::VehiclePurchase, true, "12.000,00"}, {2018, Row::TaxedIncome, false, "15.000,00"},
        {2017, Row::TaxedIncome, false, "1.000,00"}, {2017, Row::DeclaredCapitalConsumption, false, "5.000,00"},
    };
    for (const auto& s : samples)
        SetCellText(sheet, s.spouse ? SpouseColumnOf(s.year) : TaxpayerColumnOf(s.year), s.row, s.amount);
    ToggleMarriedMark(sheet, SpouseColumnOf(2020));
    analysis.RecalculateSheet();
    ok &= Save(analysis, out, "analysis.png");
    // Scrolled to the oldest years: the captions stay in place.
    QScrollBar* const scroll = Control<SheetView>(analysis, "sheetView")->horizontalScrollBar();
    scroll->setValue(scroll->maximum());
    ok &= Save(analysis, out, "analysis-scrolled.png");
    scroll->setValue(0);

    // The same window after leaving a wrong tax number: the red look.
    Control<TaxNumberEdit>(analysis, "taxNumberEdit")->setText("123456784");
    Control<TaxNumberEdit>(analysis, "taxNumberEdit")->setFocus();
    QApplication::processEvents();
    Control<QLineEdit>(analysis, "nameEdit")->setFocus();
    QApplication::processEvents();
    ok &= Save(analysis, out, "analysis-bad-afm.png");

    // The register: three clients, two saved analyses.
    const auto tables = work / "Tables";
    std::filesystem::create_directories(tables);
    const TaxpayerRecord clients[] = {
        {"123456783", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΙΩΡΓΟΣ", "ΝΙΚΟΛΑΟΣ", "gpap", "secret"},
        {"090000045", "ΑΛΕΞΙΟΥ", "ΜΑΡΙΑ", "ΙΩΑΝΝΗΣ", "malex", "secret"},
        {"300000004", "βλαχου", "ελενη", "γεωργιος", "evlach", "secret"},
    };
    for (const auto& client : clients) WriteTaxpayerRecord(tables / (client.taxNumber + ".cst"), client);
    SaveSheetToFile(analysis.sheet(), tables / "123456783_2021.grd");
    SaveSheetToFile(analysis.sheet(), tables / "090000045_2021.grd");

    ClientEntryWindow entry(work, desktop);
    entry.loadClient("123456783");
    ok &= Save(entry, out, "entry.png");
    ClientListWindow clientList(tables, LoadCustomers(tables).rows, desktop);
    ok &= Save(clientList, out, "client-list.png");
    AnalysisListWindow analysisList(tables, "2021", LoadAnalyses(tables, "2021").rows, desktop);
    ok &= Save(analysisList, out, "analysis-list.png");
    ok &= SavePrintedPages(out);
    std::filesystem::remove_all(work);
    return ok ? 0 : 1;
}
