// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The information window: the maker's news page, shown at start-up while
// "editorial21.ini" exists, with a box to stop showing it.

#include "common/HttpClient.h"

#include <QDialog>
#include <QString>

#include <filesystem>

class QCheckBox;
class QTextBrowser;

namespace skartina {

// What the window shows when the page cannot be fetched.
inline const QString kInfoPageUnreachable =
    "Η σελίδα ενημέρωσης δεν είναι διαθέσιμη: δεν ήταν δυνατή η σύνδεση με τον διακομιστή. "
    "Ελέγξτε τη σύνδεσή σας στο διαδίκτυο και δοκιμάστε ξανά αργότερα.";

// The product's information page, shown at start-up until the user stops it.
class InfoWindow : public QDialog {
    Q_OBJECT
public:
    InfoWindow(const std::filesystem::path& workDir, HttpClient& http, QWidget* parent = nullptr);

    // "Έξοδος": with the box ticked the page is not shown again.
    void onExitClicked();
    // Escape leaves the same way.
    void reject() override;

private:
    QTextBrowser* pageView_;       // "pageView"
    QCheckBox* dontShowAgainBox_;  // "dontShowAgainBox"
    std::filesystem::path workDir_;
};

}  // namespace skartina
