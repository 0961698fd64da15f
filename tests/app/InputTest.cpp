#include <functional>

#include "tests/app/AppFixture.h"

// Keys by their SDL 1.2 codes; walking directions 0 up, 1 down, 2 left, 3 right.
TEST_F(AppTest, ArrowsWalkWithUpFirstReleaseStopsAndDTakesTheStairs)
{
    const struct {
        std::vector<int> held;
        int moveDirection;
    } frames[] = {{{273, 276}, 0}, {{274, 275}, 1}, {{275, 276}, 3}, {{276}, 2}, {{}, -1}};
    for (const auto& frame : frames) {
        app->GetInputSystem()->ReleaseAll();
        for (int key : frame.held) Hold(key);
        Frame();
        EXPECT_EQ(Hero()->moveDirection, frame.moveDirection) << frame.held.size() << " keys";
    }
    Hold(100);  // "d": event 12 takes the hero down the stairs
    Frame();
    EXPECT_EQ(Hero()->GetState(), 6);
}

// Space (32), Left Ctrl (306) and Tab (9) fire once per press. Neither holding
// a key nor a scroll, which reads every key as released while it runs, fires
// it again.
TEST_F(AppTest, ButtonsFireOncePerPressEvenAcrossAScroll)
{
    RecordingSession session;
    app->session = &session;
    auto sent = [&](int type) {
        int n = 0;
        for (const auto& m : session.sent) n += m.type == type;
        return n;
    };
    const struct {
        int key;
        std::function<int()> fired;
    } buttons[] = {{32, [&] { return sent(7); }},    // the attack message
                   {306, [&] { return sent(13); }},  // the use-item message
                   {9, [&] { return Hero()->selectedItem - 1; }}};
    for (const auto& button : buttons) {
        SCOPED_TRACE(button.key);
        Hold(button.key);
        Frame();
        EXPECT_EQ(Hero()->attackTimer > 0.0f, button.key != 9);  // a swing or a thrown item
        for (int i = 0; i < 10; ++i) Frame();
        EXPECT_EQ(button.fired(), 1);

        app->scrolling = true;
        app->scrollX = -0.5f;
        Frame();
        EXPECT_TRUE(app->GetInputSystem()->IsSuspended() && !world->SpritesEnabled());
        for (int i = 0; i < 40; ++i) Frame();
        EXPECT_FALSE(app->IsScrolling() || app->GetInputSystem()->IsSuspended() || !world->SpritesEnabled());
        EXPECT_EQ(button.fired(), 1) << "still held after the scroll";

        Hold(button.key, false);
        Frame();
        Hold(button.key);
        Frame();
        EXPECT_EQ(button.fired(), 2);
        Hold(button.key, false);
        for (int i = 0; i < 10; ++i) Frame();
    }
    app->session = nullptr;
}
