#include <gtest/gtest.h>

#include "engine/InputSystem.h"
#include "tests/engine/EngineTestUtil.h"

using namespace Quill;

namespace {

TEST(InputSystem, HeldKeysReadAsDownUntilReleased)
{
    InputSystem input;
    EXPECT_FALSE(input.IsKeyDown(Key::Up));
    input.SetKey(Key::Up, true);
    input.SetKey(Key::Space, true);
    EXPECT_TRUE(input.IsKeyDown(Key::Up));
    EXPECT_TRUE(input.IsKeyDown(Key::Space));
    EXPECT_FALSE(input.IsKeyDown(Key::Down));
    input.SetKey(Key::Up, false);
    EXPECT_FALSE(input.IsKeyDown(Key::Up));
    input.ReleaseAll();
    EXPECT_FALSE(input.IsKeyDown(Key::Space));
}

TEST(InputSystem, KeysOutsideTheTableAreIgnored)
{
    InputSystem input;
    input.SetKey(-1, true);
    input.SetKey(Key::Count, true);
    input.SetKey(100000, true);
    EXPECT_FALSE(input.IsKeyDown(-1));
    EXPECT_FALSE(input.IsKeyDown(Key::Count));
    EXPECT_FALSE(input.IsKeyDown(100000));
    input.SetKey(Key::Count - 1, true);
    EXPECT_TRUE(input.IsKeyDown(Key::Count - 1));
    input.SetKey(0, true);
    EXPECT_TRUE(input.IsKeyDown(0));
}

TEST(InputSystem, SuspendedInputReadsAllKeysReleased)
{
    InputSystem input;
    input.SetKey(Key::Left, true);
    input.SetSuspended(true);
    EXPECT_TRUE(input.IsSuspended());
    EXPECT_FALSE(input.IsKeyDown(Key::Left));
    // Keys still change underneath, and show once resumed.
    input.SetKey(Key::Right, true);
    input.SetSuspended(false);
    EXPECT_TRUE(input.IsKeyDown(Key::Left));
    EXPECT_TRUE(input.IsKeyDown(Key::Right));
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
}

TEST(ScriptedInput, KeyNames)
{
    EXPECT_EQ(ScriptedInput::KeyFromName("up"), Key::Up);
    EXPECT_EQ(ScriptedInput::KeyFromName("Right"), Key::Right);
    EXPECT_EQ(ScriptedInput::KeyFromName("lctrl"), Key::LeftCtrl);
    EXPECT_EQ(ScriptedInput::KeyFromName("0"), 0);
    EXPECT_EQ(ScriptedInput::KeyFromName("511"), 511);
    EXPECT_EQ(ScriptedInput::KeyFromName("512"), -1);
    EXPECT_EQ(ScriptedInput::KeyFromName("-5"), -1);
    EXPECT_EQ(ScriptedInput::KeyFromName("jump"), -1);
    EXPECT_EQ(ScriptedInput::KeyFromName(""), -1);
}

struct BadScript {
    const char* text;
    const char* expected;  // must appear in the error
};

void PrintTo(const BadScript& bad, std::ostream* os)
{
    *os << EngineTest::Slug(bad.text);
}

class ScriptedInputErrors : public ::testing::TestWithParam<BadScript> {};

TEST_P(ScriptedInputErrors, NameTheLineAndTheProblem)
{
    ScriptedInput script;
    std::string error;
    EXPECT_FALSE(script.Parse(GetParam().text, error));
    EXPECT_NE(error.find(GetParam().expected), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(BadScripts, ScriptedInputErrors,
                         ::testing::Values(BadScript{"0 up\n3-1 up\n", "line 2: bad frame range '3-1'"},
                                           BadScript{"x up\n", "line 1: bad frame range 'x'"},
                                           BadScript{"# ok\n\n-2 up\n", "line 3: bad frame range"},
                                           BadScript{"1-2-3 up\n", "line 1: bad frame range"},
                                           BadScript{"1- up\n", "line 1: bad frame range"},
                                           BadScript{"0 up\n1 down\n7\n", "line 3: no keys"},
                                           BadScript{"7 jump\n", "line 1: unknown key 'jump'"},
                                           BadScript{"0 up\n600 512\n", "line 2: unknown key '512'"},
                                           BadScript{"99999999999 up\n", "line 1: bad frame range"}));

TEST(ScriptedInput, FailedParseKeepsThePreviousScript)
{
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(script.Parse("4 up", error));
    EXPECT_FALSE(script.Parse("4 up\nbad", error));
    ASSERT_EQ(script.Spans().size(), 1u);
    EXPECT_EQ(script.Spans()[0].first, 4u);
}

TEST(ScriptedInput, BeginFrameHoldsExactlyTheCoveringSpansKeys)
{
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(script.Parse("2-4 right\n3 space\n4-6 up\n", error)) << error;
    script.SetKey(Key::Down, true);  // left over from elsewhere

    script.BeginFrame(0);
    EXPECT_FALSE(script.IsKeyDown(Key::Down));
    EXPECT_FALSE(script.IsKeyDown(Key::Right));

    script.BeginFrame(2);
    EXPECT_TRUE(script.IsKeyDown(Key::Right));
    EXPECT_FALSE(script.IsKeyDown(Key::Space));

    script.BeginFrame(3);
    EXPECT_TRUE(script.IsKeyDown(Key::Right));
    EXPECT_TRUE(script.IsKeyDown(Key::Space));
    EXPECT_FALSE(script.IsKeyDown(Key::Up));

    script.BeginFrame(4);
    EXPECT_TRUE(script.IsKeyDown(Key::Right));
    EXPECT_FALSE(script.IsKeyDown(Key::Space));
    EXPECT_TRUE(script.IsKeyDown(Key::Up));

    script.BeginFrame(6);
    EXPECT_FALSE(script.IsKeyDown(Key::Right));
    EXPECT_TRUE(script.IsKeyDown(Key::Up));

    script.BeginFrame(7);
    for (int key = 0; key < Key::Count; ++key) {
        EXPECT_FALSE(script.IsKeyDown(key)) << key;
    }
    EXPECT_EQ(script.LastFrame(), 6u);
}

TEST(ScriptedInput, SuspensionHidesScriptedKeys)
{
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(script.Parse("0-9 left", error));
    script.SetSuspended(true);
    script.BeginFrame(1);
    EXPECT_FALSE(script.IsKeyDown(Key::Left));
    script.SetSuspended(false);
    EXPECT_TRUE(script.IsKeyDown(Key::Left));
}

TEST(ScriptedInput, EmptyScriptHoldsNothing)
{
    ScriptedInput script;
    std::string error;
    ASSERT_TRUE(script.Parse("# nothing\n\n", error));
    EXPECT_TRUE(script.Spans().empty());
    EXPECT_EQ(script.LastFrame(), 0u);
}

TEST(ScriptedInput, LoadFileReadsAScriptAndNamesTheFileInErrors)
{
    EngineTest::TempDir dir;
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
