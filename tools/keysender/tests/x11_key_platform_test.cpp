#include "tools/keysender/x11_key_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace qw::keys {

namespace {

/// Sets DISPLAY for the lifetime of the object and puts the old value back.
class DisplayVariable {
public:
    explicit DisplayVariable(const char* value) {
        if (const char* old = std::getenv("DISPLAY"))
            m_old = old;
        setenv("DISPLAY", value, 1);
    }
    ~DisplayVariable() {
        if (m_old)
            setenv("DISPLAY", m_old->c_str(), 1);
        else
            unsetenv("DISPLAY");
    }

private:
    std::optional<std::string> m_old;
};

} // namespace

TEST(X11KeyPlatformTest, SaysClearlyWhenNoXServerIsReachable) {
    std::string error;
    {
        DisplayVariable unset("");
        EXPECT_EQ(X11KeyPlatform::open(error), nullptr);
        EXPECT_EQ(error, "Cannot type into other windows: no X11 display is set (DISPLAY is "
                         "empty). The SFX Toolbar types through X11; under Wayland it needs "
                         "XWayland.");
    }
    {
        DisplayVariable nowhere(":4711");
        EXPECT_EQ(X11KeyPlatform::open(error), nullptr);
        EXPECT_EQ(error, "Cannot type into other windows: the X11 display \":4711\" cannot be "
                         "opened.");
    }
}

TEST(X11KeyPlatformTest, CaptionsCompareByPartWithoutRegardToCaseWithin254Characters) {
    EXPECT_TRUE(captionMatches("chapter1.htm - Bluefish 2.2", "BLUEFISH"));
    EXPECT_TRUE(captionMatches("Übersicht — KWrite", "übersicht"));
    EXPECT_FALSE(captionMatches("Dreamweaver", "FrontPage"));
    EXPECT_TRUE(captionMatches("anything", ""));
    const std::string padded = std::string(250, 'x') + "Editor";
    EXPECT_TRUE(captionMatches(padded, "xxEdit"));
    EXPECT_FALSE(captionMatches(padded, "Editor"));
    // Characters, not bytes, count: 250 two-byte letters leave room for "Edit".
    const std::string wide = [] {
        std::string s;
        for (int i = 0; i < 250; ++i)
            s += "\xC3\xA9";
        return s + "Editor";
    }();
    EXPECT_TRUE(captionMatches(wide, "\xC3\x89"
                                     "Edit"));
    EXPECT_FALSE(captionMatches(wide, "Edito"));
}

} // namespace qw::keys
