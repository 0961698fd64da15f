#include <gtest/gtest.h>

#include "engine/QuillLogger.h"
#include "tests/support/TestSupport.h"

using Quill::CQuillLogger;

namespace {

TEST(Logger, KeepsTheMostRecentFormattedLinesWhole)
{
    CQuillLogger log;
    log.SetEchoToStderr(false);
    log.Log("dirty tile %d,%d", 12, 7);
    log.Log("ends in newline\n");
    const std::string longText(2000, 'x');
    log.Log("%s!", longText.c_str());
    EXPECT_TRUE(log.Contains("dirty tile 12,7"));
    EXPECT_FALSE(log.Contains("clean tile"));
    EXPECT_EQ(std::vector<std::string>(log.RecentLines().begin(), log.RecentLines().end()),
              (std::vector<std::string>{"dirty tile 12,7", "ends in newline", longText + "!"}));

    const int total = int(CQuillLogger::kRecentLimit) + 100;
    for (int i = 3; i < total; ++i) log.Log("line %d", i);
    ASSERT_EQ(log.RecentLines().size(), CQuillLogger::kRecentLimit);
    EXPECT_EQ(log.RecentLines().front(), "line 100");
    EXPECT_EQ(log.RecentLines().back(), "line " + std::to_string(total - 1));
    EXPECT_FALSE(log.Contains("line 99"));
    log.ClearRecent();
    EXPECT_TRUE(log.RecentLines().empty());
}

TEST(Logger, WritesEachLineToTheFileAsItIsLogged)
{
    TempDir dir;
    const std::string path = dir.File("run.log");
    CQuillLogger log;
    log.SetEchoToStderr(false);
    ASSERT_TRUE(log.OpenFile(path));
    log.Log("first %s", "entry");
    // Flushed per line: readable before the logger closes the file.
    EXPECT_NE(ReadWholeFile(path).find(" first entry\n"), std::string::npos);
    log.Log("second");
    ASSERT_TRUE(log.OpenFile(""));
    log.Log("after close");
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find(" second\n"), std::string::npos);
    EXPECT_EQ(text.find("after close"), std::string::npos);

    EXPECT_FALSE(log.OpenFile("/nonexistent-dir/karsk.log"));
    EXPECT_TRUE(log.Contains("/nonexistent-dir/karsk.log"));
}

}  // namespace
