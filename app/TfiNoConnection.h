#pragma once
// The small window shown, without blocking, while a version check runs.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace skartina {

class StatusPanels;

class TfiNoConnection : public QDialog {
    Q_OBJECT
public:
    explicit TfiNoConnection(QWidget* parent = nullptr);

    QLabel* lbTitle;
    QLabel* lbWait;
    QLabel* lbDetails;
    StatusPanels* sbInfo;
    QProgressBar* pbInfo;
};

}  // namespace skartina
