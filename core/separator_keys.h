#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// What the SFX toolbar's separator buttons type, as key sender texts in typing order:
/// the separator S, a line break (Shift+Enter), "Title=''", for the second button a line
/// break and "Keywords=''", a line break, S and a new paragraph (Enter); then the caret
/// keys that put the caret between the apostrophes of "Title=''". The first text is
/// typed alone so that a missing target window is noticed before anything else.
std::vector<std::string> separatorButtonTexts(std::string_view separator, bool withKeywords);

} // namespace qw
