#include "gui/InfoWindow.h"

#include "startup/ProductInfo.h"
#include "startup/Settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace skartina {

InfoWindow::InfoWindow(const std::filesystem::path& workDir, HttpClient& http, QWidget* parent)
    : QDialog(parent), workDir_(workDir) {
    setObjectName("fiPro");
    setWindowTitle(kMainCaption);
    resize(760, 560);
    iwb = new QTextBrowser(this);
    iwb->setObjectName("iwb");
    iwb->setOpenExternalLinks(true);

    const std::string address = ProductHost() + kEditorialPath;
    try {
        HttpOptions options;
        options.connectTimeout = std::chrono::seconds(5);
        options.readTimeout = std::chrono::seconds(10);
        const HttpResponse page = http.get(address, options);
        if (page.status != 200) throw HttpError("ο διακομιστής απάντησε " + std::to_string(page.status));
        iwb->setHtml(QString::fromUtf8(page.body.data(), static_cast<int>(page.body.size())));
    } catch (const std::exception& e) {
        iwb->setPlainText("Η σελίδα ενημέρωσης δεν είναι διαθέσιμη (" + QString::fromStdString(address) +
                          "): " + QString::fromUtf8(e.what()));
    }

    cbNot = new QCheckBox("Να μην εμφανιστεί ξανά αυτό το μήνυμα", this);
    cbNot->setObjectName("cbNot");
    auto* exit = new QPushButton("Έξοδος", this);
    exit->setObjectName("btExit");
    connect(exit, &QPushButton::clicked, this, &InfoWindow::btExitClick);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cbNot);
    bottom->addStretch();
    bottom->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(iwb, 1);
    layout->addLayout(bottom);
}

void InfoWindow::btExitClick() { reject(); }

void InfoWindow::reject() {
    if (cbNot->isChecked()) DismissEditorial(workDir_);
    QDialog::reject();
}

}  // namespace skartina
