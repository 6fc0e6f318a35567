#pragma once
// The About window: the product's name and version, and how to reach its maker.

#include <QDialog>

class QLabel;

namespace skartina {

// The About window: name, version and maker of the program.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

private:
    QLabel* titleLabel_;  // "lbTitle"
};

}  // namespace skartina
