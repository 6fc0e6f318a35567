#pragma once
// The About window: the product's name and version, and how to reach its maker.

#include <QDialog>

class QLabel;

namespace skartina {

class TfiAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfiAbout(QWidget* parent = nullptr);
    QLabel* lbTitle;
};

}  // namespace skartina
