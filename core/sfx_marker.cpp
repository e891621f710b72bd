#include "core/sfx_marker.h"

#include "core/text_util.h"

#include <algorithm>
#include <array>

namespace qw {

namespace {

constexpr std::array<std::string_view, kSfxEffectCount> kPageNames = {
    "PopUp Text",       "Secondary Window",       "Expandable Section", "Shortcut Button",
    "Page Transitions", "Splash Screen",          "Typing Text",        "PopUp Hint",
    "Highlighted Text", "Block Background Image",
};

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

} // namespace

std::string_view sfxPageName(SfxEffect effect) {
    return kPageNames[size_t(effect)];
}

std::string sfxHelpPage(SfxEffect effect) {
    std::string page = "sfx_" + toLower(sfxPageName(effect));
    std::replace_if(
        page.begin(), page.end(), [](char c) { return c == ' ' || c == '-'; }, '_');
    return page + ".htm";
}

std::string addHereSelectionKeys() {
    const std::string left = "\xC2\xA3Left$";
    const std::string shiftLeft = "{!" + left + "}";
    std::string keys;
    for (int i = 0; i < 4; ++i)
        keys += left;
    for (int i = 0; i < 10; ++i)
        keys += shiftLeft;
    return keys;
}

std::string popupTextMarker(std::string_view ref, std::string_view hyper) {
    return concat({"[*", ref, "*]", hyper, "(*)"});
}

std::string secondaryWindowMarker(std::string_view file, std::string_view hyper,
                                  std::string_view width, std::string_view height) {
    return concat(
        {"[SW '", file, "', '', 'width=", width, ", height=", height, "' SW]", hyper, "(SW)"});
}

std::string expandableSectionMarker(std::string_view name, std::string_view hyper) {
    return concat({"[ET ", name, " ET]", hyper, "(ET)", kSendReturn, "[ES \"", name, "\" ES]",
                   kAddHere, "(ES)"});
}

std::string shortcutButtonMarker(ShortcutKind kind, std::string_view face, std::string_view exe) {
    const std::string_view prefix = kind == ShortcutKind::Text ? "Text:" : "Bitmap:";
    return concat({"[SC \"", prefix, face, "\" SCPATH=\",", exe, ",\" SC]"});
}

std::string pageTransitionMarker(int transition, std::string_view durationMs) {
    return concat({"[PT Duration=", transitionSeconds(durationMs),
                   ", Transition=", std::to_string(transition), " PT]"});
}

std::string splashScreenMarker(std::string_view bitmap, std::string_view durationMs) {
    return concat({"[SS \"", bitmap, "\" Delay=\"", durationMs, "\" SS]"});
}

std::string typingTextMarker(std::string_view text) {
    return concat({"[TT ", text, " TT]"});
}

std::string popupHintMarker(std::string_view hyper, std::string_view hint) {
    return concat({"[PH \"", hint, "\" PH]", hyper, "(PH)"});
}

std::string highlightedTextMarker(std::string_view colour, std::string_view text) {
    return concat({"[HT ", colour, " HT]", text, "(HT)"});
}

std::string blockBackgroundMarker(std::string_view image, std::string_view width, WidthUnit unit) {
    return concat({"[BB('", image, "'); width:", width, unit == WidthUnit::Pixels ? "px" : "%",
                   " BB]", kAddHere, "(BB)"});
}

std::string buildSfxMarker(SfxEffect effect, const SfxFields& f) {
    switch (effect) {
    case SfxEffect::PopupText:
        return popupTextMarker(f.ref, f.hyper);
    case SfxEffect::SecondaryWindow:
        return secondaryWindowMarker(f.file, f.hyper, f.width, f.height);
    case SfxEffect::ExpandableSection:
        return expandableSectionMarker(f.name, f.hyper);
    case SfxEffect::ShortcutButton:
        return shortcutButtonMarker(f.shortcutKind, f.text, f.exe);
    case SfxEffect::PageTransition:
        return pageTransitionMarker(f.transition, f.duration);
    case SfxEffect::SplashScreen:
        return splashScreenMarker(f.file, f.duration);
    case SfxEffect::TypingText:
        return typingTextMarker(f.text);
    case SfxEffect::PopupHint:
        return popupHintMarker(f.hyper, f.text);
    case SfxEffect::HighlightedText:
        return highlightedTextMarker(f.colour, f.text);
    case SfxEffect::BlockBackgroundImage:
        return blockBackgroundMarker(f.file, f.width, f.unit);
    }
    return {};
}

bool selectsPlaceholder(SfxEffect effect) {
    return effect == SfxEffect::ExpandableSection || effect == SfxEffect::BlockBackgroundImage;
}

const std::vector<std::string>& transitionNames() {
    static const std::vector<std::string> names = {
        "Box in",
        "Box out",
        "Circle in",
        "Circle out",
        "Wipe up",
        "Wipe down",
        "Wipe right",
        "Wipe left",
        "Vertical blinds",
        "Horizontal blinds",
        "Checkerboard across",
        "Checkerboard down",
        "Random dissolve",
        "Split vertical in",
        "Split vertical out",
        "Split horizontal in",
        "Split horizontal out",
        "Strips left down",
        "Strips left up",
        "Strips right down",
        "Strips right up",
        "Random bars horizontal",
        "Random bars vertical",
        "Random",
    };
    return names;
}

int transitionIndex(std::string_view name) {
    const auto& names = transitionNames();
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : int(it - names.begin());
}

std::string transitionSeconds(std::string_view durationMs) {
    long long ms = 0;
    if (!parseInt(trim(durationMs), ms))
        ms = 2000;
    const bool negative = ms < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(ms) : static_cast<unsigned long long>(ms);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 1000);
    std::string fraction = std::to_string(magnitude % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty())
        text += "." + fraction;
    return text;
}

std::string highlightColour(int red, int green, int blue) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int part : {red, green, blue}) {
        part = std::clamp(part, 0, 255);
        text += kHex[part / 16];
        text += kHex[part % 16];
    }
    return text;
}

} // namespace qw
