// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop shows around the windows: Qt's own texts in Greek, the
// captions exactly as given, the report of a file no program could open.

#include "gui/AboutWindow.h"
#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/Application.h"
#include "gui/ClientEntryWindow.h"
#include "gui/DesktopServices.h"
#include "gui/MainWindow.h"
#include "startup/ProductInfo.h"
#include "support/GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::Find;
using test::TempDir;

TEST(DesktopTexts, MessageBoxButtonsAreGreek) {
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } cases[] = {{QMessageBox::Yes, "Ναι"}, {QMessageBox::No, "Όχι"}, {QMessageBox::Cancel, "Άκυρο"},
                 {QMessageBox::Ok, "Εντάξει"}};
    QMessageBox box(QMessageBox::Question, kAppTitle, "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    for (const auto& c : cases) {
        ASSERT_NE(box.button(c.button), nullptr);
        EXPECT_EQ(box.button(c.button)->text().remove('&'), QString::fromUtf8(c.text));
    }
}

TEST(DesktopTexts, TheEditFieldsContextMenuIsGreek) {
    QLineEdit field;
    field.setText("123");
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    for (QAction* action : menu->actions())
        if (!action->isSeparator()) texts << action->text().remove('&').section('\t', 0, 0);
    EXPECT_EQ(texts, (QStringList{"Αναίρεση", "Ακύρωση αναίρεσης", "Αποκοπή", "Αντιγραφή", "Επικόλληση", "Διαγραφή",
                                  "Επιλογή όλων"}));
}

// The print dialog with its options shown: no text of Qt's in English.
TEST(DesktopTexts, ThePrintDialogIsGreek) {
    QPrinter printer;
    QPrintDialog dialog(&printer);
    dialog.show();
    QApplication::processEvents();
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text().contains("Options")) button->click();  // "Options >>" opens the rest
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "Εκτύπωση");
    QStringList texts;
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) texts << b->text();
    for (QLabel* l : dialog.findChildren<QLabel*>()) texts << l->text();
    for (QGroupBox* g : dialog.findChildren<QGroupBox*>()) texts << g->title();
    for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
    const QRegularExpression latinWord("[A-Za-z]{3,}");
    QStringList english;
    for (const QString& text : texts) {
        const QString bare = QString(text).remove('&');
        // Printer and file names are the system's; "PDF" is a name too.
        if (bare.contains(latinWord) && !bare.contains("PDF") && bare != "...") english << bare;
    }
    EXPECT_TRUE(english.isEmpty()) << english.join(" | ").toStdString();
    EXPECT_TRUE(texts.contains("Εκτυπωτής") || texts.contains("&Εκτύπωση")) << texts.join(" | ").toStdString();
    dialog.reject();
}

// Qt's own file dialog, as the import of a client list opens it: no text of Qt's in English.
TEST(DesktopTexts, TheFileDialogIsGreek) {
    QFileDialog dialog(nullptr, "Εισαγωγή πελατών από αρχείο", QDir::tempPath(), "Κατάλογος πελατών (*.csv *.txt)");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    QApplication::processEvents();
    QStringList texts;
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) texts << b->text() << b->toolTip();
    for (QLabel* l : dialog.findChildren<QLabel*>()) texts << l->text();
    for (QHeaderView* header : dialog.findChildren<QHeaderView*>())
        for (int i = 0; i < header->count(); ++i)
            texts << header->model()->headerData(i, header->orientation()).toString();
    const QRegularExpression latinWord("[A-Za-z]{3,}");
    QStringList english;
    for (const QString& text : texts) {
        const QString bare = QString(text).remove('&');
        // File and folder names are the system's.
        if (bare.contains(latinWord) && !bare.contains(QDir::tempPath()) && !bare.contains("csv")) english << bare;
    }
    EXPECT_TRUE(english.isEmpty()) << english.join(" | ").toStdString();
    EXPECT_TRUE(texts.contains("Αναζήτηση σε:")) << texts.join(" | ").toStdString();
    dialog.reject();
}

TEST(DesktopTexts, WindowTitlesAreExactlyTheCaptions) {
    // Qt appends an application display name to every caption that does not
    // end with it; the program sets none.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QString(kInternalName));

    TempDir dir;
    FakeDesktop desktop;
    test::FakeHttp http;
    MainWindow main(dir.path(), desktop.services(), http);
    main.PrepareMainWindow();
    AnalysisWindow analysis(dir.path(), desktop.services());
    ClientEntryWindow entry(dir.path(), desktop.services());
    AboutWindow about(dir.path());
    const std::pair<QWidget*, const char*> windows[] = {
        {&main, "ΣΚΑΡΤΙΝΑ 2021 (ver 01.00)"},
        {&analysis, "Πληροφόρηση από Α.Α.Δ.Ε."},
        {&entry, "Διαχείριση πελατών / επαφών"},
        {&about, "Πληροφορίες για το ΣΚΑΡΤΙΝΑ 2021 (ver 01.00)"},
    };
    for (const auto& [window, caption] : windows) {
        window->show();
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(caption));
        EXPECT_EQ(window->windowHandle()->title(), QString::fromUtf8(caption));
        window->hide();
    }
}

// A folder on PATH holding a stand-in for the desktop's opener.
class OpenerOnPath {
public:
    explicit OpenerOnPath(const char* script) : oldPath_(std::getenv("PATH")) {
        if (script) {
            const auto opener = dir_ / "xdg-open";
            std::ofstream(opener) << "#!/bin/sh\n" << script << "\n";
            std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        }
        setenv("PATH", dir_.path().c_str(), 1);  // nothing else: a missing opener stays missing
    }
    ~OpenerOnPath() { setenv("PATH", oldPath_.c_str(), 1); }

private:
    TempDir dir_;
    std::string oldPath_;
};

TEST(DesktopTexts, AnOpenerThatFindsNoProgramCountsAsAFailure) {
    TempDir files;
    const auto file = files / "a.csv";
    std::ofstream(file) << "x\n";
    const struct {
        const char* opener;  // the script's body; none: no opener at all
        bool opened;
    } cases[] = {{"exit 0", true},
                 {"exit 3", false},  // xdg-open: no program for the file
                 {"exit 4", false},
                 {nullptr, false},
                 {"exec /bin/sleep 6", true}};  // still busy with the program it started
    for (const auto& c : cases) {
        OpenerOnPath path(c.opener);
        EXPECT_EQ(OpenWithDesktop(QString::fromStdString(file.string())), c.opened) << (c.opener ? c.opener : "none");
    }
}

TEST(DesktopTexts, AnOpenerThatFailsAfterTheFirstWaitIsToldThen) {
    const std::string file = "/tmp/a.csv";
    std::string late;
    {
        OpenerOnPath path("/bin/sleep 4; exit 4");
        EXPECT_TRUE(OpenWithDesktop(QString::fromStdString(file), [&late](const std::string& sentence) { late = sentence; }));
        for (int i = 0; i < 100 && late.empty(); ++i) QTest::qWait(100);
    }
    EXPECT_EQ(late, NotOpenedSentence(QString::fromStdString(file)));

    // One that opened the file after the first wait tells nothing.
    late.clear();
    OpenerOnPath path("/bin/sleep 4; exit 0");
    EXPECT_TRUE(OpenWithDesktop(QString::fromStdString(file), [&late](const std::string& sentence) { late = sentence; }));
    QTest::qWait(5000);
    EXPECT_EQ(late, "");
}

TEST(DesktopTexts, AnExportNoProgramCouldOpenSaysWhereTheFileIs) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Tables");
    test::ScriptedPrompter prompter(true);
    prompter.chosen = 0;  // "Άνοιγμα"
    OpenerOnPath path("exit 3");
    AnalysisWindow window(dir.path(), {&prompter, [](const QString& what) { return OpenWithDesktop(what); }, {}});
    Find<TaxNumberEdit>(window, "taxNumberEdit")->setText("123456783");
    window.onExportCsvClicked();
    ASSERT_EQ(prompter.informed.size(), 2u);
    const std::string where = std::filesystem::absolute(dir / "Tables" / "123456783_2021.csv").string();
    EXPECT_EQ(prompter.informed[0], "Το αρχείο γράφτηκε: " + where);
    EXPECT_EQ(prompter.informed[1], NotOpenedSentence(QString::fromStdString(where)));
}

// A retrieval holds the keyboard so that typing reaches neither the sheet nor
// the browser; a message or question shown meanwhile has it while it is open
// (Enter answers it), and the retrieval has it back afterwards.
TEST(DesktopTexts, AMessageShownWhileARetrievalHoldsTheKeyboardHasIt) {
    QWidget holder;
    holder.show();
    holder.grabKeyboard();
    ASSERT_EQ(QWidget::keyboardGrabber(), &holder);
    QtPrompter prompter(&holder);
    const std::vector<std::function<void()>> shows = {
        [&] { prompter.inform("μήνυμα"); },
        [&] { prompter.confirm("ερώτηση"); },
        [&] { prompter.ask("ερώτηση"); },
        [&] { prompter.report("σύνοψη"); },
        [&] { prompter.askEach("ερώτηση για κάθε έτος"); },
        [&] { prompter.choose("μήνυμα", {"Άνοιγμα", "Κλείσιμο"}); },
    };
    for (size_t i = 0; i < shows.size(); ++i) {
        QWidget* heldMeanwhile = &holder;
        bool shown = false;
        QTimer::singleShot(50, [&] {
            heldMeanwhile = QWidget::keyboardGrabber();
            if (QWidget* box = QApplication::activeModalWidget()) {
                shown = true;
                box->close();
            }
        });
        shows[i]();
        EXPECT_TRUE(shown) << i;
        EXPECT_EQ(heldMeanwhile, nullptr) << i << ": the box had no keyboard";
        EXPECT_EQ(QWidget::keyboardGrabber(), &holder) << i << ": the retrieval has it back";
    }
    holder.releaseKeyboard();
}

}  // namespace
}  // namespace skartina
