#include "app/StartUp.h"

#include "app/Settings.h"
#include "app/TfiMain.h"
#include "app/TfiNewVer.h"

namespace skartina {

bool StartMainWindow(TfiMain& main, const std::filesystem::path& workDir, DesktopServices desktop, HttpClient& http) {
    KeepRunning = true;
    main.PrepareMainWindow();
    if (AutoCheckEnabled(workDir)) {
        TfiNewVer check(workDir, std::move(desktop), http);  // never shown: it lends the check its client and panels
        check.CheckForNewVersion(false);
    }
    if (!KeepRunning) return false;
    main.showMaximized();
    return true;
}

}  // namespace skartina
