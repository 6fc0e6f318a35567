// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MainWindow.h"
#include "startup/DataFolder.h"
#include "registry/TaxpayerRecord.h"
#include "gui/ClientEntryWindow.h"
#include "gui/ClientListWindow.h"
#include "gui/AnalysisListWindow.h"
#include "gui/TaxNumberEdit.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "gui/AnalysisWindow.h"
#include "support/GuiTestSupport.h"
#include "support/SheetGridForms.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::FakeHttp;
using test::Find;
using test::TempDir;
using test::YearBoxName;

struct RegisterFixture {
    RegisterFixture() { std::filesystem::create_directory(tables); }
    TempDir dir;
    std::filesystem::path tables = dir.path() / "Tables";
    FakeDesktop desktop;

    void record(const std::string& taxNumber, const std::string& surname, const std::string& first = "ΓΙΩΡΓΟΣ") {
        WriteTaxpayerRecord(tables / (taxNumber + ".cst"), {taxNumber, surname, first, "ΝΙΚΟΛΑΟΣ", "user" + taxNumber, "pw" + taxNumber});
    }
    void analysis(const std::string& taxNumber, int firstYear = 2003) {
        YearSelection years;
        for (int y = kOldestBoxYear; y <= kNewestYear; ++y) years.setTicked(y, y >= firstYear);
        SheetGrid grid;
        BuildSheetLayout(grid, years);
        grid.setCell(TaxpayerColumnOf(2019), Row::TaxedIncome, "4.321,00");
        SaveGridToFile(grid, AnalysisFilePath(tables, taxNumber, "2021"));
    }
};

QStringList Column(QTableWidget* grid, int column) {
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r) cells << grid->item(r, column)->text();
    return cells;
}

// The list's one grid of records, whatever its name.
QTableWidget* RowsOf(const PickListWindow& list) { return Find<QTableWidget>(list, QString()); }

// Chooses the row with this tax number in the list about to open.
void ChooseInNextList(const QString& taxNumber) {
    test::OnNextModal([taxNumber](QWidget* modal) {
        auto* list = qobject_cast<PickListWindow*>(modal);
        ASSERT_NE(list, nullptr);
        const auto& rows = list->rows();
        for (size_t r = 0; r < rows.size(); ++r)
            for (const auto& cell : rows[r])
                if (QString::fromStdString(cell) == taxNumber) RowsOf(*list)->setCurrentCell(static_cast<int>(r), 0);
        Find<QToolButton>(*list, "openButton")->click();
    });
}

TEST(EntryWindow, CreateSaveReopenFromTheListAndOverwrite) {
    RegisterFixture f;
    ClientEntryWindow window(f.dir.path(), f.desktop.services());
    window.onSaveClicked();  // no tax number: told, nothing written
    EXPECT_EQ(f.desktop.prompter.informed, std::vector<std::string>{kMissingTaxNumberMessage});

    Find<TaxNumberEdit>(window, "taxNumberEdit")->setText("123456783");
    Find<QLineEdit>(window, "surnameEdit")->setText("ΠΑΠΑΔΟΠΟΥΛΟΣ");
    Find<QLineEdit>(window, "firstNameEdit")->setText("ΓΙΩΡΓΟΣ");
    Find<QLineEdit>(window, "portalUserEdit")->setText("gpap");
    Find<QLineEdit>(window, "portalPasswordEdit")->setText("s3cret;#@1");
    window.onSaveClicked();
    EXPECT_TRUE(f.desktop.prompter.asked.empty());  // a new client is saved without a question
    EXPECT_EQ(ReadTaxpayerRecord(f.tables / "123456783.cst").portalPassword, "s3cret;#@1");

    window.onClearClicked();
    EXPECT_TRUE(Find<QLineEdit>(window, "surnameEdit")->text().isEmpty());
    ChooseInNextList("123456783");
    window.onChooseClientClicked();
    EXPECT_EQ(Find<TaxNumberEdit>(window, "taxNumberEdit")->text(), "123456783");
    EXPECT_EQ(Find<QLineEdit>(window, "surnameEdit")->text(), "ΠΑΠΑΔΟΠΟΥΛΟΣ");
    EXPECT_EQ(Find<QLineEdit>(window, "portalUserEdit")->text(), "gpap");

    const std::string before = test::ReadBytes(f.tables / "123456783.cst");
    Find<QLineEdit>(window, "fatherNameEdit")->setText("ΙΩΑΝΝΗΣ");
    f.desktop.prompter = test::ScriptedPrompter(false);
    window.onSaveClicked();
    EXPECT_EQ(f.desktop.prompter.asked, std::vector<std::string>{kOverwriteRecordQuestion});
    EXPECT_EQ(test::ReadBytes(f.tables / "123456783.cst"), before);
    f.desktop.prompter = test::ScriptedPrompter(true);
    window.onSaveClicked();
    EXPECT_EQ(ReadTaxpayerRecord(f.tables / "123456783.cst").fatherName, "ΙΩΑΝΝΗΣ");
}

TEST(EntryWindow, LeavingAnUnknownTaxNumberKeepsTheOtherFields) {
    RegisterFixture f;
    ClientEntryWindow window(f.dir.path(), f.desktop.services());
    Find<QLineEdit>(window, "surnameEdit")->setText("ΝΕΟΣ");
    Find<TaxNumberEdit>(window, "taxNumberEdit")->setText("090000045");
    window.onTaxNumberLeft();
    EXPECT_EQ(Find<QLineEdit>(window, "surnameEdit")->text(), "ΝΕΟΣ");
    Find<TaxNumberEdit>(window, "taxNumberEdit")->setText("../../etc/passwd");  // never a file outside the data folder
    window.onSaveClicked();
    ASSERT_EQ(f.desktop.prompter.informed.size(), 1u);
    EXPECT_EQ(test::FolderNames(f.tables), std::vector<std::string>{});
}

TEST(ClientList, SortsGreekCaseInsensitivelyAndSearchesAsYouType) {
    RegisterFixture f;
    f.record("300000004", "Β");
    f.record("123456783", "α");
    f.record("129999990", "Γ");
    ClientListWindow list(f.tables, LoadCustomers(f.tables).rows, f.desktop.services());
    EXPECT_EQ(list.windowTitle(), "Κατάλογος Δηλώσεων");
    EXPECT_EQ(RowsOf(list)->objectName(), "rowsTable");
    EXPECT_EQ(Column(RowsOf(list), 0), (QStringList{"α", "Β", "Γ"}));

    Find<QRadioButton>(list, "sortByTaxNumberButton")->click();
    EXPECT_EQ(Column(RowsOf(list), 3), (QStringList{"123456783", "129999990", "300000004"}));
    QTest::keyClicks(RowsOf(list), "1");
    QTest::keyClicks(RowsOf(list), "2");
    EXPECT_EQ(Find<QLineEdit>(list, "searchEdit")->text(), "12");
    EXPECT_EQ(RowsOf(list)->currentRow(), 0);
    QTest::keyClicks(RowsOf(list), "9");
    EXPECT_EQ(RowsOf(list)->currentRow(), 1);  // 129... sorts after 129
    QTest::keyClick(RowsOf(list), Qt::Key_Backspace);
    EXPECT_TRUE(Find<QLineEdit>(list, "searchEdit")->text().isEmpty());
    QTest::keyClicks(RowsOf(list), "5");
    EXPECT_EQ(RowsOf(list)->currentRow(), 2);  // nothing begins with 5 or sorts after it: the last row
    QKeyEvent omicronTonos(QEvent::KeyPress, 0, Qt::NoModifier, "ό");  // code 252 in the code page: not taken
    QApplication::sendEvent(RowsOf(list), &omicronTonos);
    EXPECT_EQ(Find<QLineEdit>(list, "searchEdit")->text(), "5");
}

TEST(ClientList, OpensWithTheKeyboardOnTheRowsAndTypedLettersFollowTheSort) {
    RegisterFixture f;
    f.record("300000004", "Παπαδόπουλος");
    f.record("123456783", "αβραμίδης");
    f.record("129999990", "Ζαχαρίου");
    f.record("200000006", "Ρήγας");
    ClientListWindow list(f.tables, LoadCustomers(f.tables).rows, f.desktop.services());
    list.show();
    QApplication::setActiveWindow(&list);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), RowsOf(list));
    // Typed where the keyboard is, with nothing clicked first.
    for (const QChar letter : QString("Πα")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, letter);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    EXPECT_EQ(Find<QLineEdit>(list, "searchEdit")->text(), "Πα");
    EXPECT_EQ(RowsOf(list)->item(RowsOf(list)->currentRow(), 0)->text(), "Παπαδόπουλος");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(list.result(), QDialog::Accepted);
    EXPECT_EQ(list.chosenTaxNumber(), "300000004");
}

TEST(AnalysisList, OpensWithTheKeyboardOnTheRows) {
    RegisterFixture f;
    f.analysis("123456783");
    AnalysisListWindow list(f.tables, "2021", LoadAnalyses(f.tables, "2021").rows, f.desktop.services());
    list.show();
    QApplication::setActiveWindow(&list);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), RowsOf(list));
}

TEST(ClientList, DeletingAClientKeepsItsAnalysesWithEmptyNames) {
    RegisterFixture f;
    f.record("123456783", "ΠΑΠΑΣ");
    f.analysis("123456783");
    ClientListWindow list(f.tables, LoadCustomers(f.tables).rows, f.desktop.services());
    list.onDeleteClicked();
    EXPECT_EQ(list.result(), QDialog::Rejected);
    ASSERT_EQ(f.desktop.prompter.asked.size(), 1u);
    EXPECT_EQ(f.desktop.prompter.asked[0], "Προσοχή !!. Να γίνει η διαγραφή της Δήλωσης του ΠΑΠΑΣ με ΑΦΜ 123456783");
    EXPECT_FALSE(std::filesystem::exists(f.tables / "123456783.cst"));

    EXPECT_EQ(ChooseTaxpayer(f.tables, f.desktop.services(), nullptr), std::nullopt);
    EXPECT_EQ(f.desktop.prompter.informed.back(), "Δεν υπάρχει καταχωρημένος κανένας πελάτης.");
    AnalysisListWindow analyses(f.tables, "2021", LoadAnalyses(f.tables, "2021").rows, f.desktop.services());
    ASSERT_EQ(RowsOf(analyses)->rowCount(), 1);
    EXPECT_EQ(RowsOf(analyses)->item(0, 0)->text(), "");
    EXPECT_EQ(RowsOf(analyses)->item(0, 2)->text(), "123456783");
}

TEST(ClientList, ShowsEveryGoodRecordAfterTheSentenceNamingTheOthers) {
    RegisterFixture f;
    f.record("123456783", "ΠΑΠΑΣ");
    ASSERT_EQ(::mkfifo((f.tables / "200000000.cst").c_str(), 0600), 0);
    std::filesystem::create_symlink(f.tables / "123456783.cst", f.tables / "300000000.cst");
    QStringList shown;
    test::OnNextModal([&](QWidget* modal) {
        auto* list = qobject_cast<ClientListWindow*>(modal);
        ASSERT_NE(list, nullptr);
        shown = Column(RowsOf(*list), 3);
        list->reject();
    });
    EXPECT_EQ(ChooseTaxpayer(f.tables, f.desktop.services(), nullptr), std::nullopt);
    EXPECT_EQ(shown, QStringList{"123456783"});
    ASSERT_EQ(f.desktop.prompter.informed.size(), 1u);
    const std::string& sentence = f.desktop.prompter.informed[0];
    EXPECT_NE(sentence.find("«200000000.cst»"), std::string::npos) << sentence;
    EXPECT_NE(sentence.find("«300000000.cst»"), std::string::npos) << sentence;

    // Only bad entries: the sentence, then the empty list's message.
    std::filesystem::remove(f.tables / "123456783.cst");
    f.desktop.prompter.informed.clear();
    EXPECT_EQ(ChooseTaxpayer(f.tables, f.desktop.services(), nullptr), std::nullopt);
    ASSERT_EQ(f.desktop.prompter.informed.size(), 2u);
    EXPECT_EQ(f.desktop.prompter.informed[1], "Δεν υπάρχει καταχωρημένος κανένας πελάτης.");
}

// The command-line companion and the window, given one data folder, keep one register.
TEST(ClientList, TheWindowSeesTheClientsTheCommandLineBroughtIntoTheSameDataFolder) {
    test::TempDir dir;
    const std::filesystem::path office = dir / "office";
    test::WriteBytes(dir / "list.csv", "ΑΦΜ;Επώνυμο\n123456783;ΠΑΠΑΣ\n");
    const std::string command = "cd " + (dir / "").string() + " && HOME=" + dir.path().string() + " " + SKARTINA_CLI +
                                " --data-dir office import-clients list.csv >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);

    // The window's own choice for "--data-dir office" started in the same folder.
    const DataFolderChoice choice = ChooseDataFolder({"office", dir.path(), dir.path()});
    ASSERT_EQ(choice.folder, office);
    test::FakeDesktop desktop;
    const auto http = MakeCurlHttpClient();
    MainWindow main(choice.folder, desktop.services(), *http);
    QStringList shown;
    test::OnNextModal([&](QWidget* modal) {
        auto* list = qobject_cast<ClientListWindow*>(modal);
        ASSERT_NE(list, nullptr);
        shown = Column(RowsOf(*list), 3);
        list->reject();
    });
    Find<QAction>(main, "clientListAction")->trigger();
    EXPECT_EQ(shown, QStringList{"123456783"});
}

TEST(AnalysisWindowLists, ChoosingAClientFillsTheFieldsAndLoadsOrResets) {
    RegisterFixture f;
    f.record("123456783", "ΠΑΠΑΣ", "ΓΙΩΡΓΟΣ");
    f.record("300000004", "ΒΕΡΓΟΣ", "");
    f.analysis("123456783", 2011);
    AnalysisWindow window(f.dir.path(), f.desktop.services());

    ChooseInNextList("123456783");
    window.onChooseClientClicked();
    EXPECT_EQ(Find<TaxNumberEdit>(window, "taxNumberEdit")->text(), "123456783");
    EXPECT_EQ(Find<QLineEdit>(window, "nameEdit")->text(), "ΠΑΠΑΣ ΓΙΩΡΓΟΣ");
    EXPECT_EQ(Find<QLineEdit>(window, "portalUserEdit")->text(), "user123456783");
    EXPECT_EQ(Find<QLineEdit>(window, "portalPasswordEdit")->text(), "pw123456783");
    EXPECT_EQ(window.sheet().columnCount(), 21);  // 2011 to 2020 as saved
    EXPECT_TRUE(Find<QCheckBox>(window, YearBoxName(2003))->isChecked());  // boxes beyond the loaded columns stay ticked
    EXPECT_EQ(CellText(window.sheet(), TaxpayerColumnOf(2019), Row::TaxedIncome), "4.321,00");

    ChooseInNextList("300000004");
    window.onChooseClientClicked();
    EXPECT_EQ(Find<QLineEdit>(window, "nameEdit")->text(), "ΒΕΡΓΟΣ ");
    EXPECT_EQ(window.sheet().columnCount(), 37);  // no saved analysis: the sheet of a new window
    EXPECT_EQ(window.sheet(), AnalysisWindow(f.dir.path(), f.desktop.services()).sheet());
    EXPECT_EQ(CellText(window.sheet(), TaxpayerColumnOf(2019), Row::TaxedIncome), "");

    ChooseInNextList("123456783");
    window.onOpenClicked();
    EXPECT_EQ(Find<TaxNumberEdit>(window, "taxNumberEdit")->text(), "123456783");
    EXPECT_EQ(CellText(window.sheet(), TaxpayerColumnOf(2019), Row::TaxedIncome), "4.321,00");
}

TEST(MainWindowLists, ClientListOpensTheChosenClientInTheEntryWindow) {
    RegisterFixture f;
    f.record("123456783", "ΠΑΠΑΣ");
    FakeHttp http;
    MainWindow main(f.dir.path(), f.desktop.services(), http);
    QString loadedName;
    test::OnNextModal([&](QWidget* modal) {
        auto* list = qobject_cast<ClientListWindow*>(modal);
        ASSERT_NE(list, nullptr);
        test::OnNextModal([&](QWidget* entry) {
            auto* window = qobject_cast<ClientEntryWindow*>(entry);
            ASSERT_NE(window, nullptr);
            loadedName = Find<QLineEdit>(*window, "surnameEdit")->text();
            window->reject();
        });
        list->accept();
    });
    Find<QAction>(main, "clientListAction")->trigger();
    EXPECT_EQ(loadedName, "ΠΑΠΑΣ");

    std::filesystem::remove(f.tables / "123456783.cst");
    Find<QAction>(main, "clientListAction")->trigger();  // empty: the message and no window
    EXPECT_EQ(f.desktop.prompter.informed.back(), "Δεν υπάρχει καταχωρημένος κανένας πελάτης.");
}

}  // namespace
}  // namespace skartina
