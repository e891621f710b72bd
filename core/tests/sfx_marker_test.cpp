#include "core/sfx_marker.h"

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/text_util.h"

#include <gtest/gtest.h>

#include <map>

namespace qw {

TEST(SfxMarkerTest, BuildsEachMarkerFromItsFields) {
    EXPECT_EQ(popupTextMarker("p1", "see"), "[*p1*]see(*)");
    EXPECT_EQ(secondaryWindowMarker("sec.htm", "More", "400", "300"),
              "[SW 'sec.htm', '', 'width=400, height=300' SW]More(SW)");
    EXPECT_EQ(expandableSectionMarker("opts", "Show options"),
              "[ET opts ET]Show options(ET)\xC2\xA3Return$[ES \"opts\" ES]<ADD HERE>(ES)");
    EXPECT_EQ(shortcutButtonMarker(ShortcutKind::Text, "Open Notepad", "notepad.exe"),
              "[SC \"Text:Open Notepad\" SCPATH=\",notepad.exe,\" SC]");
    EXPECT_EQ(shortcutButtonMarker(ShortcutKind::Bitmap, "run.bmp", "calc.exe"),
              "[SC \"Bitmap:run.bmp\" SCPATH=\",calc.exe,\" SC]");
    EXPECT_EQ(splashScreenMarker("logo.gif", "3000"), "[SS \"logo.gif\" Delay=\"3000\" SS]");
    EXPECT_EQ(typingTextMarker("Hello there"), "[TT Hello there TT]");
    EXPECT_EQ(popupHintMarker("tide", "Rise and fall of the sea"),
              "[PH \"Rise and fall of the sea\" PH]tide(PH)");
    EXPECT_EQ(highlightedTextMarker("#FFFF00", "Note"), "[HT #FFFF00 HT]Note(HT)");
    EXPECT_EQ(highlightedTextMarker("", "Note"), "[HT  HT]Note(HT)");
    EXPECT_EQ(blockBackgroundMarker("paper.gif", "300", WidthUnit::Pixels),
              "[BB('paper.gif'); width:300px BB]<ADD HERE>(BB)");
    EXPECT_EQ(blockBackgroundMarker("paper.gif", "50", WidthUnit::Percent),
              "[BB('paper.gif'); width:50% BB]<ADD HERE>(BB)");
}

TEST(SfxMarkerTest, DialogFieldsGiveTheMarkerOfTheChosenEffect) {
    SfxFields fields;
    fields.ref = "p1";
    fields.hyper = "More";
    fields.file = "sec.htm";
    fields.width = "400";
    fields.height = "300";
    fields.text = "calc.bmp";
    fields.exe = "calc.exe";
    fields.shortcutKind = ShortcutKind::Bitmap;
    fields.unit = WidthUnit::Percent;
    EXPECT_EQ(buildSfxMarker(SfxEffect::PopupText, fields), "[*p1*]More(*)");
    EXPECT_EQ(buildSfxMarker(SfxEffect::SecondaryWindow, fields),
              "[SW 'sec.htm', '', 'width=400, height=300' SW]More(SW)");
    EXPECT_EQ(buildSfxMarker(SfxEffect::ShortcutButton, fields),
              "[SC \"Bitmap:calc.bmp\" SCPATH=\",calc.exe,\" SC]");
    EXPECT_EQ(buildSfxMarker(SfxEffect::PageTransition, fields),
              "[PT Duration=2, Transition=12 PT]");
    EXPECT_EQ(buildSfxMarker(SfxEffect::BlockBackgroundImage, fields),
              "[BB('sec.htm'); width:400% BB]<ADD HERE>(BB)");
    int placeholders = 0;
    for (int e = 0; e < kSfxEffectCount; ++e) {
        const auto effect = SfxEffect(e);
        const std::string marker = buildSfxMarker(effect, fields);
        EXPECT_EQ(selectsPlaceholder(effect), marker.find(kAddHere) != std::string::npos)
            << sfxPageName(effect);
        placeholders += selectsPlaceholder(effect);
    }
    EXPECT_EQ(placeholders, 2);
}

TEST(SfxMarkerTest, PageTransitionWritesSecondsAndListIndex) {
    EXPECT_EQ(pageTransitionMarker(kDefaultTransition, ""), "[PT Duration=2, Transition=12 PT]");
    EXPECT_EQ(pageTransitionMarker(transitionIndex("Box in"), "1500"),
              "[PT Duration=1.5, Transition=0 PT]");
    EXPECT_EQ(pageTransitionMarker(transitionIndex("Random"), "250"),
              "[PT Duration=0.25, Transition=23 PT]");
    ASSERT_EQ(transitionNames().size(), 24u);
    EXPECT_EQ(transitionNames()[size_t(kDefaultTransition)], "Random dissolve");
    EXPECT_EQ(transitionIndex("Wipe left"), 7);
    EXPECT_EQ(transitionIndex("Random bars vertical"), 22);
    EXPECT_EQ(transitionIndex("random"), -1);
}

TEST(SfxMarkerTest, DurationIsShortestDecimalWithPoint) {
    const std::map<std::string, std::string> cases = {
        {"2000", "2"},  {"1500", "1.5"}, {"250", "0.25"},   {"5", "0.005"},
        {"10", "0.01"}, {"0", "0"},      {"9999", "9.999"}, {"", "2"},
        {"abc", "2"},   {" 3000 ", "3"}, {"12x", "2"},      {"-500", "-0.5"},
    };
    for (const auto& [typed, seconds] : cases)
        EXPECT_EQ(transitionSeconds(typed), seconds) << "typed '" << typed << "'";
}

TEST(SfxMarkerTest, DerivedNamesAndKeys) {
    EXPECT_EQ(highlightColour(255, 128, 0), "#FF8000");
    EXPECT_EQ(highlightColour(-4, 300, 10), "#00FF0A");
    EXPECT_EQ(sfxPageName(SfxEffect::PageTransition), "Page Transitions");
    EXPECT_EQ(sfxHelpPage(SfxEffect::PopupText), "sfx_popup_text.htm");
    EXPECT_EQ(sfxHelpPage(SfxEffect::BlockBackgroundImage), "sfx_block_background_image.htm");
    const std::string left = "\xC2\xA3Left$";
    const std::string shiftLeft = "{!" + left + "}";
    std::string expected = left + left + left + left;
    for (int i = 0; i < 10; ++i)
        expected += shiftLeft;
    EXPECT_EQ(addHereSelectionKeys(), expected);
}

// The shipped definition file must turn every marker the toolbar builds into markup. The
// expansion is replayed here with the same rules (every token of a script must occur,
// scripts in number order over the output of earlier ones).
class EffectsDefinitionTest : public ::testing::Test {
protected:
    struct Script {
        std::vector<std::string> tokens, replacers, additional;
    };

    void SetUp() override {
        const IniFile ini(std::filesystem::path(QW_DATA_DIR) / "xFiles" / "Effects.sfx");
        for (int n = 1; n <= 50; ++n) {
            const std::string section = "SCRIPT" + std::to_string(n);
            if (!ini.hasKey(section, "VARIABLE1"))
                break;
            Script script;
            for (int k = 1; k <= 20; ++k) {
                const std::string token =
                    ini.readString(section, "VARIABLE" + std::to_string(k), "!NONE!");
                if (token == "!NONE!" || trim(token).empty())
                    break;
                script.tokens.push_back(token);
                script.replacers.push_back(
                    ini.readString(section, "REPLACER" + std::to_string(k), "!NONE!"));
            }
            for (int k = 1; k <= 30; ++k) {
                const std::string line =
                    ini.readString(section, "ADDITIONAL" + std::to_string(k), "!NONE!");
                if (line == "!NONE!")
                    break;
                script.additional.push_back(line);
            }
            scripts.push_back(script);
        }
    }

    /// Expands text; returns the numbers of the scripts that applied.
    std::vector<int> expand(std::string& text) const {
        std::vector<int> applied;
        for (size_t n = 0; n < scripts.size(); ++n) {
            bool all = !scripts[n].tokens.empty();
            for (size_t k = 0; k < scripts[n].tokens.size() && all; ++k)
                all = replaceAllNoCase(text, scripts[n].tokens[k], scripts[n].replacers[k]) > 0;
            if (all)
                applied.push_back(int(n) + 1);
        }
        return applied;
    }

    std::vector<Script> scripts;
};

TEST_F(EffectsDefinitionTest, NoReplacementRecreatesATokenOfItsOwnOrALaterScript) {
    ASSERT_GE(scripts.size(), 10u);
    for (size_t n = 0; n < scripts.size(); ++n)
        for (const std::string& replacer : scripts[n].replacers) {
            EXPECT_NE(replacer, "!NONE!") << "SCRIPT" << n + 1 << " lacks a REPLACER";
            for (size_t later = n; later < scripts.size(); ++later)
                for (const std::string& token : scripts[later].tokens)
                    EXPECT_FALSE(containsNoCase(replacer, token))
                        << "SCRIPT" << n + 1 << " writes '" << token << "' of SCRIPT" << later + 1;
        }
}

TEST_F(EffectsDefinitionTest, EveryMarkerBecomesMarkupWithItsInitCall) {
    const std::string typedSection = expandableSectionMarker("opts", "Options");
    std::string section = typedSection;
    section.replace(section.find(kSendReturn), kSendReturn.size(), "\r\n");
    section.replace(section.find(kAddHere), kAddHere.size(), "More text");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {popupTextMarker("p1", "see"),
         "onclick=\"return window.qwPopup?qwPopup(this,'p1'):false\">see</a>"},
        {secondaryWindowMarker("sec.htm", "More", "400", "300"),
         "href=\"sec.htm\" data-qw-features=\"width=400, height=300\""},
        {section, "<div class=\"qwSection\" id=\"qwES_opts\">More text</div>"},
        {shortcutButtonMarker(ShortcutKind::Bitmap, "run.bmp", "calc.exe"),
         "<PARAM name=\"Button\" value=\"Bitmap:run.bmp\"><PARAM name=\"Item1\" "
         "value=\",calc.exe,\"></OBJECT>"},
        {pageTransitionMarker(3, "1500"), "content=\"revealTrans(Duration=1.5,Transition=3)\">"},
        {splashScreenMarker("logo.gif", "2500"), "src=\"logo.gif\" data-qw-delay=\"2500\">"},
        {typingTextMarker("Hello"), "<span class=\"qwTyping\">Hello</span>"},
        {popupHintMarker("tide", "Sea level"), "title=\"Sea level\">tide</span>"},
        {highlightedTextMarker("#FF0000", "Hot"), "background-color:#FF0000\">Hot</span>"},
        {blockBackgroundMarker("paper.gif", "50", WidthUnit::Percent),
         "src=\"paper.gif\" data-qw-width=\"50%\"></div>"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        std::string text = cases[i].first;
        const std::vector<int> applied = expand(text);
        ASSERT_FALSE(applied.empty()) << cases[i].first;
        EXPECT_NE(text.find(cases[i].second), std::string::npos) << text;
        EXPECT_EQ(text.find('['), std::string::npos) << text;
        EXPECT_NE(scripts[size_t(applied[0] - 1)].additional.at(0).find("qwInit"),
                  std::string::npos);
    }
}

TEST_F(EffectsDefinitionTest, PartialMarkerAddsNoLinesAndPlaceholderIsDropped) {
    std::string text = "[SW 'a.htm', '', 'width=1, height=2' SW]no end";
    EXPECT_TRUE(expand(text).empty());
    std::string leftover = "[BB('p.gif'); width:10px BB]<add here>(BB) and &lt;ADD HERE&gt;";
    expand(leftover);
    EXPECT_EQ(leftover.find("ADD HERE"), std::string::npos) << leftover;
    std::string lower = "[*p*]x(*) [sw 'a.htm', '', 'WIDTH=1, height=2' sw]y(sw)";
    EXPECT_EQ(expand(lower).size(), 2u) << lower;
}

} // namespace qw
