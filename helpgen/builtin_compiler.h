#pragma once

#include "chmwrite/chm_writer.h"
#include "core/file_io.h"

#include <functional>
#include <string>
#include <vector>

namespace qw {

/// What the built-in compiler gathered from a help project file.
struct HelpProjectContents {
    chm::DocumentOptions options;
    std::vector<chm::WindowDefinition> windows;
    std::vector<std::string> files; ///< [FILES], "/" separators, relative to the project
};

/// Reads the options, window definitions and file list of a help project file.
HelpProjectContents readHelpProject(const Lines& helpProject);

/// One [WINDOWS] line ("Main=\"caption\",\"toc.hhc\",...,[l,t,r,b],...") as a window type.
chm::WindowDefinition parseWindowDefinition(const std::string& line);

/// The files a page refers to by src=, href= or background= that are inside the
/// document (no scheme, no absolute path), relative to the page's folder, without
/// anchors.
std::vector<std::string> pageReferences(const std::string& html);

/// The pages and pictures a contents or index file names ("Local" and "ImageList" values)
/// that are inside the document, without anchors.
std::vector<std::string> sitemapReferences(const std::string& sitemap);

/// Compiles "<base>.hhp" into "<base>.chm" (whatever its "Compiled file" says): every listed file,
/// the contents and index files, the window files and the files pages refer to, found in the
/// project folder. Writes the messages to "<base>_log.txt" in the form the outside compilers give;
/// step(text) is called before each step. Returns false with the reason in error when the document
/// could not be written.
bool compileBuiltIn(const std::string& base, std::string& error,
                    const std::function<void(const std::string&)>& step = {});

} // namespace qw
