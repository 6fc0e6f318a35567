// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Doubles for the desktop: a prompter with a preset answer that records what
// it was told, and an opener that records what it was asked to open.

#include "gui/DesktopServices.h"
#include "common/HttpClient.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <stdexcept>

namespace skartina::test {

// Makes the sheet's cell current and returns its open editor, its text
// selected, as a user's move to the cell leaves it.
inline QLineEdit* EnterCell(QAbstractItemView* sheet, int column, int row) {
    sheet->setCurrentIndex(sheet->model()->index(row, column));
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(sheet->indexWidget(sheet->currentIndex()));
    if (editor) editor->selectAll();
    return editor;
}

// Types the text into the cell and moves down, as a user ends an entry.
inline QLineEdit* TypeAndLeave(QAbstractItemView* sheet, int column, int row, const QString& text) {
    QLineEdit* editor = EnterCell(sheet, column, row);
    if (!editor) return nullptr;
    QTest::keyClicks(editor, text);
    EnterCell(sheet, column, row + 1);
    return editor;
}

struct FakeDesktop {
    ScriptedPrompter prompter{true};
    QStringList opened;
    bool openSucceeds = true;
    std::vector<std::filesystem::path> started;
    std::vector<std::filesystem::path> installed;
    bool graphicalAuthorisation = true;
    // The windows' tests of the installer run on any system; the Debian path has its own.
    UpdateKind updateKind = UpdateKind::WindowsInstaller;
    DesktopServices services() {
        return {&prompter,
                [this](const QString& what) {
                    opened << what;
                    return openSucceeds;
                },
                [this](const std::filesystem::path& program) { started.push_back(program); },
                [this](const std::filesystem::path& package) {
                    installed.push_back(package);
                    return graphicalAuthorisation;
                },
                updateKind};
    }
};

// A product web host that answers with a fixed page, or not at all.
class FakeHttp : public HttpClient {
public:
    HttpResponse get(const std::string& url, const HttpOptions&) override {
        requested.push_back(url);
        if (!reachable) throw HttpError("Couldn't connect to server");
        return {200, page};
    }
    bool reachable = true;
    std::string page = "<p>Νέα έκδοση</p>";
    std::vector<std::string> requested;
};

// A window's control by its role name, its objectName; a missing one fails the test.
template <typename Control = QWidget>
Control* Find(const QObject& window, const QString& name) {
    if (auto* found = window.findChild<Control*>(name)) return found;
    throw std::runtime_error("no control " + name.toStdString() + " in " + window.objectName().toStdString());
}

// The year box or the year's retrieval button of the analysis window.
inline QString YearBoxName(int year) { return QString("yearBox%1").arg(year); }
inline QString YearButtonName(int year) { return QString("retrieveYearButton%1").arg(year); }

// Clicks a retrieval's button and lets the window run (its events handled)
// until the retrieval has ended; a retrieval the click did not start ends at once.
template <typename Window>
void ClickAndAwaitRetrieval(Window& window, QWidget* button, int timeoutMs = 150000) {
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::qWaitFor([&window] { return !window.retrieving(); }, timeoutMs);
}

// Runs `act` on the modal window that the code under test is about to show.
inline void OnNextModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        act(modal);
    });
}

}  // namespace skartina::test
