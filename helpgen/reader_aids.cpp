#include "helpgen/reader_aids.h"

#include "core/text_util.h"

namespace qw {

namespace {

/// True when line holds a "<head" tag (not "<header").
bool holdsHeadTag(const std::string& line) {
    for (size_t at = findNoCase(line, "<head"); at != std::string::npos;
         at = findNoCase(line, "<head", at + 5)) {
        const size_t after = at + 5;
        if (after >= line.size() || line[after] == '>' || line[after] == ' ' ||
            line[after] == '\t')
            return true;
    }
    return false;
}

} // namespace

std::string readerAidsLine(const std::string& back) {
    return "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<script src=\"" +
           back + "qwfind.js\" defer></script>";
}

void addReaderAids(Lines& page, size_t headFirst, const std::string& back) {
    for (size_t i = headFirst; i < page.size(); ++i) {
        if (findNoCase(page[i], "<body") != std::string::npos)
            break;
        if (holdsHeadTag(page[i])) {
            page.insert(page.begin() + long(i) + 1, readerAidsLine(back));
            return;
        }
    }
    page.push_back(readerAidsLine(back));
}

} // namespace qw
