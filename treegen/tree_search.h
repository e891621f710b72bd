#pragma once

#include "treegen/tree_files.h"

#include <cstddef>
#include <string>

namespace qw {

class OutputGuard;

/// The file in the tree directory that holds the search index.
inline constexpr const char* kSearchIndexFile = "qwsearchidx.js";
/// The script of the tree frame that draws the search box and the fold button.
inline constexpr const char* kSearchScript = "qwsearch.js";
/// The script of the frame set that folds the tree frame away on request.
inline constexpr const char* kFrameScript = "qwframe.js";
/// The script of the topic pages that marks the words a search result was found by.
inline constexpr const char* kFindScript = "qwfind.js";

/// The viewport declaration of every page of the browser document.
inline constexpr const char* kViewportMeta =
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";

/// The template tag that stands for the search box in a page of the tree directory.
inline constexpr const char* kSearchBoxTag = "_SearchBox_";

/// The element that puts the search box where it stands; prefix leads from the page to
/// the tree directory.
std::string searchBoxElement(const std::string& prefix = {});

/// Sizes of one index, for the report and the tests.
struct SearchIndexStats {
    size_t pages = 0;      ///< pages indexed
    size_t textBytes = 0;  ///< bytes of the pages read
    size_t indexBytes = 0; ///< bytes of the index written
};

/// Writes the search index of every topic page the tree lists (not hidden ones, not web
/// topics) into the tree directory, reading each page as the page generation wrote it. A
/// page that is missing is found by its title. Throws FileError when a page cannot be
/// read or the index cannot be written.
SearchIndexStats writeSearchIndex(const TreeContext& context, OutputGuard& guard);

/// Copies the search box and frame scripts into the tree directory and the highlighting
/// script into the project directory. A script missing from the program's data is
/// reported through the context's copyFailed.
void copySearchScripts(const TreeContext& context, OutputGuard& guard);

} // namespace qw
