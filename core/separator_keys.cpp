#include "core/separator_keys.h"

namespace qw {

std::vector<std::string> separatorButtonTexts(std::string_view separator, bool withKeywords) {
    const std::string lineBreak = "{!\xC2\xA3Return$}";
    const std::string up = "\xC2\xA3Up$";
    std::vector<std::string> texts = {std::string(separator), lineBreak, "Title=''"};
    if (withKeywords) {
        texts.push_back(lineBreak);
        texts.push_back("Keywords=''");
    }
    texts.push_back(lineBreak);
    texts.emplace_back(separator);
    texts.push_back("{\xC2\xA3Return$}");
    texts.push_back(up);
    if (withKeywords)
        texts.push_back(up);
    texts.push_back("\xC2\xA3Left$\xC2\xA3Left$");
    return texts;
}

} // namespace qw
