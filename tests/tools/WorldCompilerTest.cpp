#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "tests/tools/DataFiles.h"
#include "tools/world/WorldSource.h"

namespace {

const char* const kLegend =
    "legend . 0\n"
    "legend T 2\n"
    "legend S 64\n"
    "legend % 174\n"
    "legend , 160\n";

std::string ClosedScreen(int sx, int sy, const std::string& middle)
{
    std::string text = "screen " + std::to_string(sx) + " " + std::to_string(sy) + "\n";
    text += "TTTTTTTTTTTTTTTT\n";
    for (int r = 1; r < 10; ++r) text += r == 5 ? middle + "\n" : "T..............T\n";
    text += "TTTTTTTTTTTTTTTT\n";
    return text;
}

std::string Compile(const std::map<std::string, std::string>& files)
{
    try {
        ktool::CompileWorld("top.txt", [&](const std::string& path) {
            auto found = files.find(path);
            if (found == files.end())
                throw ktool::SourceError(path + ": cannot open");
            return found->second;
        });
    } catch (const ktool::SourceError& e) {
        return e.what();
    }
    return "";
}

TEST(WorldCompiler, AcceptsAClosedScreen)
{
    EXPECT_EQ(Compile({{"top.txt", std::string(kLegend) + ClosedScreen(3, 3, "T..............T")}}), "");
}

TEST(WorldCompiler, RejectsAShortRowNamingFileAndLine)
{
    std::string error = Compile({{"top.txt", std::string(kLegend) + ClosedScreen(3, 3, "T.............T")}});
    EXPECT_NE(error.find("top.txt:12:"), std::string::npos) << error;
    EXPECT_NE(error.find("15 characters, expected 16"), std::string::npos) << error;
}

TEST(WorldCompiler, RejectsAnUnknownLegendCharacterInAnIncludedFile)
{
    std::string error = Compile({{"top.txt", "include sub.txt\n"},
                                 {"sub.txt", std::string(kLegend) + ClosedScreen(3, 3, "T......q.......T")}});
    EXPECT_NE(error.find("sub.txt:12:"), std::string::npos) << error;
    EXPECT_NE(error.find("unknown legend character 'q'"), std::string::npos) << error;
}

TEST(WorldCompiler, RejectsAnOpenEdgeAtTheRegionBorder)
{
    std::string error = Compile({{"top.txt", std::string(kLegend) + ClosedScreen(3, 3, "...............T")}});
    EXPECT_NE(error.find("top.txt:12:"), std::string::npos) << error;
    EXPECT_NE(error.find("outer west edge"), std::string::npos) << error;
}

TEST(WorldCompiler, RejectsEdgesThatDoNotMatch)
{
    std::string text = std::string(kLegend) + ClosedScreen(3, 3, "T...............") +
                       ClosedScreen(4, 3, "T..............T");
    std::string error = Compile({{"top.txt", text}});
    EXPECT_NE(error.find("is free but the facing cell"), std::string::npos) << error;
}

TEST(WorldCompiler, RejectsStairsWithoutATarget)
{
    std::string error = Compile({{"top.txt", std::string(kLegend) + ClosedScreen(3, 3, "T......S.......T")}});
    EXPECT_NE(error.find("no stairs="), std::string::npos) << error;
}

std::string Room(int sx, int sy, const std::string& row5)
{
    std::string text = "screen " + std::to_string(sx) + " " + std::to_string(sy) + "\n";
    text += "%%%%%%%%%%%%%%%%\n%%%%%%%%%%%%%%%%\n";
    for (int r = 2; r <= 8; ++r) text += r == 5 ? row5 + "\n" : "%%,,,,,,,,,,,,%%\n";
    text += "%%%%%%%%%%%%%%%%\n%%%%%%%%%%%%%%%%\n";
    return text;
}

TEST(WorldCompiler, RejectsDoorsWhoseStatesDiffer)
{
    std::string text = std::string(kLegend) +
                       "legend E door east\nlegend e 120\nlegend W door west\nlegend w 121\n" +
                       Room(2, 20, "%%,,,,,,,,,,,,Ee") + Room(3, 20, "wW,,,,,,,,,,,,%%") +
                       "info 2 20 dungeon doors=none,none,open,none\n"
                       "info 3 20 dungeon doors=none,none,none,locked\n";
    std::string error = Compile({{"top.txt", text}});
    EXPECT_NE(error.find("top.txt:34:"), std::string::npos) << error;
    EXPECT_NE(error.find("is open but the matching door of screen (3,20) is locked"), std::string::npos)
        << error;
}

TEST(WorldCompiler, RejectsStairsLandingInAWall)
{
    std::string text = std::string(kLegend) + ClosedScreen(3, 3, "T......S.......T") +
                       Room(3, 20, "%%,,,,,,,,,,,,%%") + "info 3 3 stairs=3,20:1,5\ninfo 3 20 dungeon\n";
    std::string error = Compile({{"top.txt", text}});
    EXPECT_NE(error.find("top.txt:30:"), std::string::npos) << error;
    EXPECT_NE(error.find("not free floor"), std::string::npos) << error;
}

TEST(WorldCompiler, ToolExitsWithTheMessageAndLeavesNoMap)
{
    std::string source = datatest::UniqueTempPath("badworld") + ".txt";
    std::string output = datatest::UniqueTempPath("badworld") + ".kmap";
    std::string log = datatest::UniqueTempPath("badworld") + ".log";
    {
        std::ofstream out(source);
        out << kLegend << ClosedScreen(3, 3, "T....z.........T");
    }
    std::string command = std::string(KARSK_MKWORLD) + " " + source + " " + output + " 2>" + log;
    int status = std::system(command.c_str());
    EXPECT_NE(status, 0);
    std::ifstream in(log);
    std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find(source + ":12: unknown legend character 'z'"), std::string::npos) << message;
    EXPECT_FALSE(std::ifstream(output).good());
    std::remove(source.c_str());
    std::remove(log.c_str());
}

}  // namespace
