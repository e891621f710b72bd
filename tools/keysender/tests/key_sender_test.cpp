#include "tools/keysender/key_sender.h"

#include "tools/keysender/tests/fake_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace qw::keys {

namespace {

using namespace test;

/// Records what the key sender asks of the desktop, in one log of events and pauses.
class FakePlatform : public KeyPlatform {
public:
    bool activateWindow(std::string_view titlePart) override {
        log.push_back("activate " + std::string(titlePart));
        return windowExists;
    }
    const KeyboardLayout& layout() override { return keyboard; }
    void send(const std::vector<KeyStep>& steps) override {
        for (const KeyStep& step : steps) {
            if (step.kind == KeyStep::Kind::Bind)
                ++bound;
            log.push_back((step.kind == KeyStep::Kind::Press     ? "down "
                           : step.kind == KeyStep::Kind::Release ? "up "
                                                                 : "bind ") +
                          std::to_string(step.code));
        }
    }

    FakeLayout keyboard{FakeLayout::Country::US};
    bool windowExists = true;
    int bound = 0;
    std::vector<std::string> log;
};

struct KeySenderTest : ::testing::Test {
    FakePlatform platform;
    KeySender sender{platform,
                     [this](int ms) { platform.log.push_back("pause " + std::to_string(ms)); }};
};

} // namespace

TEST_F(KeySenderTest, TypesIntoTheFoundWindowWithAPauseBeforeEachGroup) {
    EXPECT_EQ(sender.typeText("Editor", "a{!b}"), TypeResult::Typed);
    EXPECT_EQ(platform.log,
              (std::vector<std::string>{"activate Editor", "down 38", "up 38", "pause 10",
                                        "down 50", "down 56", "up 56", "up 50"}));
}

TEST_F(KeySenderTest, TypesNothingWhenTheTargetIsMissing) {
    platform.windowExists = false;
    EXPECT_EQ(sender.typeText("Editor", "Title=''"), TypeResult::TargetNotFound);
    EXPECT_EQ(platform.log, std::vector<std::string>{"activate Editor"});
}

TEST_F(KeySenderTest, WithoutATargetTitleTypesIntoTheFocusedWindow) {
    EXPECT_EQ(sender.typeText("", "a"), TypeResult::Typed);
    EXPECT_EQ(platform.log, (std::vector<std::string>{"down 38", "up 38"}));
}

TEST_F(KeySenderTest, BindsASpareKeyForAMissingCharacterBeforePressingIt) {
    EXPECT_EQ(sender.typeText("", "\xC2\xA3"
                                  "a"),
              TypeResult::Typed);
    EXPECT_EQ(platform.log,
              (std::vector<std::string>{"bind 250", "down 250", "up 250", "down 38", "up 38"}));
    EXPECT_EQ(platform.bound, 1);
}

TEST_F(KeySenderTest, LeavesOutWhatCannotBeTypedAndTypesTheRest) {
    platform.keyboard.spare = 0;
    EXPECT_EQ(sender.typeText("", "a\xC2\xA3z"), TypeResult::Untypeable);
    EXPECT_EQ(platform.log, (std::vector<std::string>{"down 38", "up 38", "down 52", "up 52"}));
    ASSERT_EQ(sender.skipped().size(), 1u);
    EXPECT_EQ(sender.skipped().front().character, U'\u00A3');
}

} // namespace qw::keys
