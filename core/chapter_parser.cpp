#include "core/chapter_parser.h"

#include "core/environment_settings.h"
#include "core/file_names.h"
#include "core/latin_title.h"
#include "core/progress.h"
#include "core/text_util.h"

#include <algorithm>
#include <cstring>

namespace qw {

namespace {

constexpr std::string_view kKeys[] = {
    "Title=", "FileName=", "Icon=", "BgImage=", "BgColour=", "Keywords=", "Related="};
constexpr int kKeyColumns[] = {ColTitle,    ColFileName, ColIcon,   ColBgImage,
                               ColBgColour, ColKeyWords, ColRelated};

bool isKnownColour(const std::string& colour) {
    return !colour.empty() && (colour[0] == '$' || startsWith(colour, "cl"));
}

void completeValues(Row& row, int k, const std::string& chapterPath, const ParseOptions& o) {
    std::string& title = row[ColTitle];
    std::string& name = row[ColFileName];
    if (trim(title).empty() && trim(name).empty())
        title = baseNameOf(chapterPath) + "_" + std::to_string(k + 1);
    if (title.empty())
        title = baseNameOf(name);
    if (name.empty()) {
        const FileNameOptions fn{o.lcaseTopicFN, o.convertSpaces, o.addFilePrefix};
        name = fileNameRule(chapterPrefix(chapterPath, fn) + latinTitle(title, fn) + ".htm", fn);
    }
    if (!isKnownColour(row[ColBgColour]))
        row[ColBgColour] = o.defaultBgColour;
    int icon = toIntDef(row[ColIcon], o.defaultTopicIcon);
    if (icon > o.maxIconIndex) {
        icon = o.defaultTopicIcon;
        if (icon > o.maxIconIndex)
            icon = o.maxIconIndex;
    }
    row[ColIcon] = std::to_string(icon);
}

} // namespace

ParseOptions ParseOptions::from(const EnvironmentSettings& env, int maxIconIndex) {
    ParseOptions o;
    o.separator = env.topicSeparator;
    o.defaultBgColour = env.defaultBgColour;
    o.defaultTopicIcon = std::min(env.defaultTopicIcon, maxIconIndex);
    o.maxIconIndex = maxIconIndex;
    o.addFilePrefix = env.addFilePrefix;
    o.lcaseTopicFN = env.lcaseTopicFN;
    o.convertSpaces = env.convertSpaces;
    return o;
}

namespace {

/// Whether the line holds "</BODY>" in any case; looks only at each "</".
bool hasBodyEnd(std::string_view line) {
    for (size_t at = line.find("</"); at != std::string_view::npos; at = line.find("</", at + 2))
        if (equalsNoCase(line.substr(at + 2, 5), "BODY>"))
            return true;
    return false;
}

} // namespace

ChapterLayout scanChapter(const std::vector<std::string_view>& lines,
                          const std::string& separator) {
    ChapterLayout layout;
    layout.bodyEndLine = long(lines.size()) - 1;
    bool opening = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (hasBodyEnd(line))
            layout.bodyEndLine = long(i) - 1;
        if (separator.empty() || line.find(separator) == std::string::npos)
            continue;
        if (layout.separators == 2 * kMaxTopicsPerChapter) {
            layout.separators = TooManyTopics;
            return layout;
        }
        (opening ? layout.openings : layout.closings).push_back(i);
        opening = !opening;
        ++layout.separators;
    }
    return layout;
}

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

/// The start of every "</body>" (any case) of text, in order: found by its "y", which
/// text holds far less often than "<" or "/".
std::vector<size_t> bodyEnds(std::string_view text) {
    constexpr std::string_view kEnd = "</body>";
    std::vector<size_t> found;
    const auto next = [&](char c, size_t from) {
        const void* hit =
            from < text.size() ? std::memchr(text.data() + from, c, text.size() - from) : nullptr;
        return hit ? size_t(static_cast<const char*>(hit) - text.data()) : text.size();
    };
    size_t lower = next('y', 5), upper = next('Y', 5);
    while (std::min(lower, upper) < text.size()) {
        const size_t y = std::min(lower, upper);
        if (y + 2 <= text.size()) {
            size_t i = 0;
            while (i < kEnd.size() && lowerAscii(text[y - 5 + i]) == kEnd[i])
                ++i;
            if (i == kEnd.size())
                found.push_back(y - 5);
        }
        (y == lower ? lower : upper) = next(text[y], y + 1);
    }
    return found;
}

/// The line of lines (views into text, in order) that holds text position at, searching
/// on from line; lines.size() when none does.
size_t lineAt(std::string_view text, const std::vector<std::string_view>& lines, size_t at,
              size_t line) {
    while (line < lines.size() &&
           size_t(lines[line].data() - text.data()) + lines[line].size() <= at)
        ++line;
    return line;
}

} // namespace

ChapterLayout scanChapterText(std::string_view text, const std::vector<std::string_view>& lines,
                              const std::string& separator) {
    // Line numbers of the body ends and of the lines holding a separator (each once),
    // then walked in line order as scanChapter walks the lines.
    std::vector<size_t> ends;
    for (size_t at : bodyEnds(text))
        if (const size_t line = lineAt(text, lines, at, ends.empty() ? 0 : ends.back());
            line < lines.size() && (ends.empty() || ends.back() != line))
            ends.push_back(line);
    std::vector<size_t> marked;
    // No line holds a line break, so a separator with one is in none of them.
    if (!separator.empty() && separator.find_first_of("\r\n") == std::string::npos) {
        for (size_t at = text.find(separator), line = 0; at != std::string_view::npos;) {
            line = lineAt(text, lines, at, line);
            if (line == lines.size())
                break;
            marked.push_back(line);
            if (++line == lines.size())
                break;
            at = text.find(separator, size_t(lines[line].data() - text.data()));
        }
    }
    ChapterLayout layout;
    layout.bodyEndLine = long(lines.size()) - 1;
    size_t end = 0;
    bool opening = true;
    for (size_t line : marked) {
        for (; end < ends.size() && ends[end] <= line; ++end)
            layout.bodyEndLine = long(ends[end]) - 1;
        if (layout.separators == 2 * kMaxTopicsPerChapter) {
            layout.separators = TooManyTopics;
            return layout;
        }
        (opening ? layout.openings : layout.closings).push_back(line);
        opening = !opening;
        ++layout.separators;
    }
    for (; end < ends.size(); ++end)
        layout.bodyEndLine = long(ends[end]) - 1;
    return layout;
}

namespace {

/// The value of key in block when the key starts at at (npos: not there).
std::string valueAt(std::string_view block, std::string_view key, size_t at) {
    if (at == std::string_view::npos)
        return {};
    const size_t open = block.find('\'', at + key.size());
    if (open == std::string_view::npos)
        return {};
    const size_t close = block.find('\'', open + 1);
    if (close == std::string_view::npos)
        return {};
    return trim(block.substr(open + 1, close - open - 1));
}

} // namespace

std::string metadataValue(std::string_view block, std::string_view key) {
    return valueAt(block, key, findNoCase(block, key));
}

std::vector<std::string> metadataValues(std::string_view block,
                                        std::span<const std::string_view> keys) {
    // Every occurrence of a key ends at an "=", and occurrences of one key are all of one
    // length: the first "=" that ends one is the key's first occurrence.
    constexpr size_t npos = std::string_view::npos;
    std::vector<size_t> at(keys.size(), npos);
    size_t open = 0;
    for (size_t k = 0; k < keys.size(); ++k) {
        if (keys[k].empty() || keys[k].back() != '=')
            at[k] = findNoCase(block, keys[k]);
        else
            ++open;
    }
    for (size_t eq = block.find('='); eq != npos && open > 0; eq = block.find('=', eq + 1)) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const std::string_view key = keys[k];
            if (at[k] != npos || key.empty() || key.back() != '=' || eq + 1 < key.size() ||
                !equalsNoCase(block.substr(eq + 1 - key.size(), key.size()), key))
                continue;
            at[k] = eq + 1 - key.size();
            --open;
        }
    }
    std::vector<std::string> values;
    values.reserve(keys.size());
    for (size_t k = 0; k < keys.size(); ++k)
        values.push_back(valueAt(block, keys[k], at[k]));
    return values;
}

int parseChapter(const std::string& path, TopicTable& table, const ParseOptions& options) {
    // The state is taken before the text: a change while reading shows as a change later.
    const FileState state = fileState(path);
    std::string bytes = readFileBytes(path);
    std::vector<uint32_t> starts;
    const int result = parseChapterText(bytes, path, table, options, &starts);
    if (result > 0)
        table.sources().keep(path, std::move(bytes), state, std::move(starts));
    return result;
}

int parseChapterText(std::string_view bytes, const std::string& path, TopicTable& table,
                     const ParseOptions& options, std::vector<uint32_t>* starts) {
    // The line list's memory is kept for the next chapter of the load, unless an
    // unusually long chapter made it large.
    thread_local std::vector<std::string_view> lines;
    struct KeepSmall {
        ~KeepSmall() {
            if (lines.capacity() > 65536)
                lines = {};
        }
    } keepSmall;
    splitLineViews(bytes, lines);
    const ChapterLayout layout = scanChapterText(bytes, lines, options.separator);
    if (layout.separators == NoSeparators || layout.separators == TooManyTopics)
        return layout.separators;
    if (layout.separators % 2 != 0)
        return UnevenSeparators;
    const size_t n = size_t(layout.separators / 2);

    std::vector<Row> rows(n + 1);
    rows[0][ColMarker] = std::string(kChapterMarker);
    rows[0][ColTitle] = baseNameOf(path);
    rows[0][ColMainFileName] = path;
    std::string block;
    for (size_t k = 0; k < n; ++k) {
        Row& row = rows[k + 1];
        block.clear();
        for (size_t i = layout.openings[k]; i <= layout.closings[k]; ++i) {
            block += lines[i];
            block += ' ';
        }
        std::vector<std::string> values = metadataValues(block, kKeys);
        for (size_t key = 0; key < std::size(kKeys); ++key)
            row[size_t(kKeyColumns[key])] = std::move(values[key]);
        completeValues(row, int(k), path, options);
        row[ColStartLine] = std::to_string(layout.closings[k] + 1);
        const long end = k + 1 < n ? long(layout.openings[k + 1]) - 1 : layout.bodyEndLine;
        row[ColEndLine] = std::to_string(end);
        row[ColMainFileName] = path;
    }
    table.appendChapterRows(std::move(rows));
    if (starts != nullptr)
        *starts = lineStarts(bytes, lines);
    return int(n);
}

std::string chapterErrorText(int result, const std::string& path) {
    const std::string name = fileNameOf(path);
    switch (result) {
    case NoSeparators:
        return "No Valid Topic Separators: " + name;
    case TooManyTopics:
        return "Max Number Of Files Exceded";
    case UnevenSeparators:
        return "Uneven No. Of Topic Separators: " + name;
    case ChapterNotFound:
        return "File Not Found: " + name;
    case DuplicateChapter:
        return "Duplicate File: " + name;
    case OutsideProject:
        return "File Outside Project Folder: " + path; // the stored name says where it points
    default:
        return {};
    }
}

int loadChapter(const std::string& path, TopicTable& table, const ParseOptions& options,
                ProgressReporter& progress) {
    int result;
    if (table.isChapterPresent(path))
        result = DuplicateChapter;
    else if (!fileExists(path))
        result = ChapterNotFound;
    else
        result = parseChapter(path, table, options);
    if (result > 0)
        table.updateCounts(result, 1);
    else
        progress.addError(chapterErrorText(result, path));
    progress.step();
    return result;
}

} // namespace qw
