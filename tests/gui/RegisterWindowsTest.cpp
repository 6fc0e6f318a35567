#include "gui/MainWindow.h"
#include "registry/TaxpayerRecord.h"
#include "gui/ClientEntryWindow.h"
#include "gui/ClientListWindow.h"
#include "gui/AnalysisListWindow.h"
#include "gui/AfmEdit.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "gui/AnalysisWindow.h"
#include "support/GuiTestSupport.h"

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
using test::TempDir;

struct RegisterFixture {
    RegisterFixture() { std::filesystem::create_directory(tables); }
    TempDir dir;
    std::filesystem::path tables = dir.path() / "Tables";
    FakeDesktop desktop;

    void record(const std::string& afm, const std::string& surname, const std::string& first = "ΓΙΩΡΓΟΣ") {
        WriteTaxpayerRecord(tables / (afm + ".cst"), {afm, surname, first, "ΝΙΚΟΛΑΟΣ", "user" + afm, "pw" + afm});
    }
    void analysis(const std::string& afm, int firstYear = 2003) {
        YearSelection years;
        for (int y = kOldestBoxYear; y <= kNewestYear; ++y) years.setTicked(y, y >= firstYear);
        SheetGrid grid;
        BuildSheetLayout(grid, years);
        grid.setCell(TaxpayerColumnOf(2019), Row::TaxedIncome, "4.321,00");
        SaveGridToFile(grid, AnalysisFilePath(tables, afm, "2021"));
    }
};

QStringList Column(QTableWidget* grid, int column) {
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r) cells << grid->item(r, column)->text();
    return cells;
}

// Chooses the row with this tax number in the list about to open.
void ChooseInNextList(const QString& afm) {
    test::OnNextModal([afm](QWidget* modal) {
        auto* list = qobject_cast<PickListWindow*>(modal);
        ASSERT_NE(list, nullptr);
        const auto& rows = list->rows();
        for (size_t r = 0; r < rows.size(); ++r)
            for (const auto& cell : rows[r])
                if (QString::fromStdString(cell) == afm) list->grid->setCurrentCell(static_cast<int>(r), 0);
        list->tbOpen->click();
    });
}

TEST(EntryWindow, CreateSaveReopenFromTheListAndOverwrite) {
    RegisterFixture f;
    ClientEntryWindow window(f.dir.path(), f.desktop.services());
    window.btSaveClick();  // no tax number: told, nothing written
    EXPECT_EQ(f.desktop.prompter.informed, std::vector<std::string>{kMissingAfmMessage});

    window.edAFM->setText("123456783");
    window.edBigName->setText("ΠΑΠΑΔΟΠΟΥΛΟΣ");
    window.edName->setText("ΓΙΩΡΓΟΣ");
    window.edUserNameTaxis->setText("gpap");
    window.edPasswordTaxis->setText("s3cret;#@1");
    window.btSaveClick();
    EXPECT_TRUE(f.desktop.prompter.asked.empty());  // a new client is saved without a question
    EXPECT_EQ(ReadTaxpayerRecord(f.tables / "123456783.cst").portalPassword, "s3cret;#@1");

    window.btClearEditsClick();
    EXPECT_TRUE(window.edBigName->text().isEmpty());
    ChooseInNextList("123456783");
    window.Image2Click();
    EXPECT_EQ(window.edAFM->text(), "123456783");
    EXPECT_EQ(window.edBigName->text(), "ΠΑΠΑΔΟΠΟΥΛΟΣ");
    EXPECT_EQ(window.edUserNameTaxis->text(), "gpap");

    const std::string before = test::ReadBytes(f.tables / "123456783.cst");
    window.edFName->setText("ΙΩΑΝΝΗΣ");
    f.desktop.prompter = test::ScriptedPrompter(false);
    window.btSaveClick();
    EXPECT_EQ(f.desktop.prompter.asked, std::vector<std::string>{kOverwriteRecordQuestion});
    EXPECT_EQ(test::ReadBytes(f.tables / "123456783.cst"), before);
    f.desktop.prompter = test::ScriptedPrompter(true);
    window.btSaveClick();
    EXPECT_EQ(ReadTaxpayerRecord(f.tables / "123456783.cst").fatherName, "ΙΩΑΝΝΗΣ");
}

TEST(EntryWindow, LeavingAnUnknownTaxNumberKeepsTheOtherFields) {
    RegisterFixture f;
    ClientEntryWindow window(f.dir.path(), f.desktop.services());
    window.edBigName->setText("ΝΕΟΣ");
    window.edAFM->setText("090000045");
    window.edAFMExit();
    EXPECT_EQ(window.edBigName->text(), "ΝΕΟΣ");
    window.edAFM->setText("../../etc/passwd");  // never a file outside the data folder
    window.btSaveClick();
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
    EXPECT_EQ(list.grid->objectName(), "sgCustomers");
    EXPECT_EQ(Column(list.grid, 0), (QStringList{"α", "Β", "Γ"}));

    list.rbAfm->click();
    EXPECT_EQ(Column(list.grid, 3), (QStringList{"123456783", "129999990", "300000004"}));
    QTest::keyClicks(list.grid, "1");
    QTest::keyClicks(list.grid, "2");
    EXPECT_EQ(list.edFastEdit->text(), "12");
    EXPECT_EQ(list.grid->currentRow(), 0);
    QTest::keyClicks(list.grid, "9");
    EXPECT_EQ(list.grid->currentRow(), 1);  // 129... sorts after 129
    QTest::keyClick(list.grid, Qt::Key_Backspace);
    EXPECT_TRUE(list.edFastEdit->text().isEmpty());
    QTest::keyClicks(list.grid, "5");
    EXPECT_EQ(list.grid->currentRow(), 2);  // nothing begins with 5 or sorts after it: the last row
    QKeyEvent omicronTonos(QEvent::KeyPress, 0, Qt::NoModifier, "ό");  // code 252 in the code page: not taken
    QApplication::sendEvent(list.grid, &omicronTonos);
    EXPECT_EQ(list.edFastEdit->text(), "5");
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
    ASSERT_EQ(QApplication::focusWidget(), list.grid);
    // Typed where the keyboard is, with nothing clicked first.
    for (const QChar letter : QString("Πα")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, letter);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    EXPECT_EQ(list.edFastEdit->text(), "Πα");
    EXPECT_EQ(list.grid->item(list.grid->currentRow(), 0)->text(), "Παπαδόπουλος");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(list.result(), QDialog::Accepted);
    EXPECT_EQ(list.chosenAfm(), "300000004");
}

TEST(AnalysisList, OpensWithTheKeyboardOnTheRows) {
    RegisterFixture f;
    f.analysis("123456783");
    AnalysisListWindow list(f.tables, "2021", LoadAnalyses(f.tables, "2021").rows, f.desktop.services());
    list.show();
    QApplication::setActiveWindow(&list);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), list.grid);
}

TEST(ClientList, DeletingAClientKeepsItsAnalysesWithEmptyNames) {
    RegisterFixture f;
    f.record("123456783", "ΠΑΠΑΣ");
    f.analysis("123456783");
    ClientListWindow list(f.tables, LoadCustomers(f.tables).rows, f.desktop.services());
    list.tbDeleteClick();
    EXPECT_EQ(list.result(), QDialog::Rejected);
    ASSERT_EQ(f.desktop.prompter.asked.size(), 1u);
    EXPECT_EQ(f.desktop.prompter.asked[0], "Προσοχή !!. Να γίνει η διαγραφή της Δήλωσης του ΠΑΠΑΣ με ΑΦΜ 123456783");
    EXPECT_FALSE(std::filesystem::exists(f.tables / "123456783.cst"));

    EXPECT_EQ(ChooseTaxpayer(f.tables, f.desktop.services(), nullptr), std::nullopt);
    EXPECT_EQ(f.desktop.prompter.informed.back(), "Δεν υπάρχει καταχωρημένος κανένας πελάτης.");
    AnalysisListWindow analyses(f.tables, "2021", LoadAnalyses(f.tables, "2021").rows, f.desktop.services());
    ASSERT_EQ(analyses.grid->rowCount(), 1);
    EXPECT_EQ(analyses.grid->item(0, 0)->text(), "");
    EXPECT_EQ(analyses.grid->item(0, 2)->text(), "123456783");
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
        shown = Column(list->grid, 3);
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

TEST(AnalysisWindowLists, ChoosingAClientFillsTheFieldsAndLoadsOrResets) {
    RegisterFixture f;
    f.record("123456783", "ΠΑΠΑΣ", "ΓΙΩΡΓΟΣ");
    f.record("300000004", "ΒΕΡΓΟΣ", "");
    f.analysis("123456783", 2011);
    AnalysisWindow window(f.dir.path(), f.desktop.services());

    ChooseInNextList("123456783");
    window.AddCustClick();
    EXPECT_EQ(window.edAFM->text(), "123456783");
    EXPECT_EQ(window.edBigName->text(), "ΠΑΠΑΣ ΓΙΩΡΓΟΣ");
    EXPECT_EQ(window.edUserName->text(), "user123456783");
    EXPECT_EQ(window.edPassword->text(), "pw123456783");
    EXPECT_EQ(window.sheet().columnCount(), 21);  // 2011 to 2020 as saved
    EXPECT_TRUE(window.yearBoxes.at(2003)->isChecked());  // boxes beyond the loaded columns stay ticked
    EXPECT_EQ(window.sheet().cell(TaxpayerColumnOf(2019), Row::TaxedIncome), "4.321,00");

    ChooseInNextList("300000004");
    window.AddCustClick();
    EXPECT_EQ(window.edBigName->text(), "ΒΕΡΓΟΣ ");
    EXPECT_EQ(window.sheet().columnCount(), 13);  // no saved analysis: reset to 2015 to 2020
    EXPECT_EQ(window.sheet().cell(TaxpayerColumnOf(2019), Row::TaxedIncome), "");

    ChooseInNextList("123456783");
    window.imOpenClick();
    EXPECT_EQ(window.edAFM->text(), "123456783");
    EXPECT_EQ(window.sheet().cell(TaxpayerColumnOf(2019), Row::TaxedIncome), "4.321,00");
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
            loadedName = window->edBigName->text();
            window->reject();
        });
        list->accept();
    });
    main.miCustomerList->trigger();
    EXPECT_EQ(loadedName, "ΠΑΠΑΣ");

    std::filesystem::remove(f.tables / "123456783.cst");
    main.miCustomerList->trigger();  // empty: the message and no window
    EXPECT_EQ(f.desktop.prompter.informed.back(), "Δεν υπάρχει καταχωρημένος κανένας πελάτης.");
}

}  // namespace
}  // namespace skartina
