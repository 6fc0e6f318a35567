#pragma once
// A status bar of two text panels side by side, as the windows of the version
// check carry.

#include <QStatusBar>

#include <array>

class QLabel;

namespace skartina {

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);
    void setPanels(const QString& first, const QString& second);
    QString panel(int index) const;

private:
    std::array<QLabel*, 2> panels_;
};

}  // namespace skartina
