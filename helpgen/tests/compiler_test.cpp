#include "helpgen/compiler.h"

#include "build_test_support.h"
#include "helpgen/process_runner.h"

#include "core/text_util.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <chrono>
#include <random>

namespace fs = std::filesystem;

namespace qw {

using buildtest::TempFolder;

namespace {

void writeScript(const std::string& path, const std::string& body) {
    fs::create_directories(fs::path(path).parent_path());
    writeFileBytes(path, "#!/bin/sh\n" + body + "\n");
    fs::permissions(path, fs::perms::owner_all);
}

/// Replaces PATH for one test.
class PathOverride {
public:
    explicit PathOverride(const std::string& value) {
        if (const char* old = std::getenv("PATH"))
            m_old = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~PathOverride() { ::setenv("PATH", m_old.c_str(), 1); }
    PathOverride(const PathOverride&) = delete;
    PathOverride& operator=(const PathOverride&) = delete;

private:
    std::string m_old;
};

} // namespace

TEST(ProcessRunnerTest, PassesArgumentsIntactInTheWorkingFolder) {
    TempFolder tmp;
    const std::string out = tmp.dir() + "out $1.txt";
    ProcessSpec spec;
    spec.argv = {"/bin/sh", "-c",         "pwd; printf '[%s]\\n' \"$@\"",
                 "sh",      "a b",        "\"q\" 'x'",
                 "$HOME",   "; rm -rf /", "*"};
    spec.workingDir = tmp.path().string();
    spec.outputFile = out;
    int idles = 0;
    const ProcessResult result = runProcess(spec, [&] { ++idles; });
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(readFileBytes(out),
              tmp.path().string() + "\n[a b]\n[\"q\" 'x']\n[$HOME]\n[; rm -rf /]\n[*]\n");
}

TEST(ProcessRunnerTest, ReportsExitStatusAndFailuresToStart) {
    TempFolder tmp;
    ProcessSpec failing;
    failing.argv = {"sh", "-c", "sleep 0.05; exit 7"};
    int idles = 0;
    const ProcessResult failed = runProcess(failing, [&] { ++idles; });
    EXPECT_TRUE(failed.started);
    EXPECT_EQ(failed.exitCode, 7);
    EXPECT_GT(idles, 0);

    ProcessSpec missing;
    missing.argv = {tmp.dir() + "no such program"};
    EXPECT_FALSE(runProcess(missing).started);

    ProcessSpec badFolder;
    badFolder.argv = {"true"};
    badFolder.workingDir = tmp.dir() + "gone";
    const ProcessResult noFolder = runProcess(badFolder);
    EXPECT_FALSE(noFolder.started);
    EXPECT_FALSE(noFolder.error.empty());
}

TEST(CompilerTest, FindsTheCompilerTheSettingNames) {
    TempFolder tmp;
    const PathOverride path(tmp.dir() + "bin");
    // "built-in" and nothing set: the compiler of our own, whatever is on PATH.
    EXPECT_EQ(findHelpCompiler("").kind, HelpCompiler::Kind::BuiltIn);
    EXPECT_EQ(findHelpCompiler(" Built-In ").kind, HelpCompiler::Kind::BuiltIn);
    EXPECT_EQ(findWorkshopEditor("built-in"), "");
    // A compiler named but missing is not silently replaced by another.
    EXPECT_FALSE(findHelpCompiler(tmp.dir() + "nothing/hhw.exe").found());
    EXPECT_FALSE(findHelpCompiler("chmcmd").found());

    writeScript(tmp.dir() + "bin/chmcmd", "exit 0");
    // With chmcmd installed, nothing set still chooses ours; naming chmcmd chooses it.
    const HelpCompiler byDefault = findHelpCompiler("  ");
    EXPECT_EQ(byDefault.kind, HelpCompiler::Kind::BuiltIn);
    EXPECT_TRUE(byDefault.program.empty());
    EXPECT_EQ(findHelpCompiler("built-in").kind, HelpCompiler::Kind::BuiltIn);
    const HelpCompiler onPath = findHelpCompiler("chmcmd");
    EXPECT_EQ(onPath.kind, HelpCompiler::Kind::Chmcmd);
    EXPECT_EQ(onPath.program, tmp.dir() + "bin/chmcmd");

    writeScript(tmp.dir() + "Work Shop/hhc.exe", "exit 0");
    writeScript(tmp.dir() + "Work Shop/hhw.exe", "exit 0");
    const HelpCompiler workshop = findHelpCompiler(tmp.dir() + "Work Shop/hhw.exe");
    EXPECT_EQ(workshop.kind, HelpCompiler::Kind::Workshop);
    EXPECT_EQ(workshop.program, tmp.dir() + "Work Shop/hhc.exe");
    EXPECT_EQ(findHelpCompiler(tmp.dir() + "Work Shop").kind, HelpCompiler::Kind::Workshop);
    EXPECT_EQ(findWorkshopEditor(tmp.dir() + "Work Shop/hhw.exe"), tmp.dir() + "Work Shop/hhw.exe");

    writeScript(tmp.dir() + "other/chmcmd", "exit 0");
    EXPECT_EQ(findHelpCompiler(tmp.dir() + "other/chmcmd").program, tmp.dir() + "other/chmcmd");
    EXPECT_EQ(findWorkshopEditor(tmp.dir() + "other/chmcmd"), "");
}

TEST(CompilerTest, RunsInTheProjectFolderAndCapturesTheLog) {
    TempFolder tmp;
    writeScript(tmp.dir() + "bin/chmcmd",
                "echo \"in $(pwd) with $1\"; echo oops >&2; : > \"$(basename \"$1\" .hhp).chm\"");
    const HelpCompiler compiler{HelpCompiler::Kind::Chmcmd, tmp.dir() + "bin/chmcmd"};
    fs::create_directories(tmp.dir() + "my proj");
    const std::string base = tmp.dir() + "my proj/-odd $name";
    const CompileResult result = compileHelpProject(compiler, base);
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(readFileBytes(base + "_log.txt"),
              "in " + tmp.dir() + "my proj with ./-odd $name.hhp\noops\n");
    EXPECT_TRUE(fileExists(base + ".chm"));
}

TEST(CompilerTest, FailureWhenTheDocumentIsNotWritten) {
    TempFolder tmp;
    writeScript(tmp.dir() + "bin/chmcmd", "echo \"Can't find project file\"; exit 0");
    const HelpCompiler compiler{HelpCompiler::Kind::Chmcmd, tmp.dir() + "bin/chmcmd"};
    writeFileBytes(tmp.dir() + "old.chm", "stale");
    const CompileResult stale = compileHelpProject(compiler, tmp.dir() + "old");
    EXPECT_TRUE(stale.started);
    EXPECT_FALSE(stale.documentWritten);
    EXPECT_FALSE(stale.succeeded());

    writeScript(tmp.dir() + "bin/chmcmd", ": > x.chm; exit 217");
    EXPECT_FALSE(compileHelpProject(compiler, tmp.dir() + "x").succeeded());
    EXPECT_FALSE(compileHelpProject(HelpCompiler{}, tmp.dir() + "x").started);
}

TEST(IndexAdaptTest, SplitsLargeKeywordEntries) {
    auto entry = [](const std::string& keyword, int topics) {
        Lines lines = {"\t    <LI> <OBJECT type=\"text/sitemap\">",
                       "\t\t\t<param name=\"Name\" value=\"" + keyword + "\">"};
        for (int t = 1; t <= topics; ++t)
            lines.push_back("\t\t\t<param name=\"Local\" value=\"t" + std::to_string(t) +
                            ".htm\">");
        lines.push_back("\t         </OBJECT>");
        return lines;
    };
    Lines index = {"<HTML><HEAD>", "</HEAD><BODY>", "<UL>"};
    for (const Lines& part : {entry("alpha", 5), entry("beta", 2)})
        index.insert(index.end(), part.begin(), part.end());
    index.insert(index.end(), {"</UL>", "</BODY></HTML>"});

    EXPECT_EQ(splitLargeKeywordEntries(index, 5), index);
    const Lines split = splitLargeKeywordEntries(index, 2);
    Lines expected = {"<HTML><HEAD>", "</HEAD><BODY>", "<UL>"};
    const Lines alpha = entry("alpha", 5);
    // alpha: T1 T2 | T3 T4 | T5, each part opened and closed like the original.
    expected.insert(expected.end(), alpha.begin(), alpha.begin() + 4);
    for (int first : {3, 5}) {
        expected.insert(expected.end(), {alpha.back(), alpha[0], alpha[1]});
        const int last = std::min(first + 1, 5);
        expected.insert(expected.end(), alpha.begin() + 2 + (first - 1), alpha.begin() + 2 + last);
    }
    expected.push_back(alpha.back());
    const Lines beta = entry("beta", 2);
    expected.insert(expected.end(), beta.begin(), beta.end());
    expected.insert(expected.end(), {"</UL>", "</BODY></HTML>"});
    EXPECT_EQ(split, expected);
}

namespace {

/// The split written the plain way: at each split it looks forward for the line that
/// closes the entry. Quadratic, but obviously what the split means.
Lines splitByLookingAhead(const Lines& index, size_t maxTopics) {
    const auto isParam = [](const std::string& line, const std::string& name) {
        return containsNoCase(line, "<param name=\"" + name + "\"");
    };
    Lines out;
    std::string opening, keyword;
    size_t topics = 0;
    bool inEntry = false;
    for (size_t i = 0; i < index.size(); ++i) {
        const std::string& line = index[i];
        if (!inEntry && containsNoCase(line, "<OBJECT type=\"text/sitemap\">")) {
            inEntry = true;
            opening = line;
            keyword.clear();
            topics = 0;
        } else if (inEntry && containsNoCase(line, "</OBJECT>")) {
            inEntry = false;
        } else if (inEntry && keyword.empty() && isParam(line, "Name")) {
            keyword = line;
        } else if (inEntry && isParam(line, "Local") && ++topics > maxTopics) {
            std::string close = line.substr(0, line.find('<')) + "</OBJECT>";
            for (size_t j = i; j < index.size(); ++j)
                if (containsNoCase(index[j], "</OBJECT>")) {
                    close = index[j];
                    break;
                }
            out.insert(out.end(), {close, opening, keyword});
            topics = 1;
        }
        out.push_back(line);
    }
    return out;
}

/// One random index: entries of 0 to 700 topics, keywords with quotes, tags in mixed
/// case, closing lines of differing forms, stray lines, sometimes an entry left open.
Lines randomIndex(std::mt19937& random) {
    const auto pick = [&](std::initializer_list<const char*> choices) {
        return std::string(*(choices.begin() + random() % choices.size()));
    };
    Lines index = {"<HTML><HEAD>", "</HEAD><BODY>", "<UL>"};
    const int entries = 1 + int(random() % 6);
    for (int e = 0; e < entries; ++e) {
        index.push_back(pick({"\t    <LI> <OBJECT type=\"text/sitemap\">",
                              "<li><object TYPE=\"Text/Sitemap\">"}));
        if (random() % 5 != 0)
            index.push_back(pick({"\t\t\t<param name=\"Name\" value=\"Alpha's \"x\"\">",
                                  "  <PARAM NAME=\"name\" value=\"beta\">"}));
        const int topics = random() % 4 == 0 ? int(random() % 8) : int(random() % 700);
        for (int t = 0; t < topics; ++t) {
            index.push_back(pick({"\t\t\t<param name=\"Local\" value=\"t.htm\">",
                                  "<Param Name=\"LOCAL\" value=\"sub/u.htm\">",
                                  "\t\t\t<param name=\"Name\" value=\"title\">"}) +
                             std::to_string(t));
            if (random() % 97 == 0)
                index.push_back("<!-- a stray line -->");
        }
        if (e + 1 < entries || random() % 3 != 0)
            index.push_back(pick({"\t         </OBJECT>", "  </object> <!-- end -->"}));
    }
    index.insert(index.end(), {"</UL>", "</BODY></HTML>"});
    return index;
}

} // namespace

TEST(IndexAdaptTest, OnePassSplitMatchesLookingAhead) {
    std::mt19937 random(18);
    size_t splitSome = 0;
    for (int round = 0; round < 60; ++round) {
        const Lines index = randomIndex(random);
        for (size_t maxTopics : {size_t(1), size_t(7), size_t(250), kChmcmdTopicsPerKeyword}) {
            const Lines split = splitLargeKeywordEntries(index, maxTopics);
            ASSERT_EQ(split, splitByLookingAhead(index, maxTopics))
                << "round " << round << ", at most " << maxTopics << " topics";
            splitSome += split.size() > index.size() ? 1 : 0;
        }
    }
    EXPECT_GT(splitSome, 100u); // the cases did split entries, at every limit
}

TEST(IndexAdaptTest, SplitOfManyTopicsGrowsLinearly) {
    // One keyword on every topic, as "alpha" on every page of a large manual: the split's
    // work must not grow with the square of the entry (measured as lines produced and
    // time against a tenth of the entry, loosely).
    const auto index = [](int topics) {
        Lines lines = {"<UL>", "\t    <LI> <OBJECT type=\"text/sitemap\">",
                       "\t\t\t<param name=\"Name\" value=\"alpha\">"};
        for (int t = 0; t < topics; ++t)
            lines.push_back("\t\t\t<param name=\"Local\" value=\"t" + std::to_string(t) +
                            ".htm\">");
        lines.insert(lines.end(), {"\t         </OBJECT>", "</UL>"});
        return lines;
    };
    const Lines small = index(20000), large = index(200000);
    const auto time = [](const Lines& lines) {
        const auto start = std::chrono::steady_clock::now();
        const Lines split = splitLargeKeywordEntries(lines, kChmcmdTopicsPerKeyword);
        EXPECT_EQ(split.size(), lines.size() + 3 * ((lines.size() - 5 - 1) / 200));
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    // The best of five runs of each, taken in turn, so that a burst of work elsewhere on
    // a shared machine (a build beside the tests) falls on both sizes alike.
    double smallTime = 1e9, largeTime = 1e9;
    for (int run = 0; run < 5; ++run) {
        smallTime = std::min(smallTime, time(small));
        largeTime = std::min(largeTime, time(large));
    }
    // Linear: about 10x; the looking-ahead split took about 100x.
    EXPECT_LT(largeTime / std::max(smallTime, 1e-4), 40.0);
}

} // namespace qw
