#pragma once

#include <array>
#include <string>

namespace qw {

class ProjectSession;
struct SpecialPages;

/// One of the six special topics a topic can be made.
struct SpecialTopicKind {
    int tag;              ///< 1 to 6
    const char* menuName; ///< the pop-up menu item's name
    const char* caption;  ///< the pop-up menu item's caption
    const char* projectKey;
    const char* switchKey; ///< empty when the page has no switch
    char letter;           ///< the role letter
};

const std::array<SpecialTopicKind, 6>& specialTopicKinds();
/// The kind of a tag from 1 to 6; nullptr for any other tag.
const SpecialTopicKind* specialTopicByTag(int tag);
/// The page of a tag kept in memory.
std::string& specialPageOf(SpecialPages& pages, int tag);

/// What setting a special topic needs from the program.
class SpecialTopicPrompts {
public:
    virtual ~SpecialTopicPrompts() = default;
    /// Asks for the custom button's caption, preset with caption; false on Cancel.
    virtual bool askCustomButtonCaption(std::string& caption) = 0;
    /// Applies and stores the project options without showing the options dialog.
    virtual void applyProjectOptionsSilently() = 0;
};

/// Makes the topic at row the special page of tag, or with toggle on clears the page
/// when the row already carries the tag's letter. Writes the page (and the switch and
/// the custom button's caption where they belong) into the project file, applies the
/// options and recomputes the role letters. Returns false, with nothing changed, when
/// the author cancels the custom button's caption.
bool setSpecialTopic(ProjectSession& session, SpecialTopicPrompts& prompts, int tag, size_t row,
                     bool toggle);

/// Before a save: every special page whose topic's link path has changed (a renamed
/// file name) is set anew to the topic's current path.
void followSpecialTopics(ProjectSession& session, SpecialTopicPrompts& prompts);

} // namespace qw
