#include "core/special_topics.h"

#include "core/ini_file.h"
#include "core/project_session.h"
#include "core/text_util.h"

#include <utility>
#include <vector>

namespace qw {

namespace {

constexpr const char* kCaptionKey = "CustomBtnCaption";
constexpr int kCustomButtonTag = 4;

/// The letters in the order in which a save compares them with their pages.
constexpr std::string_view kFollowOrder = "dwnrhc";

int tagOfLetter(char letter) {
    for (const auto& kind : specialTopicKinds()) {
        if (kind.letter == letter)
            return kind.tag;
    }
    return 0;
}

} // namespace

const std::array<SpecialTopicKind, 6>& specialTopicKinds() {
    static const std::array<SpecialTopicKind, 6> kinds = {{
        {1, "puiSetAsDefaultTopic", "Set As Default Topic", "DefaultPage", "", 'd'},
        {2, "puiSetAsWelcomeTopic", "Set As Welcome Topic", "WelcomeFileName", "", 'w'},
        {3, "puiSetAsHomeButtonTopic", "Set As Home Button Topic", "HomeBtnPage", "UseHomeButton",
         'h'},
        {4, "puiSetAsCustomButtonTopic", "Set As Custom Button Topic", "CustomBtnPage",
         "UseCustomButton", 'c'},
        {5, "puiSetAsWhatsNewTopic", "Set As What's New Topic", "WhatsNewPage", "", 'n'},
        {6, "puiSetAsCopyrightTopic", "Set as Copyright Topic", "CopyrightPage", "", 'r'},
    }};
    return kinds;
}

const SpecialTopicKind* specialTopicByTag(int tag) {
    if (tag < 1 || tag > 6)
        return nullptr;
    return &specialTopicKinds()[size_t(tag - 1)];
}

std::string& specialPageOf(SpecialPages& pages, int tag) {
    switch (tag) {
    case 1:
        return pages.defaultPage;
    case 2:
        return pages.welcomePage;
    case 3:
        return pages.homeButtonPage;
    case 4:
        return pages.customButtonPage;
    case 5:
        return pages.whatsNewPage;
    default:
        return pages.copyrightPage;
    }
}

bool setSpecialTopic(ProjectSession& session, SpecialTopicPrompts& prompts, int tag, size_t row,
                     bool toggle) {
    const SpecialTopicKind* kind = specialTopicByTag(tag);
    const TopicTable& table = session.table();
    if (kind == nullptr || !table.isTopicRow(row))
        return false;
    const bool carries = table.cell(row, ColMarker).find(kind->letter) != std::string::npos;
    const bool switchOn = !(toggle && carries);
    const std::string value = switchOn ? table.topicLinkPath(row) : std::string();

    IniFile project(session.projectPath());
    std::string caption;
    if (tag == kCustomButtonTag) {
        caption = project.readString(kPropertiesSection, kCaptionKey, "");
        if (switchOn) {
            if (!prompts.askCustomButtonCaption(caption))
                return false;
            if (trim(caption).empty())
                caption = "Custom";
        } else {
            caption.clear();
        }
    }
    project.beginBatch();
    if (tag == kCustomButtonTag)
        project.writeString(kPropertiesSection, kCaptionKey, caption);
    project.writeString(kPropertiesSection, kind->projectKey, value);
    if (*kind->switchKey != '\0')
        project.writeBool(kPropertiesSection, kind->switchKey, switchOn);
    project.endBatch();
    specialPageOf(session.settings().pages, tag) = value;

    prompts.applyProjectOptionsSilently();
    session.markRoles();
    return true;
}

void followSpecialTopics(ProjectSession& session, SpecialTopicPrompts& prompts) {
    const TopicTable& table = session.table();
    std::vector<std::pair<size_t, std::string>> marked;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isTopicRow(r) && !table.cell(r, ColMarker).empty())
            marked.emplace_back(r, table.cell(r, ColMarker));
    }
    for (const auto& [row, letters] : marked) {
        for (const char letter : kFollowOrder) {
            if (letters.find(letter) == std::string::npos)
                continue;
            const int tag = tagOfLetter(letter);
            if (table.topicLinkPath(row) != specialPageOf(session.settings().pages, tag))
                setSpecialTopic(session, prompts, tag, row, false);
        }
    }
}

} // namespace qw
