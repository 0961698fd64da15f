#include <gtest/gtest.h>

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>

#include "memory/MemoryTracker.h"
#include "memory/TrackedNew.h"

namespace fs = std::filesystem;
using namespace MemoryTracker;

namespace {

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Hex(const void* p)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%016" PRIXPTR, reinterpret_cast<uintptr_t>(p));
    return text;
}

uint32_t WordAt(const unsigned char* p)
{
    uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

// Month/day/year, as the leak report's title gives the date.
std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%m/%d/%Y", &local);
    return text;
}

class MemoryTrackerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/karsk-memory-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        saved = GetSettings();
        SetOutputDirectory(dir.c_str());
    }
    void TearDown() override
    {
        SetSettings(saved);
        SetOutputDirectory("");
        fs::remove_all(dir);
    }
    std::string Log() const { return Slurp(dir / "memory.log"); }

    fs::path dir;
    Settings saved;
};

struct alignas(64) Wide {
    char bytes[64];
};

TEST_F(MemoryTrackerTest, BlocksRecordTheirSiteUntilFreed)
{
    const uint32_t line = __LINE__ + 1;
    int* one = KARSK_NEW int(5);
    char* empty = KARSK_NEW char[0];
    Wide* wide = KARSK_NEW Wide;
    SetAllocationSite("C:\\src\\game\\Bomb.cpp", 83, "Tick");
    int* stored = new int;
    int* unsited = new int;

    struct Case {
        const void* p;
        const char* file;
        uint32_t line;
        const char* function;
        uint32_t method;
        size_t size;
    } cases[] = {
        {one, "MemoryTrackerTest.cpp", line, "TestBody", kNew, sizeof(int)},
        {empty, "MemoryTrackerTest.cpp", line + 1, "TestBody", kNewArray, 1},
        {wide, "MemoryTrackerTest.cpp", line + 2, "TestBody", kNew, 64},
        {stored, "Bomb.cpp", 83, "Tick", kNew, sizeof(int)},
        {unsited, "??", 0, "??", kNew, sizeof(int)},
    };
    for (const Case& c : cases) {
        TrackedBlock block;
        ASSERT_TRUE(FindBlock(c.p, block)) << c.file;
        EXPECT_STREQ(block.fileName, c.file);
        EXPECT_EQ(block.line, c.line);
        EXPECT_STREQ(block.functionName, c.function);
        EXPECT_EQ(block.method, c.method);
        EXPECT_EQ(block.requestedSize, c.size);
        EXPECT_EQ(static_cast<const char*>(block.address) - static_cast<const char*>(block.actualAddress),
                  c.p == wide ? 64 : 16);
        EXPECT_EQ(static_cast<const char*>(block.address) + c.size + 16,
                  static_cast<const char*>(block.actualAddress) + block.actualSize);
    }
    EXPECT_EQ(reinterpret_cast<uintptr_t>(wide) % 64, 0u);

    delete one;
    delete[] empty;
    delete wide;
    delete stored;
    delete unsited;
    for (const Case& c : cases) {
        TrackedBlock block;
        EXPECT_FALSE(FindBlock(c.p, block)) << c.file;
    }
    EXPECT_EQ(Log(), "");
}

TEST_F(MemoryTrackerTest, FreshAndReleasedBlocksCarryTheirPatternsInsideTheGuards)
{
    auto* p = static_cast<unsigned char*>(TrackAllocate(nullptr, 0, nullptr, kNew, 7));
    EXPECT_EQ(WordAt(p), 0xFEEDFACEu);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p) + 4, 3), "\xCE\xFA\xED");  // the low bytes first
    for (int i = 0; i < 16; i += 4) {
        EXPECT_EQ(WordAt(p - 16 + i), 0xBAADF00Du);
        EXPECT_EQ(WordAt(p + 7 + i), 0xDEADC0DEu);
    }
    TrackRelease(nullptr, 0, nullptr, kDelete, p);

    // The system allocator reuses only the start of a freed chunk, which is
    // the leading guard, so the caller's bytes can still be read.
    auto* big = static_cast<unsigned char*>(TrackAllocate(nullptr, 0, nullptr, kNew, 64));
    TrackRelease(nullptr, 0, nullptr, kDelete, big);
    for (int i = 0; i < 64; i += 4) {
        EXPECT_EQ(WordAt(big + i), 0xDEADBEEFu);
    }
}

// Without a debugger every assertion point is a line in memory.log.
TEST_F(MemoryTrackerTest, DamageAndMisuseAreLoggedAndTheProgramGoesOn)
{
    if (Slurp("/proc/self/status").find("TracerPid:\t0\n") == std::string::npos) {
        GTEST_SKIP() << "a debugger is attached";
    }
    struct Case {
        int offset;
        const char* text;
    } cases[] = {
        {-1, "A memory allocation unit was corrupt because of an underrun:"},
        {8, "A memory allocation unit was corrupt because of an overrun:"},
    };
    for (const Case& c : cases) {
        SetOutputDirectory(dir.c_str());
        const uint32_t line = __LINE__ + 1;
        auto* p = static_cast<char*>(TrackAllocate(__FILE__, line, "Scribble", kNewArray, 8));
        const uint64_t serial = AllocationCounter();
        const std::string expected = std::string(c.text) + "\r\n  Address (reported): " + Hex(p) +
                                     "\r\n  Address (actual)  : " + Hex(p - 16) +
                                     "\r\n  Size (reported)   : 0x00000008 (         8 bytes     )"
                                     "\r\n  Size (actual)     : 0x00000028 (        40 bytes     )"
                                     "\r\n  Owner             : MemoryTrackerTest.cpp(" +
                                     std::to_string(line) + ")::Scribble\r\n  Allocation type   : new[]" +
                                     "\r\n  Allocation number : " + std::to_string(serial) +
                                     "\r\nAssertion point without a debugger: ";
        p[c.offset] = 'x';
        TrackRelease(nullptr, 0, nullptr, kDeleteArray, p);
        EXPECT_EQ(Log().rfind(expected, 0), 0u) << Log();
    }

    SetOutputDirectory(dir.c_str());
    int local = 0;
    const Statistics before = GetStatistics();
    TrackRelease(nullptr, 0, nullptr, kDelete, &local);
    EXPECT_EQ(GetStatistics().blocksInUse, before.blocksInUse);
    Settings settings = GetSettings();
    settings.breakAtSerial = AllocationCounter() + 1;
    SetSettings(settings);
    TrackRelease(nullptr, 0, nullptr, kDeleteArray, TrackAllocate(nullptr, 0, nullptr, kNew, 4));
    EXPECT_EQ(Log(),
              "Request to deallocate RAM that was never allocated\r\n"
              "Assertion point without a debugger: the allocation counter reached breakAtSerial\r\n"
              "Assertion point without a debugger: delete[] of a block made by new\r\n");
    EXPECT_EQ(CheckAllBlocks(), 0u);
}

TEST_F(MemoryTrackerTest, TheLeakReportListsLiveBlocksWithSiteAndFullAddress)
{
    const uint32_t line = __LINE__ + 1;
    char* leak = KARSK_NEW char[100];
    std::memset(leak, 0, 10);  // leaves 22 untouched words
    const uint64_t serial = AllocationCounter();
    const std::string today = Today();
    WriteLeakReport();
    const uint64_t live = GetStatistics().blocksInUse;
    const std::string report = Slurp(dir / "memleaks.log");
    EXPECT_TRUE(report.find("for:  " + today) != std::string::npos ||
                report.find("for:  " + Today()) != std::string::npos)
        << report.substr(0, 300);

    const std::string separator = " " + std::string(130, '-') + " \r\n";
    EXPECT_EQ(report.substr(0, separator.size()), separator);
    EXPECT_TRUE(std::regex_match(report.substr(separator.size(), separator.size()),
                                 std::regex("\\| {42}Memory leak report for:  \\d\\d/\\d\\d/\\d{4} "
                                            "\\d\\d:\\d\\d:\\d\\d {44}\\|\r\n")));
    const std::string count =
        std::to_string(live) + (live == 1 ? " memory leak found:" : " memory leaks found:");
    EXPECT_NE(report.find(separator + "\r\n\r\n" + count + "\r\n\r\n"), std::string::npos);
    char row[256];
    std::snprintf(row, sizeof row,
                  "\r\n%06" PRIu64
                  " %s 0x00000064 %s 0x00000084 0x00000058 new[]       N       N    "
                  "MemoryTrackerTest.cpp(%05u)::TestBody\r\n",
                  serial, Hex(leak).c_str(), Hex(leak - 16).c_str(), line);
    EXPECT_NE(report.find(row), std::string::npos) << report;
    EXPECT_NE(
        report.find("Alloc.       Addr           Size           Addr           Size" + std::string(24, ' ') +
                    "BreakOn BreakOn" + std::string(14, ' ') +
                    "\r\n"
                    "Number Reported           Reported    Actual             Actual     Unused    Method  "
                    "Dealloc Realloc Allocated by \r\n"
                    "------ ------------------ ---------- ------------------ ---------- ---------- -------- "
                    "------- ------- " +
                    std::string(51, '-') + " \r\n"),
        std::string::npos);

    delete[] leak;
    WriteLeakReport();
    EXPECT_EQ(Slurp(dir / "memleaks.log").find(Hex(leak)), std::string::npos);
}

TEST_F(MemoryTrackerTest, LoggingEveryCallGivesTheSiteSizeAddressAndHashBucket)
{
    Settings settings = GetSettings();
    settings.logEveryCall = true;
    SetSettings(settings);
    void* p = TrackAllocate("C:\\game\\Bomb.cpp", 83, "Tick", kNew, 1025);
    const uint64_t serial = AllocationCounter();
    TrackRelease("items/Bomb.cpp", 90, "Dead", kDelete, p);
    settings.logEveryCall = false;
    SetSettings(settings);
    char expected[512];
    std::snprintf(expected, sizeof expected,
                  "%05" PRIu64
                  " %-40s      new            :      1,025 (   1.00K)\r\n%65sOK: %s (hash: %u)\r\n"
                  "      %-40s   delete(%s)\r\n",
                  serial, "Bomb.cpp(00083)::Tick", "", Hex(p).c_str(), unsigned((uintptr_t(p) >> 4) & 0xFFF),
                  "Bomb.cpp(00090)::Dead", Hex(p).c_str());
    EXPECT_EQ(Log(), expected);
}

TEST_F(MemoryTrackerTest, AtExitTheReportCountsWhatWasNeverReleased)
{
    struct Case {
        const char* args;
        const char* line;
    } cases[] = {
        {"0", "Congratulations! No memory leaks found!\r\n"},
        {"1", "1 memory leak found:\r\n"},
        {"2", "2 memory leaks found:\r\n"},
        {"0 late", "Congratulations! No memory leaks found!\r\n"},
    };
    for (const Case& c : cases) {
        const std::string command =
            std::string("'") + KARSK_EXIT_PROBE + "' '" + dir.string() + "' " + c.args;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_NE(Slurp(dir / "memleaks.log").find(c.line), std::string::npos) << c.args;
    }
}

TEST_F(MemoryTrackerTest, StatisticsCountBytesBlocksAndPeaksIn64Bits)
{
    Settings settings = GetSettings();
    settings.fillBlocks = false;  // only the guards are touched
    SetSettings(settings);
    const size_t huge = (size_t{1} << 32) + 1;
    const Statistics before = GetStatistics();
    void* big = TrackAllocate(nullptr, 0, nullptr, kNew, huge);
    if (!big) {
        GTEST_SKIP() << "no address space for a 4 GiB block";
    }
    void* small = TrackAllocate(nullptr, 0, nullptr, kNew, 100);
    const Statistics during = GetStatistics();
    TrackRelease(nullptr, 0, nullptr, kDelete, big);
    const Statistics after = GetStatistics();
    TrackRelease(nullptr, 0, nullptr, kDelete, small);

    EXPECT_EQ(during.totalRequestedBytes - before.totalRequestedBytes, huge + 100);
    EXPECT_EQ(during.totalActualBytes - before.totalActualBytes, huge + 100 + 64);
    EXPECT_EQ(during.blocksInUse - before.blocksInUse, 2u);
    EXPECT_EQ(during.accumulatedBlockCount - before.accumulatedBlockCount, 2u);
    EXPECT_EQ(during.accumulatedRequestedBytes - before.accumulatedRequestedBytes, huge + 100);
    EXPECT_EQ(during.accumulatedActualBytes - before.accumulatedActualBytes, huge + 164);
    EXPECT_GE(during.peakRequestedBytes, during.totalRequestedBytes);
    EXPECT_EQ(after.blocksInUse, during.blocksInUse - 1);
    EXPECT_EQ(after.peakActualBytes, during.peakActualBytes);
}

TEST_F(MemoryTrackerTest, TwoThreadsAllocatingTogetherKeepTheTotalsInStep)
{
    constexpr int kRounds = 20000;
    std::atomic<bool> go{false};
    auto churn = [&go] {
        while (!go) {
        }
        void* held[8] = {};
        for (int i = 0; i < kRounds; ++i) {
            void*& slot = held[i % 8];
            ::operator delete(slot);  // nothing for the first, empty slots
            slot = TrackAllocate(nullptr, 0, nullptr, kNew, static_cast<size_t>(i % 64 + 1));
        }
        for (void* p : held) {
            ::operator delete(p);
        }
    };
    std::thread a(churn);
    std::thread b(churn);
    const Statistics before = GetStatistics();
    go = true;
    a.join();
    b.join();
    const Statistics after = GetStatistics();
    const uint64_t bytes = 312 * 2080 + 528;  // 312 rounds of 1 to 64 bytes, then 1 to 32
    EXPECT_EQ(after.accumulatedBlockCount - before.accumulatedBlockCount, 2u * kRounds);
    EXPECT_EQ(after.accumulatedRequestedBytes - before.accumulatedRequestedBytes, 2 * bytes);
    EXPECT_EQ(CheckAllBlocks(), 0u);
    EXPECT_EQ(Log(), "");
}

TEST(MemoryTrackerFormat, CountsSizesAndSitesReadAsInTheReports)
{
    char text[64];
    struct Case {
        uint64_t bytes;
        const char* text;
    } sizes[] = {
        {1, "         1 bytes     "},       {1024, "     1,024 bytes     "},
        {1025, "     1,025 (   1.00K)"},    {1048576, " 1,048,576 (1024.00K)"},
        {1048577, " 1,048,577 (   1.00M)"}, {4294967297u, "4,294,967,297 (4096.00M)"},
    };
    for (const Case& c : sizes) {
        EXPECT_STREQ(FormatSize(c.bytes, text, sizeof text), c.text);
    }
    EXPECT_STREQ(FormatSite("C:\\game\\items\\Bomb.cpp", 83, "Tick", text, sizeof text),
                 "Bomb.cpp(00083)::Tick");
    EXPECT_STREQ(FormatSite(nullptr, 0, nullptr, text, sizeof text), "?\?(00000)::?\?");
}

}  // namespace
