#pragma once

#include "core/file_io.h"

#include <string>
#include <utility>
#include <vector>

namespace qw {

/// One attribute of a tag, the name in lower case, the value without its quotes.
using TagAttribute = std::pair<std::string, std::string>;

/// The attributes of a tag's text from its name to its closing ">" (either included).
std::vector<TagAttribute> parseTagAttributes(std::string_view tag);

/// Makes the page's <body> tag bare for a compiler whose full-text indexer skips pages
/// whose body tag has attributes. Colours, background, margins and the style attribute
/// become rules of a style element put before "</head>" (before the body tag when the
/// page has no head end); any other attribute (class, id, event handlers) is set by a
/// script right after the body tag. The page looks as before and its words are indexed.
/// A body tag spread over several lines is joined into one. Returns false, with the
/// page unchanged, when the page has no body tag or its tag is already bare.
bool moveBodyAttributesToStyle(Lines& page);

} // namespace qw
