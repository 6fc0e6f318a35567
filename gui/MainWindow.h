#pragma once
// The main window: menus, tool bar and the three tiles from which every other
// window opens.

#include "gui/DesktopServices.h"
#include "common/HttpClient.h"

#include <QMainWindow>

#include <array>
#include <filesystem>

class QAction;
class QFrame;
class QLabel;
class QToolButton;

namespace skartina {

// The main window: menus, toolbar and tiles that open every other window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(const std::filesystem::path& workDir, DesktopServices desktop, HttpClient& http, QWidget* parent = nullptr);

    // Captions, the automatic-check mark and the start-up work on the data folder.
    void PrepareMainWindow();
    bool FirstTimeActive = false;
    // The first activation: shows the information window while its marker exists.
    void FirstActivation();

    QAction* acExit;
    QAction* acNewVelmora;
    QAction* miAbout;
    QAction* miAutoCheck;
    QAction* miNewVersion;
    QAction* miNewCustomer;
    QAction* miCustomerList;
    QAction* miHelp;
    std::array<QLabel*, 3> imgP;   // imgP1 .. imgP3
    std::array<QFrame*, 3> front;  // P1F .. P3F
    std::array<QFrame*, 3> shadow; // P1B .. P3B

    void miNewCustomerClick();
    void miCustomerListClick();
    void acNewVelmoraExecute();
    void miAboutClick();
    void miAutoCheckClick();
    void miNewVersionClick();
    void miHelpClick();
    void imLogoClick();
    void TileClick(int tag);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QWidget* buildTiles();
    void placeTiles();
    void setFrontColour(int tag, const QColor& colour);

    std::filesystem::path workDir_;
    DesktopServices desktop_;
    HttpClient& http_;
    QWidget* tileArea_ = nullptr;
};

}  // namespace skartina
