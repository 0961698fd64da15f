#include <gtest/gtest.h>

#include "engine/InputSystem.h"
#include "tests/support/TestSupport.h"

using namespace Quill;

namespace {

TEST(InputSystem, HeldKeysReadDownUntilReleasedOrSuspended)
{
    InputSystem input;
    input.SetKey(Key::Up, true);
    input.SetKey(Key::Space, true);
    EXPECT_TRUE(input.IsKeyDown(Key::Up) && input.IsKeyDown(Key::Space));
    EXPECT_FALSE(input.IsKeyDown(Key::Down));
    input.SetKey(Key::Up, false);
    EXPECT_FALSE(input.IsKeyDown(Key::Up));
    input.ReleaseAll();
    EXPECT_FALSE(input.IsKeyDown(Key::Space));

    for (int outside : {-1, int(Key::Count), 100000}) {
        input.SetKey(outside, true);
        EXPECT_FALSE(input.IsKeyDown(outside)) << outside;
    }
    for (int inside : {0, Key::Count - 1}) {
        input.SetKey(inside, true);
        EXPECT_TRUE(input.IsKeyDown(inside)) << inside;
    }

    // Suspended input reads released; keys change underneath and show again.
    input.SetKey(Key::Left, true);
    input.SetSuspended(true);
    EXPECT_TRUE(input.IsSuspended());
    EXPECT_FALSE(input.IsKeyDown(Key::Left));
    input.SetKey(Key::Right, true);
    input.SetSuspended(false);
    EXPECT_TRUE(input.IsKeyDown(Key::Left) && input.IsKeyDown(Key::Right));
}

TEST(ScriptedInput, ParsesSpansNamesAndCodes)
{
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(
        script.Parse("# walk right, then jump\n"
                     "0-3 right\n"
                     "\n"
                     "  5 up SPACE   # both at once\n"
                     "10-10 273 lctrl\r\n"
                     "12 tab d escape return left down\n",
                     error))
        << error;
    EXPECT_EQ(error, "");
    const auto& spans = script.Spans();
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(spans[0].first, 0u);
    EXPECT_EQ(spans[0].last, 3u);
    EXPECT_EQ(spans[0].keys, std::vector<int>{Key::Right});
    EXPECT_EQ(spans[1].first, 5u);
    EXPECT_EQ(spans[1].last, 5u);
    EXPECT_EQ(spans[1].keys, (std::vector<int>{Key::Up, Key::Space}));
    EXPECT_EQ(spans[2].keys, (std::vector<int>{273, Key::LeftCtrl}));
    EXPECT_EQ(spans[3].keys,
              (std::vector<int>{Key::Tab, Key::D, Key::Escape, Key::Return, Key::Left, Key::Down}));
    EXPECT_EQ(script.LastFrame(), 12u);

    const std::pair<const char*, int> names[] = {
        {"up", Key::Up}, {"Right", Key::Right}, {"lctrl", Key::LeftCtrl},
        {"0", 0},        {"511", 511},          {"512", -1},
        {"-5", -1},      {"jump", -1},          {"", -1}};
    for (const auto& [name, key] : names) EXPECT_EQ(ScriptedInput::KeyFromName(name), key) << name;

    ASSERT_TRUE(script.Parse("# nothing\n\n", error));
    EXPECT_TRUE(script.Spans().empty());
    EXPECT_EQ(script.LastFrame(), 0u);
}

TEST(ScriptedInput, BadScriptsNameTheLineAndTheProblemAndKeepThePreviousScript)
{
    const std::pair<const char*, const char*> bad[] = {
        {"0 up\n3-1 up\n", "line 2: bad frame range '3-1'"},
        {"x up\n", "line 1: bad frame range 'x'"},
        {"# ok\n\n-2 up\n", "line 3: bad frame range"},
        {"1-2-3 up\n", "line 1: bad frame range"},
        {"1- up\n", "line 1: bad frame range"},
        {"0 up\n1 down\n7\n", "line 3: no keys"},
        {"7 jump\n", "line 1: unknown key 'jump'"},
        {"0 up\n600 512\n", "line 2: unknown key '512'"},
        {"99999999999 up\n", "line 1: bad frame range"},
    };
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(script.Parse("4 up", error));
    for (const auto& [text, expected] : bad) {
        EXPECT_FALSE(script.Parse(text, error)) << text;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    ASSERT_EQ(script.Spans().size(), 1u);
    EXPECT_EQ(script.Spans()[0].first, 4u);
}

TEST(ScriptedInput, EachFrameHoldsExactlyTheKeysOfTheSpansCoveringIt)
{
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(script.Parse("2-4 right\n3 space\n4-6 up\n", error)) << error;
    script.SetKey(Key::Down, true);  // left over from elsewhere
    const struct {
        unsigned frame;
        bool right, space, up;
    } frames[] = {{0, false, false, false},
                  {2, true, false, false},
                  {3, true, true, false},
                  {4, true, false, true},
                  {6, false, false, true}};
    for (const auto& f : frames) {
        script.BeginFrame(f.frame);
        EXPECT_FALSE(script.IsKeyDown(Key::Down)) << f.frame;
        EXPECT_EQ(script.IsKeyDown(Key::Right), f.right) << f.frame;
        EXPECT_EQ(script.IsKeyDown(Key::Space), f.space) << f.frame;
        EXPECT_EQ(script.IsKeyDown(Key::Up), f.up) << f.frame;
    }
    script.SetSuspended(true);
    script.BeginFrame(5);
    EXPECT_FALSE(script.IsKeyDown(Key::Up));
    script.SetSuspended(false);
    EXPECT_TRUE(script.IsKeyDown(Key::Up));
    script.BeginFrame(7);
    for (int key = 0; key < Key::Count; ++key) EXPECT_FALSE(script.IsKeyDown(key)) << key;
    EXPECT_EQ(script.LastFrame(), 6u);
}

TEST(ScriptedInput, LoadFileReadsAScriptAndNamesTheFileInErrors)
{
    TempDir dir;
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(script.LoadFile(dir.Write("walk.keys", "0-59 right\n"), error)) << error;
    EXPECT_EQ(script.LastFrame(), 59u);
    const std::string bad = dir.Write("bad.keys", "0 up\n1 fly\n");
    EXPECT_FALSE(script.LoadFile(bad, error));
    EXPECT_NE(error.find(bad + ": line 2: unknown key 'fly'"), std::string::npos) << error;
    const std::string missing = dir.File("missing.keys");
    EXPECT_FALSE(script.LoadFile(missing, error));
    EXPECT_NE(error.find("cannot open " + missing), std::string::npos) << error;
}

}  // namespace
