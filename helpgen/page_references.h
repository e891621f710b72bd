#pragma once

#include "core/file_io.h"

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qw {

/// The local references of one line of HTML: the values of src, href, background,
/// lowsrc, dynsrc and data attributes and of CSS url(...), as written. Addresses with a
/// scheme ("http:", "mailto:", "javascript:"), fragments of the same page ("#top") and
/// empty values are left out.
std::vector<std::string> localReferences(std::string_view line);

/// Collects the local files that generated pages refer to, so that the help project can
/// list what the compiler would not find by itself (background images, files named
/// only in style sheets or scripts), and the references that lead nowhere.
class PageReferences {
public:
    explicit PageReferences(std::filesystem::path projectDir);

    /// Notes the references of a page that lies in chapterFolder ("" or "sub/"). A page
    /// that uses pop-up texts also needs the project's "TxPopups.js".
    void scan(const Lines& page, std::string_view chapterFolder, std::string_view pageName);
    /// scan for a page given as its text: lines each ended by CR LF (or by LF alone).
    /// ownPages are values the caller wrote itself as links to topic pages of the run in
    /// the same folder (the neighbouring pages): a plain one is known to be listed and
    /// needs no lookup. The bytes from skipBegin to skipEnd (whole lines the caller
    /// generated and knows to name no file) are not scanned.
    void scanText(std::string_view text, std::string_view chapterFolder, std::string_view pageName,
                  std::span<const std::string_view> ownPages = {}, size_t skipBegin = 0,
                  size_t skipEnd = 0);

    /// Files the help project lists whatever the pages say (the topic pages of the run):
    /// lower-case paths relative to the project directory with "/". References to them
    /// are neither kept nor looked up, which spares a large project a note for every
    /// link from page to page.
    void setListed(std::unordered_set<std::string> files) {
        m_listed = std::move(files);
        m_knowsListed = true;
    }
    bool knowsListed() const { return m_knowsListed; }

    /// Looks up every file noted that known (lower-case paths relative to the project
    /// directory, such as the topic pages) does not hold: call once after the pages and
    /// the other generated files are written, as pages refer to pages written after them.
    void resolve(const std::unordered_set<std::string>& known = {});

    /// The files that exist and known did not hold, relative to the project directory with "/", in
    /// the order first met.
    const std::vector<std::string>& files() const { return m_files; }
    /// One text per missing file: the page that names it first and the reference.
    const std::vector<std::string>& missing() const { return m_missing; }

private:
    void note(std::string_view chapterFolder, std::string_view pageName, std::string_view value);
    std::filesystem::path m_projectDir;
    static constexpr size_t kPageValues = 32;
    std::vector<std::string_view> m_pageValues; ///< values met on the page being scanned
    std::vector<size_t> m_equals, m_opens;      ///< "=" and "(" of the line being scanned
    std::string m_key;                        ///< folder + value being noted
    std::array<std::string, 16> m_recent;     ///< the keys noted last
    size_t m_lastRecent = 0;                  ///< the entry of m_recent written last
    std::unordered_set<std::string> m_seen;   ///< folder + value as written: noted already
    std::unordered_set<std::string> m_noted;  ///< lower-case file: noted already
    std::unordered_set<std::string> m_listed; ///< lower-case files listed anyway
    bool m_knowsListed = false;
    std::string m_normal; ///< the key normalised, when it needs it
    std::string m_lower;  ///< the relative path in lower case
    struct Pending {
        std::string relative;
        std::string because; ///< page and reference, for the warning
    };
    std::vector<Pending> m_pending;
    std::vector<std::string> m_files;
    std::vector<std::string> m_missing;
};

} // namespace qw
