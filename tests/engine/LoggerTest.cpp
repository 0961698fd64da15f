#include <gtest/gtest.h>

#include "engine/QuillLogger.h"
#include "tests/engine/EngineTestUtil.h"

using Quill::CQuillLogger;

namespace {

TEST(Logger, KeepsFormattedLinesFindableByContains)
{
    CQuillLogger log;
    log.SetEchoToStderr(false);
    log.Log("dirty tile %d,%d", 12, 7);
    EXPECT_TRUE(log.Contains("dirty tile"));
    EXPECT_TRUE(log.Contains("dirty tile 12,7"));
    EXPECT_FALSE(log.Contains("clean tile"));
    ASSERT_EQ(log.RecentLines().size(), 1u);
    EXPECT_EQ(log.RecentLines().back(), "dirty tile 12,7");
}

TEST(Logger, DropsTrailingNewlineAndKeepsLongLinesWhole)
{
    CQuillLogger log;
    log.SetEchoToStderr(false);
    log.Log("ends in newline\n");
    std::string longText(2000, 'x');
    log.Log("%s!", longText.c_str());
    ASSERT_EQ(log.RecentLines().size(), 2u);
    EXPECT_EQ(log.RecentLines()[0], "ends in newline");
    EXPECT_EQ(log.RecentLines()[1], longText + "!");
}

TEST(Logger, KeepsOnlyTheMostRecentLines)
{
    CQuillLogger log;
    log.SetEchoToStderr(false);
    const int total = static_cast<int>(CQuillLogger::kRecentLimit) + 100;
    for (int i = 0; i < total; ++i) {
        log.Log("line %d", i);
    }
    ASSERT_EQ(log.RecentLines().size(), CQuillLogger::kRecentLimit);
    EXPECT_EQ(log.RecentLines().front(), "line 100");
    EXPECT_EQ(log.RecentLines().back(), "line " + std::to_string(total - 1));
    EXPECT_FALSE(log.Contains("line 99"));
    log.ClearRecent();
    EXPECT_TRUE(log.RecentLines().empty());
}

TEST(Logger, WritesEachLineToTheFileAsItIsLogged)
{
    EngineTest::TempDir dir;
    const std::string path = dir.File("run.log");
    CQuillLogger log;
    log.SetEchoToStderr(false);
    ASSERT_TRUE(log.OpenFile(path));
    log.Log("first %s", "entry");
    // Flushed per line: readable before the logger closes the file.
    EXPECT_NE(EngineTest::ReadWholeFile(path).find("first entry\n"), std::string::npos);
    log.Log("second");
    ASSERT_TRUE(log.OpenFile(""));
    log.Log("after close");
    std::string text = EngineTest::ReadWholeFile(path);
    EXPECT_NE(text.find("second\n"), std::string::npos);
    EXPECT_EQ(text.find("after close"), std::string::npos);
}

TEST(Logger, ReportsALogFileThatCannotBeOpened)
{
    CQuillLogger log;
    log.SetEchoToStderr(false);
    EXPECT_FALSE(log.OpenFile("/nonexistent-dir/karsk.log"));
    EXPECT_TRUE(log.Contains("/nonexistent-dir/karsk.log"));
}

}  // namespace
