// The programs' own help holds every page that a Help button or menu item can open: the
// page names are collected from the programs' sources (and from the rules that make
// them), never listed by hand.
#include "core/file_names.h"
#include "core/progress.h"
#include "core/project_session.h"
#include "core/sfx_marker.h"
#include "helpgen/options_pages.h"
#include "treegen/tree_rows.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace qw {
namespace {

class QuietHost : public SessionHost {
public:
    Answer showMessage(const std::string&, MessageKind, MessageButtons) override {
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return recorder; }
    RecordingProgress recorder;
};

/// Every quoted "xxx_name.htm" in the sources of the programs and libraries.
std::set<std::string> contextPagesInSources() {
    const std::regex page(R"re("([a-z]{2,4}_[a-z0-9_]+\.htm)")re");
    std::set<std::string> pages;
    for (const char* folder : {"app", "tools", "core", "helpgen", "treegen", "cli"}) {
        const fs::path root = fs::path(QW_SOURCE_DIR) / folder;
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string path = entry.path().string();
            const std::string ext = entry.path().extension().string();
            if (path.find("/tests/") != std::string::npos || (ext != ".cpp" && ext != ".h"))
                continue;
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            const std::string source = text.str();
            for (std::sregex_iterator it(source.begin(), source.end(), page), end; it != end; ++it)
                pages.insert((*it)[1]);
        }
    }
    for (int e = 0; e <= int(SfxEffect::BlockBackgroundImage); ++e)
        pages.insert(sfxHelpPage(SfxEffect(e)));
    for (const OptionsMode mode : {OptionsMode::Project, OptionsMode::Environment})
        for (const std::string& name : optionsPageNames(mode))
            pages.insert(optionsHelpPage(mode, name));
    return pages;
}

TEST(HelpPagesTest, EveryContextPageOfTheProgramsIsInTheHelp) {
    const fs::path config = fs::temp_directory_path() / "qw-help-pages-test.cfg";
    QuietHost host;
    ProjectSession help(host, QW_DATA_DIR, config);
    ASSERT_TRUE(help.openProject(std::string(QW_SOURCE_DIR) + "/docs/help/quirew.qwr"));
    EXPECT_TRUE(host.recorder.errors().empty());
    std::set<std::string> written;
    const TopicTable& table = help.table();
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isTopicRow(r))
            written.insert(table.cell(r, ColFileName));
    for (const std::string& name :
         chapterPageNames(table, FileNameOptions::from(help.environment())))
        written.insert(name);

    const std::set<std::string> wanted = contextPagesInSources();
    EXPECT_GE(wanted.size(), 13u) << "the collection found too little to be trusted";
    for (const std::string& page : wanted)
        EXPECT_TRUE(written.count(page))
            << page << " is opened by the programs but not in the help";
    std::error_code ec;
    fs::remove(config, ec);
}

} // namespace
} // namespace qw
