#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/ConfigFiles.h"
#include "engine/Controls.h"
#include "engine/Gamepad.h"
#include "engine/InputSystem.h"
#include "engine/QuillLogger.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;

namespace {

TEST(Controls, FirstStartWritesTheDefaultsWhichReadBackAsTheGamesKeyTable)
{
    TempDir dir;
    const std::string path = ConfigFilePath(dir.Path().c_str(), "/nowhere", "controls.conf");
    EXPECT_EQ(path, dir.Path() + "/karsk/controls.conf");
    EXPECT_EQ(ConfigFilePath("relative", "/home/ada", "controls.conf"),
              "/home/ada/.config/karsk/controls.conf");
    Controls controls;
    ASSERT_TRUE(controls.LoadOrCreate(path));
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find("pad axis N-"), std::string::npos) << "the syntax is explained";

    std::vector<std::string> problems;
    Controls reread;
    reread.SetBindings(Action::Sword, {});
    reread.Parse(text, problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    const struct {
        Action action;
        int key;
        const char* first;
    } table[] = {{Action::Up, Key::Up, "up"},           {Action::Down, Key::Down, "down"},
                 {Action::Left, Key::Left, "left"},     {Action::Right, Key::Right, "right"},
                 {Action::Sword, Key::Space, "space"},  {Action::Item, Key::LeftCtrl, "left ctrl"},
                 {Action::NextItem, Key::Tab, "tab"},   {Action::Stairs, Key::D, "d"},
                 {Action::Pause, Key::P, "p"},          {Action::MuteMusic, Key::M, "m"},
                 {Action::VolumeDown, Key::Minus, "-"}, {Action::VolumeUp, Key::Equals, "="}};
    for (const auto& row : table) {
        SCOPED_TRACE(Controls::ActionName(row.action));
        EXPECT_EQ(Controls::LogicalKey(row.action), row.key);
        ASSERT_FALSE(reread.Bindings(row.action).empty());
        EXPECT_EQ(Controls::BindingName(reread.Bindings(row.action)[0]), row.first);
        EXPECT_EQ(reread.Bindings(row.action), Controls().Bindings(row.action));
    }
    // Every action but walking has a pad button too, the menu keys included.
    const std::pair<Action, const char*> pad[] = {
        {Action::Sword, "pad button 0"},      {Action::Item, "pad button 1"},
        {Action::NextItem, "pad button 2"},   {Action::Stairs, "pad button 3"},
        {Action::Pause, "pad button 7"},      {Action::MuteMusic, "pad button 6"},
        {Action::VolumeDown, "pad button 4"}, {Action::VolumeUp, "pad button 5"}};
    for (const auto& [action, button] : pad) {
        ASSERT_EQ(reread.Bindings(action).size(), 2u) << Controls::ActionName(action);
        EXPECT_EQ(Controls::BindingName(reread.Bindings(action)[1]), button);
    }
}

TEST(Controls, EveryInputNameParsesAndNamesItselfAgain)
{
    const struct {
        const char* text;
        Binding expected;
        const char* name;
    } table[] = {
        {"Left  Ctrl", {Binding::KeyboardKey, SDLK_LCTRL, 0}, "left ctrl"},
        {"space", {Binding::KeyboardKey, SDLK_SPACE, 0}, "space"},
        {"Z", {Binding::KeyboardKey, 'z', 0}, "z"},
        {"7", {Binding::KeyboardKey, '7', 0}, "7"},
        {"comma", {Binding::KeyboardKey, ',', 0}, "comma"},
        {"page down", {Binding::KeyboardKey, SDLK_PAGEDOWN, 0}, "page down"},
        {"f12", {Binding::KeyboardKey, SDLK_F12, 0}, "f12"},
        {"[5]", {Binding::KeyboardKey, SDLK_KP5, 0}, "[5]"},
        {"pad button 0", {Binding::PadButton, 0, 0}, "pad button 0"},
        {"PAD BUTTON 31", {Binding::PadButton, 31, 0}, "pad button 31"},
        {"pad hat up", {Binding::PadHat, 0, SDL_HAT_UP}, "pad hat up"},
        {"pad hat left", {Binding::PadHat, 0, SDL_HAT_LEFT}, "pad hat left"},
        {"pad axis 0-", {Binding::PadAxis, 0, -1}, "pad axis 0-"},
        {"pad axis 3+", {Binding::PadAxis, 3, 1}, "pad axis 3+"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.text);
        Binding b;
        std::string reason;
        ASSERT_TRUE(Controls::ParseBinding(row.text, b, reason)) << reason;
        EXPECT_TRUE(b == row.expected);
        EXPECT_EQ(Controls::BindingName(b), row.name);
    }
    for (const char* bad : {"", "leftctrl", "pad button", "pad button 32", "pad button x", "pad hat middle",
                            "pad axis 1", "pad axis -", "pad axis 40+", "ä"}) {
        Binding b;
        std::string reason;
        EXPECT_FALSE(Controls::ParseBinding(bad, b, reason)) << bad;
        EXPECT_FALSE(reason.empty());
    }
}

TEST(Controls, BadLinesAreLoggedAndKeepTheDefault)
{
    TempDir dir;
    const std::string path = dir.Write("controls.conf",
                                       "# mine\n"
                                       "sword = x, pad button 5\n"
                                       "item = left ctrl, warp drive\n"
                                       "jump = j\n"
                                       "stairs\n"
                                       "pause =\n"
                                       "up = w\n");
    Logger()->ClearRecent();
    Controls controls;
    ASSERT_TRUE(controls.LoadOrCreate(path));
    EXPECT_EQ(controls.Bindings(Action::Sword).size(), 2u);
    EXPECT_EQ(Controls::BindingName(controls.Bindings(Action::Sword)[1]), "pad button 5");
    EXPECT_EQ(controls.Bindings(Action::Up), std::vector<Binding>({{Binding::KeyboardKey, 'w', 0}}));
    for (Action kept : {Action::Item, Action::Stairs, Action::Pause})
        EXPECT_EQ(controls.Bindings(kept), Controls().Bindings(kept)) << Controls::ActionName(kept);
    for (const char* line :
         {"line 3: item: 'warp drive' is no key name; the default", "line 4: 'jump' is no action",
          "line 5: 'stairs' is not", "line 6: pause: no input given"})
        EXPECT_EQ(EngineTest::CountLogLines(line), 1) << line;
}

TEST(Controls, TwoActionsMayShareAKey)
{
    std::vector<std::string> problems;
    Controls controls;
    controls.Parse("sword = x\nitem = x, pad button 1\n", problems);
    ASSERT_TRUE(problems.empty());
    InputSystem input;
    input.SetControls(controls);
    input.SetPhysicalKey('x', true);
    EXPECT_TRUE(input.IsKeyDown(Key::Space) && input.IsKeyDown(Key::LeftCtrl));
    input.SetPhysicalKey('x', false);
    EXPECT_FALSE(input.IsKeyDown(Key::Space) || input.IsKeyDown(Key::LeftCtrl));
    input.SetPhysicalKey(SDLK_SPACE, true);
    EXPECT_FALSE(input.IsKeyDown(Key::Space)) << "space no longer swings";
    input.SetPhysicalKey(SDLK_F5, true);
    EXPECT_TRUE(input.IsKeyDown(SDLK_F5)) << "keys no action uses pass through";
}

// SDL events as the event pump hands them over.
SDL_Event Axis(int axis, int value)
{
    SDL_Event e{};
    e.jaxis = {SDL_JOYAXISMOTION, 0, Uint8(axis), Sint16(value)};
    return e;
}

SDL_Event Hat(int value)
{
    SDL_Event e{};
    e.jhat = {SDL_JOYHATMOTION, 0, 0, Uint8(value)};
    return e;
}

SDL_Event Button(int button, bool down)
{
    SDL_Event e{};
    e.jbutton = {Uint8(down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP), 0, Uint8(button), 0};
    return e;
}

TEST(Gamepad, StickAndHatWalkOutsideTheDeadZoneAndButtonsAct)
{
    const struct {
        SDL_Event event;
        std::vector<int> down;
    } steps[] = {
        {Axis(0, 8000), {}},
        {Axis(0, 8001), {Key::Right}},
        {Axis(1, -32768), {Key::Right, Key::Up}},
        {Axis(0, -7999), {Key::Up}},
        {Axis(1, 0), {}},
        {Hat(SDL_HAT_DOWN | SDL_HAT_LEFT), {Key::Down, Key::Left}},
        {Axis(1, 20000), {Key::Down, Key::Left}},
        {Hat(SDL_HAT_CENTERED), {Key::Down}},
        {Axis(1, 0), {}},
        {Button(0, true), {Key::Space}},
        {Button(3, true), {Key::Space, Key::D}},
        {Button(0, false), {Key::D}},
        {Button(7, true), {Key::D, Key::P}},
        {Button(1, true), {Key::D, Key::P, Key::LeftCtrl}},
        {Button(2, true), {Key::D, Key::P, Key::LeftCtrl, Key::Tab}},
    };
    const int watched[] = {Key::Up,       Key::Down, Key::Left, Key::Right, Key::Space,
                           Key::LeftCtrl, Key::Tab,  Key::D,    Key::P};
    InputSystem input;
    int n = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(n++);
        ASSERT_TRUE(FeedPadEvent(step.event, input));
        for (int key : watched) {
            const bool expected = std::find(step.down.begin(), step.down.end(), key) != step.down.end();
            EXPECT_EQ(input.IsKeyDown(key), expected) << "key " << key;
        }
    }
    SDL_Event other{};
    other.type = SDL_KEYDOWN;
    EXPECT_FALSE(FeedPadEvent(other, input));
    input.ReleaseAll();
    EXPECT_FALSE(input.IsKeyDown(Key::D));
}

TEST(Gamepad, OpeningWithoutAPadLeavesTheKeyboard)
{
    Gamepad pad;
    pad.Open();  // a test machine has no joystick; a plugged-in one would open
    pad.Close();
    EXPECT_FALSE(pad.IsOpen());
}

}  // namespace
