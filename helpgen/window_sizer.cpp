#include "helpgen/window_sizer.h"

#include "core/project_settings.h"
#include "helpgen/project_options.h"

#include <algorithm>
#include <charconv>

namespace qw {

namespace {

int wholeNumber(const std::string& text) {
    int value = 0;
    const char* begin = text.data();
    while (begin != text.data() + text.size() && *begin == ' ')
        ++begin;
    std::from_chars(begin, text.data() + text.size(), value);
    return value;
}

/// The decimal text a size box of that many digits can hold.
std::string boxText(int value, int digits) {
    int most = 1;
    for (int i = 0; i < digits; ++i)
        most *= 10;
    return std::to_string(std::clamp(value, 0, most - 1));
}

} // namespace

SizerValues SizerValues::fromOptions(const ProjectOptions& options) {
    SizerValues v;
    v.height = wholeNumber(options.windowHeight);
    v.width = wholeNumber(options.windowWidth);
    v.left = wholeNumber(options.windowLeft);
    v.top = wholeNumber(options.windowTop);
    v.navPaneWidth = wholeNumber(options.navPaneWidth);
    v.showIndex = options.showNavIndexTab;
    v.showSearch = options.ticked(FlagBox::ShowNavSearchTab);
    v.showFavourites = options.ticked(FlagBox::ShowNavFavsTab);
    return v;
}

void SizerValues::applyTo(ProjectOptions& options, ProjectSettings& kept) const {
    options.windowHeight = boxText(height, sizeBoxMaxDigits(SizeBox::Height));
    options.windowWidth = boxText(width, sizeBoxMaxDigits(SizeBox::Width));
    options.windowLeft = boxText(left, sizeBoxMaxDigits(SizeBox::Left));
    options.windowTop = boxText(top, sizeBoxMaxDigits(SizeBox::Top));
    options.navPaneWidth = boxText(navPaneWidth, sizeBoxMaxDigits(SizeBox::PaneWidth));
    options.showNavIndexTab = showIndex;
    if (options.ticked(FlagBox::ShowNavSearchTab) != showSearch)
        options.setShowSearchTab(showSearch);
    if (options.ticked(FlagBox::ShowNavFavsTab) != showFavourites)
        options.setTicked(FlagBox::ShowNavFavsTab, showFavourites, kept);
}

void SizerValues::centreOn(int screenWidth, int screenHeight) {
    left = (screenWidth - width) / 2;
    top = (screenHeight - height) / 2;
}

} // namespace qw
