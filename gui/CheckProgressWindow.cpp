#include "gui/CheckProgressWindow.h"

#include "startup/ProductInfo.h"
#include "gui/StatusPanels.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace skartina {

CheckProgressWindow::CheckProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("fiNoConnection");
    setWindowTitle("Ελεγχος νέων εκδόσεων ");
    setModal(false);

    lbTitle = new QLabel(kAppTitle, this);
    lbTitle->setObjectName("lbTitle");
    QFont big = lbTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lbTitle->setFont(big);
    lbTitle->setAlignment(Qt::AlignCenter);
    lbWait = new QLabel("Παρακαλώ περιμένετε ...", this);
    lbWait->setObjectName("lbWait");
    lbWait->setAlignment(Qt::AlignCenter);
    lbDetails = new QLabel(" ", this);
    lbDetails->setObjectName("lbDetails");
    lbDetails->setAlignment(Qt::AlignCenter);
    pbInfo = NewPercentBar(this);
    sbInfo = new StatusPanels(this);
    sbInfo->setObjectName("sbInfo");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
    layout->addWidget(lbWait);
    layout->addWidget(lbDetails);
    layout->addWidget(pbInfo);
    layout->addWidget(sbInfo);
    setFixedSize(440, 200);
}

}  // namespace skartina
