#include "app/about_box.h"

#include "app/splash_screen.h"

namespace qw {

void showAboutBox(QWidget& mainWindow, const std::filesystem::path& dataDir) {
    Tfrm_SplashScreen box(dataDir, &mainWindow);
    box.setObjectName("frmAbout");
    box.centreOver(mainWindow);
    box.setCloseLabelVisible(true);
    box.exec();
}

} // namespace qw
