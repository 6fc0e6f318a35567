// skartina-screens OUTDIR: builds each window with sample data on the
// offscreen platform and saves a PNG of it, so the windows can be looked at
// without a desktop.

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
#include "gui/AfmEdit.h"
#include "sheet/AnalysisFile.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include <filesystem>
#include <iostream>

namespace {

using namespace skartina;

class SilentPrompter : public Prompter {
public:
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return true; }
};

// The information page, as the product web host would send it.
class SamplePage : public HttpClient {
public:
    HttpResponse get(const std::string&, const HttpOptions&) override {
        return {200, "<h2>ΣΚΑΡΤΙΝΑ 2021</h2><p>Νέα της έκδοσης: πίνακας ανάλωσης κεφαλαίου 2020.</p>"};
    }
};

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "χρήση: skartina-screens OUTDIR\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("ΣΚΑΡΤΙΝΑ 2021");
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

    AboutWindow about;
    ok &= Save(about, out, "about.png");

    InfoWindow pro(work, page);
    ok &= Save(pro, out, "information.png");

    VersionCheckWindow newVer(work, desktop, page);
    newVer.sbInfo->setPanels("Παραλήφθησαν 1.050 Bytes", "από σύνολο 123.456 Bytes");
    ok &= Save(newVer, out, "version-check.png");
    CheckProgressWindow noConnection;
    noConnection.lbDetails->setText("Κατέβασμα των δεδομένων...");
    ok &= Save(noConnection, out, "version-check-progress.png");

    AnalysisWindow analysis(work, desktop);
    analysis.edAFM->setText("123456789");
    analysis.edBigName->setText("ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ");
    SheetGrid& grid = analysis.sheet();
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
        grid.setCell(s.spouse ? SpouseColumnOf(s.year) : TaxpayerColumnOf(s.year), s.row, s.amount);
    ToggleMarriedMark(grid, SpouseColumnOf(2020));
    analysis.RecalculateSheet();
    ok &= Save(analysis, out, "analysis.png");
    // Scrolled to the oldest years: the captions stay in place.
    analysis.sgVelmora->horizontalScrollBar()->setValue(analysis.sgVelmora->horizontalScrollBar()->maximum());
    ok &= Save(analysis, out, "analysis-scrolled.png");
    analysis.sgVelmora->horizontalScrollBar()->setValue(0);

    // The same window after leaving a wrong tax number: the red look.
    analysis.edAFM->setText("123456784");
    analysis.edAFM->setFocus();
    QApplication::processEvents();
    analysis.edBigName->setFocus();
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
    for (const auto& client : clients) WriteTaxpayerRecord(tables / (client.afm + ".cst"), client);
    SaveGridToFile(analysis.sheet(), tables / "123456783_2021.grd");
    SaveGridToFile(analysis.sheet(), tables / "090000045_2021.grd");

    ClientEntryWindow entry(work, desktop);
    entry.edAFM->setText("123456783");
    entry.edAFMExit();
    ok &= Save(entry, out, "entry.png");
    ClientListWindow clientList(tables, LoadCustomers(tables).rows, desktop);
    ok &= Save(clientList, out, "client-list.png");
    AnalysisListWindow analysisList(tables, "2021", LoadAnalyses(tables, "2021").rows, desktop);
    ok &= Save(analysisList, out, "analysis-list.png");
    std::filesystem::remove_all(work);
    return ok ? 0 : 1;
}
