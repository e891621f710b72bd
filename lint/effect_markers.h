#pragma once

#include "core/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The lines of one topic joined for marker matching: the text as written and an
/// ASCII lower-cased copy of the same length, with the offset where each line starts.
class TopicText {
public:
    TopicText(Lines::const_iterator first, Lines::const_iterator last);
    const std::string& text() const { return m_text; }
    const std::string& lower() const { return m_lower; }
    /// The topic line (from 0) that holds offset at.
    size_t lineOf(size_t at) const;

private:
    std::string m_text;
    std::string m_lower;
    std::vector<size_t> m_starts;
};

/// A problem with the markers of one effect, on a topic line counted from 0.
struct MarkerProblem {
    size_t line;
    std::string message;
};

/// Checks the markers of one effect, whose pieces (tokens, matched without regard to
/// case) stand in this order in every use: an opening piece without its closing piece,
/// a closing piece without an opening one, and middle pieces missing from some use.
/// A topic without the opening piece is never reported (the effect then does not apply),
/// nor are effects of a single piece.
void checkEffectMarkers(const TopicText& topic, const std::vector<std::string>& tokens,
                        std::vector<MarkerProblem>& problems);

/// A pop-up named in a topic: the reference between the marker's opening and closing
/// pieces, exactly as written, and its topic line.
struct PopupUse {
    std::string reference;
    size_t line;
};

/// The pop-ups the topic names with open + reference + close ("[*ebb*]").
std::vector<PopupUse> popupUses(const TopicText& topic, std::string_view open,
                                std::string_view close);

} // namespace qw
