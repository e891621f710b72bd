#include "helpgen/builtin_compiler.h"

#include "build_test_support.h"
#include "helpgen/chm_directory.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace qw {

using buildtest::TempFolder;

TEST(BuiltInCompilerTest, ReadsOptionsWindowAndFileList) {
    const Lines hhp = {
        "[OPTIONS]",
        "Compiled file=sample.chm",
        "Contents file=sample_toc.hhc",
        "Index file=sample_indx.hhk",
        "Default Window=Main",
        "Full-text search=Yes",
        "Language=0x419 Russian",
        "",
        "[WINDOWS]",
        "Main=\"Notes, Help\",\"sample_toc.hhc\",\"sample_indx.hhk\",\"welcome.htm\",\"\","
        "\"\",\"Custom\",\"AboutJmp.htm\",\"About\",0x003520,220,0x083006,[10,20,640,480],,,,,,,0",
        "",
        "[FILES]",
        "welcome.htm",
        "reference\\record.htm",
        "; a comment",
        "./images/../images/a.gif"};
    const HelpProjectContents project = readHelpProject(hhp);
    const chm::DocumentOptions& o = project.options;
    EXPECT_EQ(o.compiledName, "sample.chm");
    EXPECT_EQ(o.contentsFile, "sample_toc.hhc");
    EXPECT_EQ(o.indexFile, "sample_indx.hhk");
    EXPECT_EQ(o.language, 0x419u);
    EXPECT_TRUE(o.fullTextSearch);
    // No Title= and no Default topic=: the window's caption and default file stand in.
    EXPECT_EQ(o.title, "Notes, Help");
    EXPECT_EQ(o.defaultTopic, "welcome.htm");
    EXPECT_EQ(o.defaultWindow, "Main");
    EXPECT_EQ(project.files,
              (std::vector<std::string>{"welcome.htm", "reference/record.htm", "images/a.gif"}));

    ASSERT_EQ(project.windows.size(), 1u);
    const chm::WindowDefinition& w = project.windows[0];
    EXPECT_EQ(w.name, "Main");
    EXPECT_EQ(w.caption, "Notes, Help");
    EXPECT_EQ(w.indexFile, "sample_indx.hhk");
    EXPECT_EQ(w.jump1Text, "Custom");
    EXPECT_EQ(w.jump2Url, "AboutJmp.htm");
    EXPECT_EQ(w.jump2Text, "About");
    EXPECT_EQ(w.navigationStyle, 0x3520u);
    EXPECT_EQ(w.navigationWidth, 220u);
    EXPECT_EQ(w.buttons, 0x83006u);
    EXPECT_EQ(std::vector<int32_t>({w.left, w.top, w.right, w.bottom}),
              std::vector<int32_t>({10, 20, 640, 480}));
    EXPECT_EQ(w.showState, 0u);
}

TEST(BuiltInCompilerTest, PageReferencesAreTheDocumentsOwnFiles) {
    const std::string html =
        R"(<body background="images/bg.gif"><img src='pic.gif'><a href="b.htm#part">)"
        R"(<a href="http://example.org/x.htm"><a href="mailto:a@b"><a href="#top">)"
        R"(<a href=c.htm>c</a><a href="/etc/passwd"><img datasrc="no.gif"><a href="d.htm?q=1">)";
    std::vector<std::string> refs = pageReferences(html);
    std::sort(refs.begin(), refs.end());
    EXPECT_EQ(refs,
              (std::vector<std::string>{"b.htm", "c.htm", "d.htm", "images/bg.gif", "pic.gif"}));
}

class BuiltInCompileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(project / "sub");
        writeFileBytes(tmp.path() / "outside.htm", "secret");
    }
    std::vector<std::string> documentNames() const {
        const ChmDirectory dir = readChmDirectory(readFileBytes(project / "p.chm"));
        EXPECT_TRUE(dir.readable()) << dir.error;
        return dir.names;
    }
    static bool has(const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    TempFolder tmp;
    fs::path project = tmp.path() / "my project";
};

TEST_F(BuiltInCompileTest, PacksListedAndLinkedFilesButNothingOutsideTheProject) {
    writeFileBytes(project / "p.hhp",
                   "[OPTIONS]\r\nContents file=p.hhc\r\nIndex file=p.hhk\r\n[WINDOWS]\r\n"
                   "w=\"T\",\"p.hhc\",,,,\"jump.htm\",\"J\",\"../outside.htm\",\"X\"\r\n"
                   "[FILES]\r\nA.htm\r\ngone.htm\r\n");
    // The contents open a page the list lacks; the window's jump goes to another.
    writeFileBytes(project / "p.hhc", R"(<param name="Local" value="a.htm">)"
                                      R"(<param name="Local" value="sub/toc.htm#x">)"
                                      R"(<param name="Local" value="http://example.org/">)");
    writeFileBytes(project / "sub" / "toc.htm", "toc page");
    writeFileBytes(project / "jump.htm", "jump page");
    // The listed name differs in case from the file; a page refers to a page not listed,
    // which refers to a picture; links that leave the project are not followed.
    writeFileBytes(project / "a.htm",
                   R"(<a href="sub/b.htm">b</a><a href="../outside.htm">x</a>)"
                   R"(<a href="sub/../../outside.htm">y</a><a href="nothere.htm">)");
    writeFileBytes(project / "sub" / "b.htm", R"(<img src="../pic.gif"><a href="../a.htm">)");
    writeFileBytes(project / "pic.gif", "GIF89a");
    std::string error;
    std::vector<std::string> steps;
    ASSERT_TRUE(compileBuiltIn((project / "p").string(), error, [&](const std::string& step) {
        steps.push_back(step);
    })) << error;
    EXPECT_EQ(steps.size(), 3u);
    const std::vector<std::string> names = documentNames();
    for (const char* name :
         {"/A.htm", "/sub/b.htm", "/pic.gif", "/p.hhc", "/#SYSTEM", "/sub/toc.htm", "/jump.htm"})
        EXPECT_TRUE(has(names, name)) << name;
    for (const char* name : {"/outside.htm", "/p.hhk", "/gone.htm", "/nothere.htm", "/a.htm"})
        EXPECT_FALSE(has(names, name)) << name;
    const std::string log = readFileBytes(project / "p_log.txt");
    EXPECT_NE(log.find("Writing CHM p.chm\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Warning: file not found: gone.htm\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Warning: file not found: p.hhk\n"), std::string::npos) << log;
}

TEST_F(BuiltInCompileTest, WritesOnlyTheProjectsOwnDocumentName) {
    writeFileBytes(project / "p.hhp",
                   "[OPTIONS]\r\nCompiled file=..\\A.htm\r\n[FILES]\r\nA.htm\r\n");
    writeFileBytes(project / "A.htm", "chapter");
    writeFileBytes(tmp.path() / "A.htm", "outside");
    std::string error;
    ASSERT_TRUE(compileBuiltIn((project / "p").string(), error)) << error;
    EXPECT_EQ(readFileBytes(project / "A.htm"), "chapter");
    EXPECT_EQ(readFileBytes(tmp.path() / "A.htm"), "outside");
    EXPECT_TRUE(has(documentNames(), "/A.htm"));
    EXPECT_NE(readFileBytes(project / "p_log.txt")
                  .find("Note: the document is written as p.chm, not as ..\\A.htm\n"),
              std::string::npos);
}

TEST_F(BuiltInCompileTest, MissingProjectFileFailsWithTheReasonInTheLog) {
    std::string error;
    EXPECT_FALSE(compileBuiltIn((project / "p").string(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fileExists(project / "p.chm"));
    EXPECT_NE(readFileBytes(project / "p_log.txt").find("Error: " + error), std::string::npos);
}

TEST_F(BuiltInCompileTest, KeywordObjectsMakeTheBinaryIndexUnlessTheProjectSaysNo) {
    writeFileBytes(project / "a.htm",
                   "<object type=\"application/x-oleobject\" classid=\"clsid:1e2a7bd0-dab9-11d0-"
                   "b93a-00c04fc99f9e\"><param name=\"Keyword\" value=\"k\"></object>");
    std::string error;
    writeFileBytes(project / "p.hhp", "[OPTIONS]\r\nTitle=T\r\n[FILES]\r\na.htm\r\n");
    ASSERT_TRUE(compileBuiltIn((project / "p").string(), error)) << error;
    EXPECT_TRUE(has(documentNames(), "/$WWKeywordLinks/BTree"));
    EXPECT_TRUE(has(documentNames(), "/$WWAssociativeLinks/Property"));
    writeFileBytes(project / "p.hhp",
                   "[OPTIONS]\r\nTitle=T\r\nBinary Index=No\r\n[FILES]\r\na.htm\r\n");
    ASSERT_TRUE(compileBuiltIn((project / "p").string(), error)) << error;
    EXPECT_FALSE(has(documentNames(), "/$WWKeywordLinks/BTree"));
    EXPECT_FALSE(has(documentNames(), "/$WWAssociativeLinks/Property"));
}

} // namespace qw
