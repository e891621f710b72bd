#pragma once

#include <string>
#include <string_view>

namespace qw {

struct FileNameOptions;

/// The title that a topic's file name is made from. A title of which the file-name rule
/// keeps a letter is returned unchanged (so its name stays as it always was); one of
/// which it keeps no letter (Cyrillic, Greek, Chinese, ...) is returned in Latin letters,
/// transliterated, so "Введение" gives "Vvedenie" and "Глава 2" "Glava 2" rather than an
/// empty name or "_2" shared by every chapter's second topic.
std::string latinTitle(std::string_view title, const FileNameOptions& options);

} // namespace qw
