#include "core/chapter_template.h"

#include "core/environment_settings.h"
#include "core/text_util.h"
#include "core/topic_table.h"

namespace qw {

std::filesystem::path newTopicTemplatePath(const std::filesystem::path& dataDir) {
    return dataDir / "xFiles" / "newtopic.tem";
}

size_t ensureNewTopicTemplate(const std::filesystem::path& path) {
    if (!fileExists(path)) {
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        writeLines(path, {"<P>", "[[TOPIC HERE]]<BR>", "<P>"});
    }
    return readLines(path).size();
}

Lines newChapterLines(const EnvironmentSettings& env) {
    return {"<HTML>",
            "<HEAD>",
            "<TITLE>" + env.replaceTitleText + "</TITLE>",
            "<!-- VELUM_HeadVar -->",
            "</HEAD>",
            "<BODY BGCOLOR=\"" + env.replaceColorText + "\" BACKGROUND=\"" + env.replaceBgImgText +
                "\" QUIREW_BODY=\"\">",
            "",
            "</BODY></HTML>"};
}

void writeNewChapterFile(TopicTable& table, const std::string& path,
                         const EnvironmentSettings& env) {
    std::string bytes;
    for (const std::string& line : newChapterLines(env))
        bytes += line + "\r\n";
    writeFileBytes(path, bytes);
    table.sources().keep(path, std::move(bytes), fileState(path));
}

int newChapterTopicCount(std::string_view text) {
    long long value = 0;
    if (!parseInt(text, value) || value < 1 || value > 90)
        return 1;
    return int(value);
}

std::string chapterFileInProject(const std::string& chosen, const std::string& projectDir) {
    if (projectDir.empty() || !startsWith(chosen, projectDir) || chosen.size() == projectDir.size())
        return {};
    if (!isHtmlFileName(chosen))
        return {};
    return chosen.substr(projectDir.size());
}

bool isHtmlFileName(std::string_view name) {
    return endsWithNoCase(name, ".htm") || endsWithNoCase(name, ".html");
}

std::string chapterNameFromFile(const std::string& file) {
    const std::string name = fileNameOf(file);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace qw
