#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// What an attribute value names.
enum class ReferenceKind {
    Link,   ///< href: a page (or any file) the reader goes to
    File,   ///< src, background, lowsrc, dynsrc, data and CSS url(): a file the page shows
    Bitmap, ///< a help control's button picture, PARAM value="Bitmap:file"
};

struct LineReference {
    std::string value; ///< as written (for Bitmap, without its "Bitmap:" prefix)
    ReferenceKind kind;
};

/// Reads the tags of HTML line by line: appends the references of each line to refs and,
/// when anchors is not null, the values of its id and name attributes to anchors. Only
/// attributes inside tags count (a tag may go on over several lines; text and comments
/// are skipped), but CSS url() values count wherever they stand. An unquoted value ends
/// at a blank or ">".
class HtmlScanner {
public:
    void scanLine(std::string_view line, std::vector<LineReference>& refs,
                  std::vector<std::string>* anchors);

private:
    void attribute(std::string_view name, std::string_view value, std::vector<LineReference>& refs,
                   std::vector<std::string>* anchors) const;
    enum class State { Text, Tag, Comment };
    State m_state = State::Text;
    char m_quote = 0; ///< the quote of a tag's value that goes on past the line's end
};

/// One line read on its own (it starts outside any tag).
void scanLine(std::string_view line, std::vector<LineReference>& refs,
              std::vector<std::string>* anchors);

/// Where a reference leads.
enum class TargetKind {
    Ignored,  ///< empty, another scheme (http:, mailto:, javascript:) or a script expression
    SamePage, ///< "#fragment" only
    Local,    ///< a path relative to the page
    Absolute, ///< "/x", "C:\x", "file:" ...: never packed into the compiled document
};

struct Target {
    TargetKind kind = TargetKind::Ignored;
    std::string path;     ///< Local: percent-decoded, "/" separators; Absolute: as written
    std::string fragment; ///< after "#", may be empty
};

/// Classifies a reference value as written in a page.
Target classifyReference(std::string_view value);

} // namespace qw
