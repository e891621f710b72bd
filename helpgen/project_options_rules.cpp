// The rules that tie the project options together, and the dialog's file pickers.
#include "core/messages.h"
#include "core/project_settings.h"
#include "core/text_util.h"
#include "helpgen/project_options.h"

#include <algorithm>

namespace qw {

void ProjectOptions::setTicked(FlagBox box, bool on, ProjectSettings& kept) {
    setTicked(box, on);
    if (flagBoxInfo(box).sum == FlagSum::ContentsStyle)
        kept.contentsOptVal = contentsOptVal();
}

void ProjectOptions::confirmLoadedSmallToolbar(Messenger& messenger) {
    if (!ticked(FlagBox::UseSmallTBar))
        return;
    setTicked(FlagBox::UseSmallTBar, false);
    setUseSmallToolbar(true, messenger);
}

void ProjectOptions::setAddPrevNextLinks(bool on) {
    addPrevNextLinks = on;
    if (!on)
        usePrevNextImages = false;
}

void ProjectOptions::setNextPrevButtons(bool on, Messenger& messenger) {
    setTicked(FlagBox::NextPrevTBBtns, on);
    if (on && !createBinaryToc) {
        const Answer answer = messenger.showMessage(
            "To enable the 'Next/Previous' Toolbar Buttons, the option\r\n"
            "'Create Binary Contents' (HHMiscell Tab) will also be set.\r\n"
            "This introduces several limitations (see Help for more details).\r\n"
            "\r\n"
            "Do you want to continue?",
            MessageKind::Information, MessageButtons::YesNo);
        if (answer != Answer::Yes)
            setTicked(FlagBox::NextPrevTBBtns, false);
    }
    createBinaryToc = ticked(FlagBox::NextPrevTBBtns);
}

void ProjectOptions::setCreateBinaryToc(bool on, Messenger& messenger) {
    createBinaryToc = on;
    if (!on && ticked(FlagBox::NextPrevTBBtns))
        messenger.showMessage("The option to show the 'Next/Previous' Toolbar\r\n"
                              "Buttons (HHToolbar Tab) is set, these will be\r\n"
                              "disabled if 'Create Binary Contents' is not set.",
                              MessageKind::Information, MessageButtons::Ok);
}

void ProjectOptions::setUseSmallToolbar(bool on, Messenger& messenger) {
    setTicked(FlagBox::UseSmallTBar, on);
    if (!on)
        return;
    const Answer answer =
        messenger.showMessage("This is a undocumented feature of HTMLHelp.\r\n"
                              "\r\n"
                              "The Small Toolbar will remain even if this option\r\n"
                              "is later unticked (but only on the current system).\r\n"
                              "Please see the Help for more details.\r\n"
                              "\r\n"
                              "Are you sure you wish to set this option?",
                              MessageKind::Warning, MessageButtons::YesNo);
    if (answer != Answer::Yes)
        setTicked(FlagBox::UseSmallTBar, false);
}

void ProjectOptions::setShowSearchTab(bool on) {
    setTicked(FlagBox::ShowNavSearchTab, on);
    setTicked(FlagBox::ShowNavAdvSearch, false);
}

void ProjectOptions::setUseCustomButton(bool on) {
    setTicked(FlagBox::UseCustomButton, on);
    customBtnCaption.clear();
}

void ProjectOptions::setCurrentScreenSize(bool on, int screenWidth, int screenHeight) {
    showWinMaximised = on;
    windowHeight = std::to_string(screenHeight - 28);
    windowWidth = std::to_string(screenWidth);
    windowTop = "0";
    windowLeft = "0";
}

bool sizeBoxAcceptsKey(char key) {
    return (key >= '0' && key <= '9') || key == '\b';
}

int sizeBoxMaxDigits(SizeBox box) {
    return box == SizeBox::PaneWidth ? 3 : 4;
}

std::string sizeBoxOnExit(SizeBox box, std::string_view text) {
    if (!trim(text).empty())
        return std::string(text);
    switch (box) {
    case SizeBox::Height:
        return "480";
    case SizeBox::Width:
        return "640";
    case SizeBox::PaneWidth:
        return "100";
    case SizeBox::Top:
    case SizeBox::Left:
        break;
    }
    return "0";
}

std::string relativeImagePath(std::string_view picked, std::string_view projectDir,
                              Messenger& messenger) {
    if (!projectDir.empty() && startsWith(picked, projectDir) && picked.size() > projectDir.size())
        return std::string(picked.substr(projectDir.size()));
    messenger.showMessage("Please select an Image in the same directory,\r\n"
                          "or a sub-directory of the Project. (i.e. in a Relative Path).",
                          MessageKind::Warning, MessageButtons::Ok);
    return {};
}

bool acceptWorkshopProgram(std::string_view picked, Messenger& messenger) {
    const size_t slash = picked.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? picked : picked.substr(slash + 1);
    // Here the compiler may also be named directly.
    if (equalsNoCase(name, "hhw.exe") || name == "chmcmd")
        return true;
    messenger.showMessage("Please Select the File 'hhw.exe' in the 'HTML Help Workshop' Folder.\r\n"
                          "(Usually C:\\Program Files\\HTML Workshop).",
                          MessageKind::Error, MessageButtons::Ok);
    return false;
}

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

void removeItem(std::vector<std::string>& list, const std::string& item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

void addAdditionalFiles(AdditionalFileLists& lists, const std::vector<std::string>& picked,
                        std::string_view projectDir, Messenger& messenger) {
    for (const std::string& path : picked) {
        // The file must lie below the project directory: its front is the directory.
        if (projectDir.empty() || !startsWith(path, projectDir)) {
            messenger.showMessage("Error: Files must be in the same directory\r\n"
                                  "or a sub-directory as the Project file.",
                                  MessageKind::Error, MessageButtons::Ok);
            return;
        }
        const std::string relative = path.substr(projectDir.size());
        if (contains(lists.files, relative) || contains(lists.defaultPages, relative)) {
            messenger.showMessage("The file: '" + relative + "' is already in the project.",
                                  MessageKind::Warning, MessageButtons::Ok);
            continue;
        }
        lists.files.push_back(relative);
        if (endsWithNoCase(relative, ".htm") || endsWithNoCase(relative, ".html")) {
            lists.defaultPages.push_back(relative);
            lists.customPages.push_back(relative);
            lists.homePages.push_back(relative);
        }
    }
}

int deleteAdditionalFile(AdditionalFileLists& lists, int selected) {
    if (selected < 0 || size_t(selected) >= lists.files.size())
        return lists.files.empty() ? -1 : 0;
    const std::string removed = lists.files[size_t(selected)];
    lists.files.erase(lists.files.begin() + selected);
    removeItem(lists.defaultPages, removed);
    removeItem(lists.customPages, removed);
    removeItem(lists.homePages, removed);
    if (lists.files.empty())
        return -1;
    return std::max(selected - 1, 0);
}

} // namespace qw
