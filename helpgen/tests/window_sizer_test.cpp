#include "helpgen/window_sizer.h"

#include "core/project_settings.h"
#include "helpgen/project_options.h"

#include <gtest/gtest.h>

namespace qw {

TEST(WindowSizerTest, SizeButtonsCentringAndPaneWidthArithmetic) {
    SizerValues v;
    v.width = kSizerPresets[1].width;
    v.height = kSizerPresets[1].height;
    v.centreOn(1024, 768);
    EXPECT_EQ(v.left, 112);
    EXPECT_EQ(v.top, 84);
    v.setPanelWidth(300);
    EXPECT_EQ(v.navPaneWidth, 304);
    v.navPaneWidth = 220;
    EXPECT_EQ(v.panelWidth(), 216);
    // A window larger than the screen would go to a negative place.
    v.width = 1024;
    v.height = 768;
    v.centreOn(800, 600);
    EXPECT_EQ(v.left, -112);
}

TEST(WindowSizerTest, HandsItsValuesToTheOptionsWithinWhatTheBoxesTake) {
    ProjectOptions options;
    options.windowLeft = "30";
    options.windowTop = "";
    options.navPaneWidth = "220";
    SizerValues v = SizerValues::fromOptions(options);
    EXPECT_EQ(v.left, 30);
    EXPECT_EQ(v.top, 0);
    EXPECT_EQ(v.width, 640);
    EXPECT_EQ(v.navPaneWidth, 220);
    EXPECT_TRUE(v.showIndex);

    options.setShowSearchTab(true);
    options.setTicked(FlagBox::ShowNavAdvSearch, true);
    ProjectSettings kept;
    v = SizerValues::fromOptions(options);
    EXPECT_TRUE(v.showSearch);
    v.left = -40; // dragged partly off the screen
    v.top = 12;
    v.width = 123456;
    v.height = 600;
    v.navPaneWidth = 1200;
    v.showIndex = false;
    v.showFavourites = true;
    v.applyTo(options, kept);
    EXPECT_EQ(options.windowLeft, "0");
    EXPECT_EQ(options.windowTop, "12");
    EXPECT_EQ(options.windowWidth, "9999");
    EXPECT_EQ(options.windowHeight, "600");
    EXPECT_EQ(options.navPaneWidth, "999");
    EXPECT_FALSE(options.showNavIndexTab);
    EXPECT_TRUE(options.ticked(FlagBox::ShowNavFavsTab));
    // The search tab did not change: advanced search stays ticked.
    EXPECT_TRUE(options.ticked(FlagBox::ShowNavAdvSearch));
    v.showSearch = false;
    v.applyTo(options, kept);
    EXPECT_FALSE(options.ticked(FlagBox::ShowNavSearchTab));
    EXPECT_FALSE(options.ticked(FlagBox::ShowNavAdvSearch));
}

} // namespace qw
