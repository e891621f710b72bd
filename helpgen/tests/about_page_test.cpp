#include "helpgen/about_page.h"

#include "core/safe_output.h"

#include "page_test_support.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

using test::TempProject;
namespace fs = std::filesystem;

TEST(AboutPageTest, WritesPageAndCopiesLogo) {
    TempProject project("about");
    fs::create_directories(project.dir() / "data");
    writeFileBytes(project.dir() / "data" / "quirew.gif", std::string("GIF89a\0\x01", 8));
    OutputGuard guard(project.table());
    const auto written = writeAboutPage(guard, project.dir() / "data");
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(readFileBytes(project.dir() / "quirew.gif"), std::string("GIF89a\0\x01", 8));
    test::expectMatchesGolden(project.dir() / "aboutjmp.htm", "about.golden");
}

TEST(AboutPageTest, MissingLogoIsSkipped) {
    TempProject project("about_nologo");
    OutputGuard guard(project.table());
    const auto written = writeAboutPage(guard, project.dir() / "no data");
    ASSERT_EQ(written, std::vector<fs::path>{project.dir() / "aboutjmp.htm"});
    EXPECT_FALSE(fs::exists(project.dir() / "quirew.gif"));
    EXPECT_EQ(TempProject::generatedLines(written[0]).size(), 6u);
}

TEST(AboutPageTest, UnwritableProjectDirectoryThrows) {
    TempProject project("about_bad");
    OutputGuard guard(project.dir() / "gone", {});
    EXPECT_THROW(writeAboutPage(guard, project.dir()), FileError);
}

} // namespace
} // namespace qw
