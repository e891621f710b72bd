#include "core/metadata_values.h"

#include "core/file_io.h"
#include "core/text_util.h"
#include "core/topic_table.h"

namespace qw {

namespace {

constexpr int kMetadataColumns[] = {ColTitle,   ColKeyWords, ColFileName, ColIcon,
                                    ColBgImage, ColBgColour, ColRelated};
constexpr std::string_view kKeyTexts[] = {
    "Title=", "KeyWords=", "FileName=", "Icon=", "BgImage=", "BgColour=", "Related="};

} // namespace

namespace {

/// Whether value holds a byte that some problem starts with: a quote, a line end, "<",
/// "=" or the separator's first character. Most values hold none, and one look at each
/// of their bytes settles them.
bool mayHaveProblem(std::string_view value, const std::string& separator) {
    const char first = separator.empty() ? '\'' : separator[0];
    for (const char c : value)
        if (c == '\'' || c == '\r' || c == '\n' || c == '<' || c == '=' || c == first)
            return true;
    return false;
}

} // namespace

std::string metadataValueProblem(std::string_view value, const std::string& separator) {
    if (!mayHaveProblem(value, separator))
        return {};
    if (value.find('\'') != std::string_view::npos)
        return "holds a single quote ('), which would end the value there when the chapter "
               "is read again; write &#39; or \xe2\x80\x99 instead";
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return "holds a line break";
    if (!separator.empty() && value.find(separator) != std::string_view::npos)
        return "holds the topic separator, which would split the chapter's topics";
    // "</BODY" needs a "<" and every key ends with "=": most values hold neither.
    if (value.find('<') != std::string_view::npos && containsNoCase(value, "</BODY"))
        return "holds </BODY>, which would end the chapter's topics there";
    if (value.find('=') != std::string_view::npos)
        for (std::string_view key : kKeyTexts)
            if (containsNoCase(value, key))
                return "holds \"" + std::string(key) + "\", which would be read as that value";
    return {};
}

void checkMetadataValues(const TopicTable& table, const std::string& separator) {
    size_t chapterRow = 0;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r)) {
            chapterRow = r;
            continue;
        }
        for (int column : kMetadataColumns) {
            const std::string problem = metadataValueProblem(table.cell(r, column), separator);
            if (problem.empty())
                continue;
            const std::string chapter =
                chapterRow ? fileNameOf(table.cell(chapterRow, ColMainFileName)) : "";
            throw FileError("Not saved: row " + std::to_string(r) + " of " + chapter + " (" +
                            table.displayTitle(r) + "), " +
                            std::string(columnTitles()[size_t(column)]) + " " + problem);
        }
    }
}

} // namespace qw
