// Types into a real window on an X server (run under xvfb-run): keysender_target, a Qt
// text edit of ours, is started with a known caption, the key sender finds it by part of
// that caption and types, and the test reads back what arrived in the editor.
// The UK layout is set with setxkbmap (package x11-xkb-utils).
#include "tools/keysender/x11_key_platform.h"

#include "core/separator_keys.h"
#include "core/sfx_marker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qw::keys {

namespace {

constexpr const char* kCaption = "Quirewright key test - Chapter Editor";
constexpr const char* kTitlePart = "KEY TEST - chapter";
constexpr const char* kSeparator = "--------------------------------------------------";
constexpr const char* kLineBreak = "\u2028";
constexpr const char* kParagraph = "\u2029";

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

/// Runs a program with its arguments and waits; returns its exit status, or -1.
int runProgram(std::vector<std::string> arguments, pid_t* started = nullptr) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    if (started) {
        *started = pid;
        return 0;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class KeySenderX11Test : public ::testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() {
        std::string error;
        s_platform = X11KeyPlatform::open(error).release();
        ASSERT_NE(s_platform, nullptr) << error;
        char dir[] = "/tmp/qw_keysender_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        s_dir = dir;
        s_outFile = s_dir + "/typed.txt";
        ASSERT_EQ(runProgram({QW_KEYSENDER_TARGET, kCaption, s_outFile}, &s_target), 0);
        for (int i = 0; i < 1000 && !targetShown(); ++i)
            sleepMs(10);
        ASSERT_TRUE(targetShown()) << "the test window did not appear";
    }

    static void TearDownTestSuite() {
        if (s_target > 0) {
            kill(s_target, SIGTERM);
            waitpid(s_target, nullptr, 0);
        }
        std::remove(s_outFile.c_str());
        rmdir(s_dir.c_str());
        delete s_platform;
        s_platform = nullptr;
    }

    static bool targetShown() {
        for (const std::string& caption : s_platform->windowCaptions())
            if (caption.find("quirewright key test") != std::string::npos)
                return true;
        return false;
    }

    void SetUp() override {
        ASSERT_NE(s_platform, nullptr);
        ASSERT_EQ(runProgram({"setxkbmap", GetParam()}), 0) << "setxkbmap " << GetParam();
        sleepMs(200); // the editor reads the new keyboard map
        ASSERT_EQ(type("{^a}\xC2\xA3"
                       "Delete$"),
                  TypeResult::Typed);
        ASSERT_EQ(arrived(""), "");
    }

    TypeResult type(std::string_view text, std::string_view target = kTitlePart) {
        KeySender sender(*s_platform, sleepMs);
        return sender.typeText(target, text);
    }

    /// The editor's text once it equals `expected`, or after three seconds.
    std::string arrived(const std::string& expected) {
        std::string text;
        for (int i = 0; i < 300; ++i) {
            text = readFile(s_outFile);
            if (text == expected)
                break;
            sleepMs(10);
        }
        return text;
    }

    static inline X11KeyPlatform* s_platform = nullptr;
    static inline pid_t s_target = 0;
    static inline std::string s_dir;
    static inline std::string s_outFile;
};

} // namespace

TEST_P(KeySenderX11Test, SeparatorBlocksLeaveTheCaretInTheTitle) {
    for (const bool keywords : {false, true}) {
        for (const std::string& text : separatorButtonTexts(kSeparator, keywords))
            ASSERT_EQ(type(text), TypeResult::Typed);
        ASSERT_EQ(type("Intro"), TypeResult::Typed);
        const std::string expected = std::string(kSeparator) + kLineBreak + "Title='Intro'" +
                                     kLineBreak + (keywords ? "Keywords=''" : "") +
                                     (keywords ? kLineBreak : "") + kSeparator + kParagraph;
        EXPECT_EQ(arrived(expected), expected) << (keywords ? "button 2" : "button 1");
        ASSERT_EQ(type("{^a}\xC2\xA3"
                       "Delete$"),
                  TypeResult::Typed);
        ASSERT_EQ(arrived(""), "");
    }
}

TEST_P(KeySenderX11Test, EveryEffectMarkerArrivesAsBuilt) {
    SfxFields fields;
    fields.ref = "p1";
    fields.hyper = "see";
    fields.file = "sec.htm";
    fields.width = "400";
    fields.height = "300";
    fields.name = "opts";
    fields.text = "Rise and fall of the sea";
    fields.exe = "calc.exe";
    fields.duration = "1500";
    fields.colour = "#FFFF00";
    fields.transition = transitionIndex("Wipe left");
    for (int e = 0; e < kSfxEffectCount; ++e) {
        const auto effect = SfxEffect(e);
        const std::string marker = buildSfxMarker(effect, fields);
        std::string expected = replaced(marker, kSendReturn, kParagraph);
        if (selectsPlaceholder(effect)) {
            // The caret keys select "<ADD HERE>", which the next key types over.
            ASSERT_EQ(type(marker + addHereSelectionKeys() + "X"), TypeResult::Typed);
            expected = replaced(expected, kAddHere, "X");
        } else {
            ASSERT_EQ(type(marker), TypeResult::Typed);
        }
        EXPECT_EQ(arrived(expected), expected) << sfxPageName(effect);
        ASSERT_EQ(type("{^a}\xC2\xA3"
                       "Delete$"),
                  TypeResult::Typed);
        ASSERT_EQ(arrived(""), "");
    }
}

TEST_P(KeySenderX11Test, QuotesSignsAndLettersArriveOnAnyLayout) {
    // "£", "€", "¬" and "é" are missing from one layout or the other and go through a
    // spare key; a price in pounds is not a named key.
    const std::string text = "He said \"\xC2\xA3"
                             "5 @ 10~|\" to 'Bob'; aBcD xYz \xE2\x82\xAC\xC3\xA9\xC2\xAC"
                             "_+!%&()*<>?^#[]{}=:;,./\\`$";
    ASSERT_EQ(type(text), TypeResult::Typed);
    EXPECT_EQ(arrived(text), text);
}

TEST_P(KeySenderX11Test, MissingTargetTypesNothing) {
    EXPECT_EQ(type("abc", "No Such Window 4711"), TypeResult::TargetNotFound);
    sleepMs(300);
    EXPECT_EQ(readFile(s_outFile), "");
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeySenderX11Test, ::testing::Values("us", "gb"));

} // namespace qw::keys
