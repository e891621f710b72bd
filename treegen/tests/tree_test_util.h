#pragma once

#include "core/project_settings.h"
#include "core/safe_output.h"
#include "core/tests/test_util.h"
#include "core/topic_table.h"
#include "treegen/tree_files.h"

#include <memory>
#include <string>
#include <vector>

namespace qw::test {

inline Row chapter(const std::string& title, const std::string& mainFile) {
    Row r;
    r[ColMarker] = " >";
    r[ColTitle] = title;
    r[ColMainFileName] = mainFile;
    return r;
}

inline Row topic(const std::string& title, const std::string& file, const std::string& icon,
                 const std::string& mainFile) {
    Row r;
    r[ColTitle] = title;
    r[ColFileName] = file;
    r[ColIcon] = icon;
    r[ColMainFileName] = mainFile;
    return r;
}

/// A temporary project directory with a data directory holding one icon set and a few
/// item icons, a table and settings, and the context a tree run reads.
struct TreeFixture {
    TempDir tmp;
    std::string projectDir = tmp.dir() + "proj/";
    std::filesystem::path dataDir = tmp.path() / "data";
    TopicTable table;
    ProjectSettings settings;
    TreeOptions options;
    int copyFailures = 0;

    TreeFixture() {
        std::filesystem::create_directories(projectDir);
        table.setProjectDir(projectDir);
        for (const char* name : {"plus.gif", "minus.gif", "treetop.gif", "aboutqwr.gif"})
            tmp.write(std::string("data/Icons/Folders/") + name, "GIF89a");
        tmp.write("data/Icons/Folders/notes.txt", "not an image");
        for (int i = 0; i < 12; ++i)
            tmp.write("data/Icons/Items/icon_" + std::to_string(i) + ".gif", "GIF89a");
        settings.titleBarText = "My Help";
        settings.pages.defaultPage = "start.htm";
    }

    std::string file(const std::string& name) const { return projectDir + name; }

    /// One guard for every run of a test, made at the first run (after the chapters are
    /// in the table), so that a later run may replace what an earlier one wrote.
    OutputGuard& guard() {
        if (!m_guard)
            m_guard = std::make_unique<OutputGuard>(table);
        return *m_guard;
    }

    TreeContext context() {
        return TreeContext{table,
                           settings,
                           FileNameOptions{},
                           options,
                           TreeValues::derive(options, projectDir, dataDir),
                           [this] { ++copyFailures; }};
    }

private:
    std::unique_ptr<OutputGuard> m_guard;
};

} // namespace qw::test
