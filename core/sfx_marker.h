#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The special effects of the SFX toolbar, in the order of its effect menu.
enum class SfxEffect {
    PopupText,
    SecondaryWindow,
    ExpandableSection,
    ShortcutButton,
    PageTransition,
    SplashScreen,
    TypingText,
    PopupHint,
    HighlightedText,
    BlockBackgroundImage,
};

inline constexpr int kSfxEffectCount = 10;

/// The name of the effect's dialog page, also the dialog's caption ("PopUp Text").
std::string_view sfxPageName(SfxEffect effect);
/// The context-help page of the effect's dialog page ("sfx_popup_text.htm").
std::string sfxHelpPage(SfxEffect effect);

/// The key sender's notation for the Enter key ("£Return$", the pound sign in UTF-8).
inline constexpr std::string_view kSendReturn = "\xC2\xA3Return$";
/// The placeholder that the section and block markers leave for the author to type over.
inline constexpr std::string_view kAddHere = "<ADD HERE>";

/// Keys typed after an expandable-section or block-background marker: the caret steps
/// back over the four-character end piece and selects the ten characters of "<ADD HERE>".
std::string addHereSelectionKeys();

enum class ShortcutKind { Text, Bitmap };
enum class WidthUnit { Pixels, Percent };
/// The index the page-transition list starts with ("Random dissolve").
inline constexpr int kDefaultTransition = 12;

/// "[*Ref*]Hyper(*)".
std::string popupTextMarker(std::string_view ref, std::string_view hyper);
/// "[SW 'File', '', 'width=W, height=H' SW]Hyper(SW)".
std::string secondaryWindowMarker(std::string_view file, std::string_view hyper,
                                  std::string_view width, std::string_view height);
/// The two paragraphs "[ET Name ET]Hyper(ET)", Enter, "[ES "Name" ES]<ADD HERE>(ES)".
std::string expandableSectionMarker(std::string_view name, std::string_view hyper);
/// "[SC "Text:T" SCPATH=",Exe," SC]", or "Bitmap:" for a bitmap button.
std::string shortcutButtonMarker(ShortcutKind kind, std::string_view face, std::string_view exe);
/// "[PT Duration=S, Transition=N PT]" for the transition of zero-based index N and the
/// duration typed in milliseconds (see transitionSeconds).
std::string pageTransitionMarker(int transition, std::string_view durationMs);
/// "[SS "Bitmap" Delay="D" SS]" with the duration in milliseconds as typed.
std::string splashScreenMarker(std::string_view bitmap, std::string_view durationMs);
/// "[TT Text TT]".
std::string typingTextMarker(std::string_view text);
/// "[PH "Hint" PH]Hyper(PH)".
std::string popupHintMarker(std::string_view hyper, std::string_view hint);
/// "[HT Col HT]Text(HT)"; Col is empty while no colour was chosen.
std::string highlightedTextMarker(std::string_view colour, std::string_view text);
/// "[BB('Image'); width:W<unit> BB]<ADD HERE>(BB)", unit "px" or "%".
std::string blockBackgroundMarker(std::string_view image, std::string_view width, WidthUnit unit);

/// The values of the effect dialog's fields by their short names; a field shared by several
/// pages (Hyper, T as `text`, W as `width`, D as `duration`) is one member. Only the fields
/// of the effect in hand are read.
struct SfxFields {
    std::string ref; ///< PopUp Text: Ref
    /// The hypertext of PopUp Text, Secondary Window, Expandable Section and PopUp Hint.
    std::string hyper;
    /// T of Typing Text, PopUp Hint and Highlighted Text; the face of a Shortcut Button.
    std::string text;
    std::string file;     ///< Secondary Window: File; Splash Screen: B; Block Background: I
    std::string name;     ///< Expandable Section: Name
    std::string width;    ///< W of Secondary Window and Block Background
    std::string height;   ///< Secondary Window: H
    std::string exe;      ///< Shortcut Button: Exe
    std::string duration; ///< D of Page Transitions and Splash Screen, in milliseconds
    std::string colour;   ///< Highlighted Text: Col
    int transition = kDefaultTransition;
    ShortcutKind shortcutKind = ShortcutKind::Text;
    WidthUnit unit = WidthUnit::Pixels;
};

/// The marker of an effect from the dialog's fields. (The pop-up text itself goes into the
/// pop-up text file, not into the marker.)
std::string buildSfxMarker(SfxEffect effect, const SfxFields& fields);
/// True for the effects whose marker leaves "<ADD HERE>" to be selected after typing.
bool selectsPlaceholder(SfxEffect effect);

/// The 24 transition types of the page-transition page, in list order; the index is the
/// transition number written into the marker.
const std::vector<std::string>& transitionNames();
/// Index of a transition name (exact), or -1.
int transitionIndex(std::string_view name);

/// A duration typed in milliseconds as seconds in the shortest decimal form: "2000" gives
/// "2", "1500" "1.5", "250" "0.25". Empty or non-numeric text counts as 2000. The decimal
/// separator is always ".", whatever the desktop's locale, because the page's transition
/// text is script syntax in which a comma separates arguments.
std::string transitionSeconds(std::string_view durationMs);

/// "#RRGGBB" in upper-case hexadecimal for a chosen colour; each part is cut to 0..255.
std::string highlightColour(int red, int green, int blue);

} // namespace qw
