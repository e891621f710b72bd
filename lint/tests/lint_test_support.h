#pragma once

// A temporary project folder, a session over it, and the project built for the link check
// with one case of each finding.

#include "core/file_io.h"
#include "core/progress.h"
#include "core/project_session.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace qw::linttest {

namespace fs = std::filesystem;

/// A fresh folder holding the project folder "proj" (whose name has a blank), removed
/// with its contents.
class TempProject {
public:
    TempProject() {
        std::random_device rd;
        m_root =
            fs::temp_directory_path() / ("qw-lint " + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_root / "my proj");
        fs::create_directories(m_root / "data");
        // A data folder of its own, so that the configuration file lands here.
        fs::create_directory_symlink(fs::path(QW_DATA_DIR) / "xFiles", m_root / "data" / "xFiles");
    }
    ~TempProject() {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    TempProject(const TempProject&) = delete;
    TempProject& operator=(const TempProject&) = delete;

    const fs::path& root() const { return m_root; }
    fs::path dir() const { return m_root / "my proj"; }
    fs::path dataDir() const { return m_root / "data"; }
    /// Writes a file below the project folder (lines joined by CR LF) and returns its path.
    std::string write(const std::string& relative, const std::vector<std::string>& lines) const {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line + "\r\n";
        const fs::path full = m_root / "my proj" / relative;
        fs::create_directories(full.parent_path());
        writeFileBytes(full, bytes);
        return full.string();
    }

private:
    fs::path m_root;
};

class QuietHost : public SessionHost {
public:
    Answer showMessage(const std::string& text, MessageKind, MessageButtons) override {
        messages.push_back(text);
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return recorder; }
    std::vector<std::string> messages;
    RecordingProgress recorder;
};

inline const std::string kSep(50, '-');

/// The metadata block of a topic: opening line, items, closing line.
inline std::vector<std::string> block(const std::string& items) {
    return {kSep + "<font size=\"-2\"><br>", items, "<br></font>" + kSep};
}

/// Writes the project that holds one case of each finding the check makes, and returns
/// the project file's path. Line numbers of the chapters are given in the comments.
inline std::string writeBrokenProject(const TempProject& p) {
    std::vector<std::string> guide = {
        "<html>",                                                                          // 1
        "<head><title>_Title_</title><link rel=\"stylesheet\" href=\"style.css\"></head>", // 2
        "<body background=\"_BgImage_\">"};                                                // 3
    for (const std::string& line :
         block("Title='Start' <!-- FileName='start.htm' - Related='Next steps;sub/next.htm, "
               "Gone;gone.htm'-->")) // 4-6
        guide.push_back(line);
    const std::vector<std::string> first = {
        "<p id=\"top\">See <a href=\"sub/next.htm#usage\">usage</a> and <a "
        "href=\"sub/next.htm#nowhere\">nowhere</a>.</p>", // 7
        "<p><a href=\"missing.htm\">x</a> <img src=\"images/logo.gif\"> <img "
        "src='images/none.gif'></p>", // 8
        "<p><a href=\"sub/more.htm\">chapter</a> <a href=\"#top\">top</a> <a "
        "href=\"#bottom\">b</a></p>", // 9
        "<p>[*ebb*]Ebb(*), [*nothere*]x(*), <img src=\"../outside.gif\"> <a "
        "href=\"http://example.com/\">web</a> <img src=\"C:\\pics\\x.gif\"></p>"}; // 10
    guide.insert(guide.end(), first.begin(), first.end());
    for (const std::string& line : block(
             "Title='start' <!-- FileName='start2.htm' - BgImage='images/paper.gif' -->")) // 11-13
        guide.push_back(line);
    const std::vector<std::string> second = {
        "<p>[SW 'gone.htm', '', 'width=300, height=200' SW]Window(SW)</p>",          // 14
        "<p>[*ebb*]Ebb tide, never closed</p>",                                      // 15
        "<p>[SC \"Bitmap:images/logo.gif\" SCPATH=\",calc.exe,\" SC]</p>",           // 16
        "<p><a href=\"Sub/Next.htm\">case</a> <a href=\"start.htm#top\">ok</a></p>", // 17
        "</body>",                                                                   // 18
        "</html>"};
    guide.insert(guide.end(), second.begin(), second.end());
    p.write("guide.htm", guide);

    std::vector<std::string> more = {"<html><head><title>_Title_</title></head>", "<body>"};
    for (const std::string& line : block("Title='Next' <!-- FileName='next.htm' -->")) // 3-5
        more.push_back(line);
    more.push_back("<h2 id=\"usage\">Usage</h2> <a href=\"../start.htm\">back</a> <a "
                   "href=\"start.htm\">wrong folder</a>"); // 6
    more.push_back("</body></html>");
    p.write("sub/more.htm", more);

    p.write("TxPopups.js", {"MyFont=\"Helvetica,10,,italic\"", "ebb=\"Falling tide\"",
                            "unused=\"Never shown\"", "1st=\"Bad reference\""});
    p.write("style.css", {"body { background: url(images/bg.png); }",
                          "h1 { background: url('images/lost.png') }"});
    p.write("images/bg.png", {"PNG"});
    p.write("images/logo.gif", {"GIF89a"});
    writeFileBytes(p.root() / "outside.gif", "GIF89a");
    return p.write("broken.qwr", {"[CHAPTER_FILES]", "NumOfChapters=2", "ChapterTitle0=Guide",
                                  "ChapterFileName0=guide.htm", "ChapterTitle1=More",
                                  "ChapterFileName1=sub\\more.htm", "[PROJECT_PROPERTIES]",
                                  "TitleBarText=Broken", "AdditonalFiles=TxPopups.js"});
}

/// What the check finds in the project of writeBrokenProject, formatted.
inline std::vector<std::string> brokenProjectFindings() {
    return {
        "guide.htm:5: error: related topic \"Gone\" points to \"gone.htm\", which is no topic page",
        "guide.htm:7: error: link to \"sub/next.htm#nowhere\", whose page has no anchor "
        "\"nowhere\"",
        "guide.htm:8: error: link to \"missing.htm\", which is no topic page and no file",
        "guide.htm:8: error: file \"images/none.gif\", which does not exist",
        "guide.htm:9: error: link to the chapter file \"sub/more.htm\" instead of one of its topic "
        "pages",
        "guide.htm:9: error: link to \"#bottom\", whose page has no anchor \"bottom\"",
        "guide.htm:10: warning: \"../outside.gif\" lies outside the project folder: the .chm will "
        "not hold it",
        "guide.htm:10: warning: \"C:\\pics\\x.gif\" is an absolute path: the .chm will not hold it",
        "guide.htm:10: error: pop-up \"nothere\" is not in TxPopups.js",
        "guide.htm:12: warning: duplicate title \"start\", also used at guide.htm:5",
        "guide.htm:12: error: file \"images/paper.gif\", which does not exist",
        "guide.htm:14: error: link to \"gone.htm\", which is no topic page and no file",
        "guide.htm:15: error: effect marker \"[*\" is not closed: no \"(*)\" after it",
        "guide.htm:16: warning: button picture \"images/logo.gif\" is not among the additional "
        "files: the .chm will not hold it",
        "guide.htm:17: warning: \"Sub/Next.htm\" differs in letter case from the topic page "
        "\"sub/next.htm\"",
        "sub/more.htm:6: error: link to \"start.htm\", which is no topic page and no file",
        "style.css:1: warning: \"images/bg.png\" is named only in a style sheet: the .chm will "
        "not hold it unless it is among the additional files",
        "style.css:2: error: file \"images/lost.png\", which does not exist",
        "TxPopups.js:3: warning: pop-up \"unused\" is never used",
        "TxPopups.js:4: error: pop-up reference \"1st\" cannot be read by the pages' script",
        "TxPopups.js:4: warning: pop-up \"1st\" is never used",
    };
}

} // namespace qw::linttest
