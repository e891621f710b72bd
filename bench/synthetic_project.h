#pragma once

// Writes a synthetic project for the benchmarks: chapters x topics, each topic with its
// metadata block and about twenty content lines of realistic HTML.

#include "core/file_io.h"

#include <filesystem>
#include <string>

namespace qw::bench {

struct SyntheticProject {
    std::filesystem::path projectFile;
    size_t bytes = 0; ///< total size of the chapter files
};

inline SyntheticProject writeSyntheticProject(const std::filesystem::path& dir, int chapters,
                                              int topics, int linesPerTopic = 20) {
    namespace fs = std::filesystem;
    fs::create_directories(dir);
    const std::string sep(50, '-');
    SyntheticProject result;
    std::string qwr = "[CHAPTER_FILES]\r\nNumOfChapters=" + std::to_string(chapters) + "\r\n";
    for (int c = 0; c < chapters; ++c) {
        const std::string sub = c % 10 == 0 ? "" : "part" + std::to_string(c % 10) + "/";
        const std::string name = sub + "chapter" + std::to_string(c) + ".htm";
        qwr += "ChapterTitle" + std::to_string(c) + "=Chapter " + std::to_string(c) + "\r\n";
        qwr += "ChapterFileName" + std::to_string(c) + "=" + toBackslashes(name) + "\r\n";
        std::string text = "<html>\r\n<head>\r\n<title>_Title_</title>\r\n</head>\r\n"
                           "<body bgcolor=\"#FFFFFF\" background=\"_BgImage_\">\r\n\r\n";
        // Every line links to a page of its own chapter's folder, so that no link of a
        // chapter in a sub-folder points at a page that is not there.
        const std::string link =
            "c" + std::to_string(c) + "_" + std::to_string(topics > 1 ? 1 : 0) + ".htm";
        for (int t = 0; t < topics; ++t) {
            const std::string id = std::to_string(c) + "_" + std::to_string(t);
            text += sep + "<font size=\"-2\"><br>\r\nTitle='Topic " + id +
                    "#Hint for topic " + id + "' <br>KeyWords='alpha, beta" + id +
                    " ' <!-- FileName='c" + id + ".htm' - Icon='" + std::to_string(t % 42) +
                    "' - BgImage='' - BgColour='$FFFFFF' - Related='Topic 0;c" +
                    std::to_string(c) + "_0.htm'--> \r\n<br></font>" + sep + "\r\n";
            text += "<h1>Topic " + id + "</h1>\r\n";
            for (int l = 1; l < linesPerTopic; ++l)
                text += "<p>Line " + std::to_string(l) +
                        " of this topic describes the <b>tide tables</b> &amp; the station "
                        "list in some detail, with a <a href=\"" +
                        link + "\">link</a> here.</p>\r\n";
        }
        text += "</body>\r\n</html>\r\n";
        result.bytes += text.size();
        const fs::path path = dir / name;
        fs::create_directories(path.parent_path());
        writeFileBytes(path, text);
    }
    qwr += "[PROJECT_PROPERTIES]\r\nTitleBarText=Synthetic manual\r\nDefaultPage=c0_0.htm\r\n";
    result.projectFile = dir / "synthetic.qwr";
    writeFileBytes(result.projectFile, qwr);
    return result;
}

} // namespace qw::bench
