#include "engine/Keys.h"
#include "tests/app/AppFixture.h"

using Quill::Key::Down;
using Quill::Key::Left;
using Quill::Key::Right;
using Quill::Key::Space;
using Quill::Key::Tab;
using Quill::Key::Up;

TEST_F(AppTest, ArrowKeysWalkWithUpFirstAndReleaseStops)
{
    const Vec2 start = Hero()->GetPosition();
    Hold(Up);
    Hold(Left);
    Frame();
    EXPECT_LT(Hero()->GetPosition().y, start.y);
    EXPECT_EQ(Hero()->GetPosition().x, start.x);
    EXPECT_EQ(Hero()->moveDirection, DIR_UP);

    Hold(Up, false);
    Hold(Down);
    Hold(Right);
    Frame();
    EXPECT_EQ(Hero()->moveDirection, DIR_DOWN);
    Hold(Down, false);
    Frame();
    EXPECT_EQ(Hero()->moveDirection, DIR_RIGHT);

    Hold(Right, false);
    Hold(Left, false);
    Frame();
    EXPECT_EQ(Hero()->moveDirection, DIR_NONE);
}

TEST_F(AppTest, ButtonsFireOnceForEachPress)
{
    Hold(Tab);
    for (int i = 0; i < 10; ++i) Frame();
    EXPECT_EQ(Hero()->selectedItem, 2);
    Hold(Tab, false);
    Frame();
    Hold(Tab);
    Frame();
    EXPECT_EQ(Hero()->selectedItem, 3);

    Hold(Space);
    Frame();
    EXPECT_GT(Hero()->attackTimer, 0.0f);
    for (int i = 0; i < 30; ++i) Frame();
    EXPECT_EQ(Hero()->attackTimer, 0.0f);  // holding does not swing again
    Hold(Space, false);
    Frame();
    Hold(Space);
    Frame();
    EXPECT_GT(Hero()->attackTimer, 0.0f);
}

TEST_F(AppTest, InputIsSuspendedWhileTheViewScrolls)
{
    app->scrolling = true;
    app->scrollX = -0.5f;
    Frame();
    EXPECT_TRUE(app->GetInputSystem()->IsSuspended());
    EXPECT_FALSE(world->SpritesEnabled());
    for (int i = 0; i < 40; ++i) Frame();
    EXPECT_FALSE(app->IsScrolling());
    EXPECT_FALSE(app->GetInputSystem()->IsSuspended());
    EXPECT_TRUE(world->SpritesEnabled());
}
