#include "lint/effect_markers.h"

#include <algorithm>

namespace qw {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

std::vector<size_t> occurrences(const std::string& text, const std::string& token) {
    std::vector<size_t> found;
    if (token.empty())
        return found;
    for (size_t at = text.find(token); at != std::string::npos;
         at = text.find(token, at + token.size()))
        found.push_back(at);
    return found;
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

TopicText::TopicText(Lines::const_iterator first, Lines::const_iterator last) {
    for (auto it = first; it != last; ++it) {
        m_starts.push_back(m_text.size());
        m_text += *it;
        m_text += '\n';
    }
    m_lower = lowered(m_text);
}

size_t TopicText::lineOf(size_t at) const {
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), at);
    return after == m_starts.begin() ? 0 : size_t(after - m_starts.begin() - 1);
}

void checkEffectMarkers(const TopicText& topic, const std::vector<std::string>& tokens,
                        std::vector<MarkerProblem>& problems) {
    if (tokens.size() < 2 || tokens.front().empty() || tokens.back().empty())
        return;
    const std::string open = lowered(tokens.front());
    const std::string close = lowered(tokens.back());
    const std::vector<size_t> opens = occurrences(topic.lower(), open);
    const std::vector<size_t> closes = occurrences(topic.lower(), close);
    // A closing piece alone is left as it is: the effect applies only when its opening
    // piece stands on the page too.
    if (opens.empty())
        return;
    // Each closing piece closes the latest marker still open before it.
    std::vector<size_t> unclosed;
    std::vector<size_t> stray;
    size_t next = 0;
    for (const size_t at : closes) {
        while (next < opens.size() && opens[next] < at)
            unclosed.push_back(opens[next++]);
        if (unclosed.empty())
            stray.push_back(at);
        else
            unclosed.pop_back();
    }
    while (next < opens.size())
        unclosed.push_back(opens[next++]);
    const std::string marker = "effect marker " + inQuotes(tokens.front());
    for (const size_t at : unclosed)
        problems.push_back({topic.lineOf(at), marker + " is not closed: no " +
                                                  inQuotes(tokens.back()) + " after it"});
    for (const size_t at : stray)
        problems.push_back({topic.lineOf(at), inQuotes(tokens.back()) + " closes no " + marker});
    // Middle pieces are counted only when every marker is closed: an open one misses
    // them anyway.
    if (!unclosed.empty() || !stray.empty())
        return;
    for (size_t k = 1; k + 1 < tokens.size(); ++k) {
        const size_t count = occurrences(topic.lower(), lowered(tokens[k])).size();
        if (count != opens.size())
            problems.push_back({topic.lineOf(opens.front()),
                                marker + " is incomplete: " + std::to_string(opens.size()) +
                                    " marker(s) but " + std::to_string(count) + " " +
                                    inQuotes(tokens[k])});
    }
}

std::vector<PopupUse> popupUses(const TopicText& topic, std::string_view open,
                                std::string_view close) {
    std::vector<PopupUse> uses;
    const std::string lowOpen = lowered(open);
    const std::string lowClose = lowered(close);
    if (lowOpen.empty() || lowClose.empty())
        return uses;
    for (const size_t at : occurrences(topic.lower(), lowOpen)) {
        const size_t from = at + lowOpen.size();
        const size_t end = topic.lower().find(lowClose, from);
        // A reference never spans lines; an open piece without its close is reported
        // by the marker check.
        if (end == std::string::npos || topic.text().find('\n', from) < end)
            continue;
        uses.push_back({topic.text().substr(from, end - from), topic.lineOf(at)});
    }
    return uses;
}

} // namespace qw
