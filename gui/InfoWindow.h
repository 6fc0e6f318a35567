#pragma once
// The information window: the maker's news page, shown at start-up while
// "editorial21.ini" exists, with a box to stop showing it.

#include "common/HttpClient.h"

#include <QDialog>

#include <filesystem>

class QCheckBox;
class QTextBrowser;

namespace skartina {

// The product's information page, shown at start-up until the user stops it.
class InfoWindow : public QDialog {
    Q_OBJECT
public:
    InfoWindow(const std::filesystem::path& workDir, HttpClient& http, QWidget* parent = nullptr);

    QTextBrowser* iwb;
    QCheckBox* cbNot;

    // "Έξοδος": with the box ticked the page is not shown again.
    void btExitClick();
    // Escape leaves the same way.
    void reject() override;

private:
    std::filesystem::path workDir_;
};

}  // namespace skartina
