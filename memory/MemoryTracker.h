#pragma once

#include <cstddef>
#include <cstdint>

// The debugging allocator behind the global operator new and delete (see
// TrackedNew.cpp). Every block is recorded with the site that asked for it,
// framed by guard words, filled with a pattern when handed out and when
// released, and listed in "memleaks.log" at exit. Problems go to "memory.log".
// Both files are written in the output directory: the working directory at
// start-up until SetOutputDirectory names another.
//
// One lock serialises every operation, so any thread may allocate. The
// tracker's own bookkeeping never calls operator new.
namespace MemoryTracker {

enum Method : uint32_t {
    kUnknown = 0,
    kNew = 1,
    kNewArray = 2,
    kMalloc = 3,
    kCalloc = 4,
    kRealloc = 5,
    kDelete = 6,
    kDeleteArray = 7,
    kFree = 8,
};

constexpr uint32_t kGuardBefore = 0xBAADF00D;
constexpr uint32_t kGuardAfter = 0xDEADC0DE;
constexpr uint32_t kFillAllocated = 0xFEEDFACE;
constexpr uint32_t kFillReleased = 0xDEADBEEF;
constexpr size_t kGuardSize = 16;  // bytes of guard on each side
constexpr size_t kBucketCount = 4096;
constexpr size_t kRecordsPerSlab = 256;
constexpr size_t kNameSize = 40;

struct TrackedBlock {
    size_t actualSize;     // bytes obtained from the system
    size_t requestedSize;  // bytes the caller asked for (0 counts as 1)
    void* actualAddress;   // start of the system block
    void* address;         // what the caller got
    char fileName[kNameSize];
    char functionName[kNameSize];
    uint32_t line;
    uint32_t method;
    bool breakOnRelease;
    bool breakOnResize;
    uint64_t serial;  // the allocation counter when the block was made
    TrackedBlock* next;
    TrackedBlock* previous;
};

struct Statistics {
    uint64_t totalRequestedBytes;
    uint64_t totalActualBytes;
    uint64_t peakRequestedBytes;
    uint64_t peakActualBytes;
    uint64_t accumulatedRequestedBytes;
    uint64_t accumulatedActualBytes;
    uint64_t accumulatedBlockCount;
    uint64_t blocksInUse;
    uint64_t peakBlocksInUse;
};

struct Settings {
    uint64_t breakAtSerial = 0;  // 0 never matches
    bool logEveryCall = false;
    bool checkOnEveryCall = false;
    bool fillBlocks = true;
    bool randomFill = false;
    bool clearLogAtStart = true;  // a fresh memory.log in each output directory
    bool leakReportOnRelease = false;
};

const char* MethodName(uint32_t method);

// The site of the calling thread's next tracked operation; the operation
// consumes it. Without one, "??", 0, "??" is recorded.
void SetAllocationSite(const char* file, uint32_t line, const char* function);
void ClearAllocationSite();
// Takes the calling thread's stored site and clears it.
void TakeAllocationSite(const char*& file, uint32_t& line, const char*& function);

// Alignments above kGuardSize put padding in front of the leading guard.
void* TrackAllocate(const char* file, uint32_t line, const char* function, uint32_t method, size_t size,
                    size_t alignment = kGuardSize);
void TrackRelease(const char* file, uint32_t line, const char* function, uint32_t method, void* address);

void WriteLeakReport();
// Returns the number of blocks found damaged (plus one if the table is).
uint64_t CheckAllBlocks();
void TrackerLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where memory.log and memleaks.log go; a relative path is taken from the
// current directory. Clears that directory's memory.log if clearLogAtStart.
void SetOutputDirectory(const char* directory);

Settings GetSettings();
void SetSettings(const Settings& settings);
Statistics GetStatistics();
uint64_t AllocationCounter();
// Copies the record of the live block handed out at `address`.
bool FindBlock(const void* address, TrackedBlock& block);

// Formatting helpers, exposed for the tests. Each writes into `out`.
const char* FormatCount(uint64_t value, char* out, size_t outSize);
const char* FormatSize(uint64_t bytes, char* out, size_t outSize);
const char* FormatSite(const char* file, uint32_t line, const char* function, char* out, size_t outSize);

// A stop for the debugger: a breakpoint trap when one is attached, else a
// line in memory.log.
void AssertionPoint(const char* reason);

}  // namespace MemoryTracker
