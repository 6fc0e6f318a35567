#pragma once
// The small window shown, without blocking, while a version check runs.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace skartina {

class StatusPanels;

// Progress of a running version check: what it does and how many bytes arrived.
class CheckProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit CheckProgressWindow(QWidget* parent = nullptr);

    QLabel* lbTitle;
    QLabel* lbWait;
    QLabel* lbDetails;
    StatusPanels* sbInfo;
    QProgressBar* pbInfo;
};

}  // namespace skartina
