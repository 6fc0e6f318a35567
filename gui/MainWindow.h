// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The first activation: shows the information window while its marker exists.
    void FirstActivation();
    // Whether the window has yet to be activated for the first time since it was prepared.
    bool firstActivationPending() const { return firstActivationPending_; }

    // The commands, as the menus, the tiles and the logo run them.
    void onNewClientTriggered();
    void onClientListTriggered();
    void onImportClientsTriggered();
    // The import of a client list, its report told to the user.
    void ImportClientsFrom(const std::filesystem::path& file);
    void onOfficeRunTriggered();
    void onAnalysisTriggered();
    void onAboutTriggered();
    void onAutoCheckTriggered();
    void onVersionCheckTriggered();
    void onHelpTriggered();
    void onLogoClicked();
    void onTileClicked(int tag);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    // A web page in the desktop's browser; told when it does not open.
    void openPage(const std::string& address);
    QWidget* buildTiles();
    void placeTiles();
    void setFrontColour(int tag, const QColor& colour);

    // The menu commands and tiles; each carries its role name as its objectName
    // ("analysisAction", "autoCheckAction", "tilePicture1", "tileFront1", ...).
    QAction* exitAction_;
    QAction* analysisAction_;
    QAction* aboutAction_;
    QAction* autoCheckAction_;
    QAction* versionCheckAction_;
    QAction* newClientAction_;
    QAction* clientListAction_;
    QAction* importClientsAction_;
    QAction* officeRunAction_;
    QAction* helpAction_;
    std::array<QLabel*, 3> tilePictures_;  // tilePicture1 .. tilePicture3
    std::array<QFrame*, 3> tileFronts_;    // tileFront1 .. tileFront3
    std::array<QFrame*, 3> tileShadows_;   // tileShadow1 .. tileShadow3

    bool firstActivationPending_ = false;
    std::filesystem::path workDir_;
    DesktopServices desktop_;
    HttpClient& http_;
    QWidget* tileArea_ = nullptr;
};

}  // namespace skartina
