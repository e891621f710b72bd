#include "core/project_settings.h"

#include "core/ini_file.h"

namespace qw {

ProjectSettings ProjectSettings::read(const IniFile& project) {
    const char* sec = kPropertiesSection;
    ProjectSettings s;
    s.pages.defaultPage = project.readString(sec, "DefaultPage", "");
    s.pages.welcomePage = project.readString(sec, "WelcomeFileName", "");
    s.pages.homeButtonPage = project.readString(sec, "HomeBtnPage", "");
    s.pages.customButtonPage = project.readString(sec, "CustomBtnPage", "");
    s.pages.whatsNewPage = project.readString(sec, "WhatsNewPage", "");
    s.pages.copyrightPage = project.readString(sec, "CopyrightPage", "");
    s.titleBarText = project.readString(sec, "TitleBarText", "");
    s.userFolders = project.readBool(sec, "UserFolders", false);
    s.addPrevNextLinks = project.readBool(sec, "AddPrevNextLinks", true);
    s.usePrevNextImages = project.readBool(sec, "UsePrevNextImages", false);
    s.nextPageImage = project.readString(sec, "NextPageImage", "");
    s.prevPageImage = project.readString(sec, "PrevPageImage", "");
    s.topicFooter = project.readString(sec, "TopicFooter", "");
    s.useStyleSheet = project.readBool(sec, "UseStyleSheet", true);
    s.additionalFiles = project.readList(sec, "AdditonalFiles");
    s.customIconsBmp = project.readString(sec, "CustomIconsBMP", "");
    s.contentsOptVal = project.readString(sec, "ContentsOptVal", "0x800227");
    s.showMenu = project.readBool(sec, "ShowMenu", false);
    s.createContextIds = project.readBool(sec, "CreateContextIDs", false);
    return s;
}

} // namespace qw
