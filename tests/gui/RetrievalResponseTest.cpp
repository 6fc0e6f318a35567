// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window while the portal is slow, and its kept login, against
// the simulated portal with headless Chromium: Cancel is answered at once while
// a page takes seconds to show, and a second year button of the same client
// reads its year on the first button's login.

#include "support/GuiTestSupport.h"
#include "support/PortalWindowFixture.h"
#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/BatchProgressWindow.h"
#include "gui/RetrievalWorker.h"
#include "browser/BrowserConfig.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"
#include "sheet/SheetRows.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

namespace skartina {
namespace {

using test::ClickAndAwaitRetrieval;
using test::Find;
using test::TempDir;
using test::YearButtonName;

constexpr const char* kTaxNumber = "123456783";

struct SlowPortalWindow : test::PortalWindowTest {
    // The user names of the logins that went through, one a line.
    int Logins() const {
        std::ifstream in(loginLog);
        int lines = 0;
        for (std::string line; std::getline(in, line);) lines += !line.empty();
        return lines;
    }

    std::filesystem::path loginLog = dir.path() / "logins.txt";
};

TEST_F(SlowPortalWindow, CancelIsAnsweredAtOnceWhileAPageTakesSeconds) {
    StartPortalAndWindow({"--delay", "3000"});
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year)
        Find<QCheckBox>(*window, test::YearBoxName(year))->setChecked(year == 2012 || year == 2011);
    // The window's own clock: a timer that must keep firing while the page loads.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (window->retrieving()) longestGap = std::max(longestGap, sinceTick.restart());
    });
    qint64 cancelToEnd = -1;
    QElapsedTimer sinceCancel;
    QObject::connect(window.get(), &AnalysisWindow::retrievalEnded, [&] { cancelToEnd = sinceCancel.elapsed(); });
    QString labelAtCancel;
    // Cancel while the first year's slow page is being waited for (the login, slow too, is behind).
    std::function<void()> cancel = [&] {
        auto* progress = window->findChild<BatchProgressWindow*>("batchProgressWindow");
        if (!progress || !Find<QLabel>(*progress, "yearLabel")->text().startsWith("Έτος"))
            return QTimer::singleShot(20, cancel);
        QTimer::singleShot(500, [&, progress] {
            sinceCancel.start();
            QTest::mouseClick(Find<QPushButton>(*progress, "cancelButton"), Qt::LeftButton);
            labelAtCancel = Find<QLabel>(*progress, "yearLabel")->text();
            EXPECT_FALSE(Find<QPushButton>(*progress, "cancelButton")->isEnabled());
        });
    };
    QTimer::singleShot(20, cancel);
    sinceTick.start();
    ticker.start(10);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"), 60000);
    EXPECT_TRUE(labelAtCancel.contains("ακύρωση")) << labelAtCancel.toStdString();
    EXPECT_GE(cancelToEnd, 0) << "the run never ended";
    EXPECT_LE(cancelToEnd, 200) << "the run went on after Cancel";
    EXPECT_FALSE(window->retrievalWorker().loginKept());
    EXPECT_LE(longestGap, 200) << "the window stood still while the page loaded";
    EXPECT_FALSE(window->retrieving());
    EXPECT_EQ(CellText(window->sheet(), TaxpayerColumnOf(2012), Row::TaxedIncome), "") << "nothing was read";
}

TEST_F(SlowPortalWindow, TheSecondYearButtonUsesTheFirstButtonsLogin) {
    StartPortalAndWindow({"--login-log", loginLog.string()});
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    EXPECT_TRUE(window->retrievalWorker().loginKept());
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2011)));
    EXPECT_TRUE(desktop.prompter.informed.empty());
    EXPECT_NE(CellText(window->sheet(), TaxpayerColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_NE(CellText(window->sheet(), TaxpayerColumnOf(2011), Row::TaxedIncome), "");
    EXPECT_EQ(Logins(), 1) << "one login for both years";

    window->retrievalWorker().setKeptLoginMs(300);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2012)));
    EXPECT_EQ(Logins(), 1);
    // Unused, the login ends: logged out and closed.
    QTest::qWaitFor([&] { return !window->retrievalWorker().loginKept(); }, 5000);
    EXPECT_FALSE(window->retrievalWorker().loginKept());
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2013)));
    EXPECT_EQ(Logins(), 2) << "a login that timed out is made again";

    // Another client ends it at once.
    EXPECT_TRUE(window->retrievalWorker().loginKept());
    Find<TaxNumberEdit>(*window, "taxNumberEdit")->setText("100000090");
    window->FillTaxpayerFields();
    EXPECT_FALSE(window->retrievalWorker().loginKept());
}

}  // namespace
}  // namespace skartina
