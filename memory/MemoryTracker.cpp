#include "memory/MemoryTracker.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

namespace MemoryTracker {
namespace {

constexpr size_t kPathSize = 4096;
constexpr size_t kFilePathSize = kPathSize + 16;  // the directory and "/memleaks.log"
constexpr size_t kLogLineSize = 2048;
constexpr size_t kAddressText = 24;
constexpr size_t kSiteText = 128;
constexpr size_t kSizeText = 64;

// Everything the tracker keeps. It must be usable from the very first
// allocation, before any constructor has run, and after the last destructor,
// so every member has a constant initialiser and no destructor.
struct State {
    TrackedBlock* buckets[kBucketCount] = {};
    TrackedBlock* pool = nullptr;
    TrackedBlock** slabs = nullptr;
    size_t slabCount = 0;
    Statistics stats = {};
    uint64_t allocationCounter = 0;
    Settings settings = {};
    bool started = false;
    bool logCleared = false;
    char outputDirectory[kPathSize] = {};
};
constexpr bool ConstantInitialised()
{
    State state;
    return !state.started;
}
static_assert(ConstantInitialised(), "the tracker's state must be constant-initialised");

State g_state;
std::mutex g_lock;

struct Site {
    const char* file;
    uint32_t line;
    const char* function;
};
// Per thread, so that the audio thread cannot take the main thread's site.
thread_local Site t_site = {nullptr, 0, nullptr};

const char* const kMethodNames[] = {"Unknown", "new",    "new[]",    "malloc", "calloc",
                                    "realloc", "delete", "delete[]", "free"};

size_t BucketOf(const void* address)
{
    return (reinterpret_cast<uintptr_t>(address) >> 4) & (kBucketCount - 1);
}

const char* StripDirectory(const char* file)
{
    if (!file) {
        return "??";
    }
    const char* slash = std::strrchr(file, '\\');
    if (!slash) {
        slash = std::strrchr(file, '/');
    }
    return slash ? slash + 1 : file;
}

const char* FormatAddress(const void* address, char (&out)[kAddressText])
{
    std::snprintf(out, sizeof out, "0x%016" PRIXPTR, reinterpret_cast<uintptr_t>(address));
    return out;
}

void PathOf(const char* name, char (&out)[kFilePathSize])
{
    if (g_state.outputDirectory[0]) {
        std::snprintf(out, sizeof out, "%s/%s", g_state.outputDirectory, name);
    } else {
        std::snprintf(out, sizeof out, "%s", name);
    }
}

void RemoveLogLocked()
{
    char path[kFilePathSize];
    PathOf("memory.log", path);
    std::remove(path);
    g_state.logCleared = true;
}

void VLogLocked(const char* format, va_list args)
{
    char text[kLogLineSize];
    std::vsnprintf(text, sizeof text, format, args);
    if (g_state.settings.clearLogAtStart && !g_state.logCleared) {
        RemoveLogLocked();
    }
    char path[kFilePathSize];
    PathOf("memory.log", path);
    // Opened for each line, so that the log is complete whatever happens next.
    std::FILE* file = std::fopen(path, "ab");
    if (!file) {
        return;
    }
    std::fputs(text, file);
    std::fputs("\r\n", file);
    std::fclose(file);
}

void LogLocked(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogLocked(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    VLogLocked(format, args);
    va_end(args);
}

// Reads TracerPid without stdio, which could allocate.
bool DebuggerAttached()
{
    int fd = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char text[8192];
    size_t length = 0;
    for (;;) {
        ssize_t n = read(fd, text + length, sizeof text - 1 - length);
        if (n <= 0) {
            break;
        }
        length += static_cast<size_t>(n);
    }
    close(fd);
    text[length] = '\0';
    const char* tracer = std::strstr(text, "TracerPid:");
    if (!tracer) {
        return false;
    }
    tracer += std::strlen("TracerPid:");
    while (*tracer == ' ' || *tracer == '\t') {
        ++tracer;
    }
    return *tracer >= '1' && *tracer <= '9';
}

void AssertionPointLocked(const char* reason)
{
    if (DebuggerAttached()) {
        raise(SIGTRAP);
    } else {
        LogLocked("Assertion point without a debugger: %s", reason);
    }
}

void AtExit();

void StartLocked()
{
    if (g_state.started) {
        return;
    }
    g_state.started = true;
    if (!getcwd(g_state.outputDirectory, sizeof g_state.outputDirectory)) {
        g_state.outputDirectory[0] = '\0';
    }
    if (g_state.settings.clearLogAtStart) {
        RemoveLogLocked();
    }
    // Registered at the first allocation, so it runs after the destructors of
    // everything constructed later, which is nearly everything.
    std::atexit(AtExit);
}

void FillLocked(TrackedBlock& block, uint32_t pattern, size_t fromOffset)
{
    if (g_state.settings.randomFill) {
        pattern = 0;
        for (int i = 0; i < 4; ++i) {
            pattern = (pattern << 8) | static_cast<uint32_t>(std::rand() & 0xFF);
        }
    }
    auto* caller = static_cast<unsigned char*>(block.address);
    if (g_state.settings.fillBlocks && block.requestedSize > fromOffset) {
        const size_t length = block.requestedSize - fromOffset;
        unsigned char* at = caller + fromOffset;
        const unsigned char* end = at + length / 4 * 4;
        for (; at < end; at += 4) {
            std::memcpy(at, &pattern, 4);
        }
        for (size_t i = 0; i < length % 4; ++i) {
            at[i] = static_cast<unsigned char>(pattern >> (8 * i));
        }
    }
    for (size_t i = 0; i < kGuardSize; i += 4) {
        std::memcpy(caller - kGuardSize + i, &kGuardBefore, 4);
        std::memcpy(caller + block.requestedSize + i, &kGuardAfter, 4);
    }
}

void DescribeBlockLocked(const TrackedBlock& block, const char* indent)
{
    char address[kAddressText];
    char size[kSizeText];
    LogLocked("%sAddress (reported): %s", indent, FormatAddress(block.address, address));
    LogLocked("%sAddress (actual)  : %s", indent, FormatAddress(block.actualAddress, address));
    LogLocked("%sSize (reported)   : 0x%08zX (%s)", indent, block.requestedSize,
              FormatSize(block.requestedSize, size, sizeof size));
    LogLocked("%sSize (actual)     : 0x%08zX (%s)", indent, block.actualSize,
              FormatSize(block.actualSize, size, sizeof size));
    LogLocked("%sOwner             : %s(%u)::%s", indent, block.fileName, block.line, block.functionName);
    LogLocked("%sAllocation type   : %s", indent, MethodName(block.method));
    LogLocked("%sAllocation number : %" PRIu64, indent, block.serial);
}

bool CheckGuardsLocked(const TrackedBlock& block)
{
    const auto* caller = static_cast<const unsigned char*>(block.address);
    bool intact = true;
    for (size_t i = 0; i < kGuardSize; i += 4) {
        uint32_t before;
        uint32_t after;
        std::memcpy(&before, caller - kGuardSize + i, 4);
        std::memcpy(&after, caller + block.requestedSize + i, 4);
        if (before != kGuardBefore) {
            LogLocked("A memory allocation unit was corrupt because of an underrun:");
            DescribeBlockLocked(block, "  ");
            AssertionPointLocked("a guard word before a block was overwritten");
            intact = false;
        }
        if (after != kGuardAfter) {
            LogLocked("A memory allocation unit was corrupt because of an overrun:");
            DescribeBlockLocked(block, "  ");
            AssertionPointLocked("a guard word after a block was overwritten");
            intact = false;
        }
    }
    return intact;
}

uint64_t CheckAllBlocksLocked()
{
    uint64_t count = 0;
    uint64_t failures = 0;
    for (TrackedBlock* head : g_state.buckets) {
        for (TrackedBlock* block = head; block; block = block->next) {
            ++count;
            if (!CheckGuardsLocked(*block)) {
                ++failures;
            }
        }
    }
    if (count != g_state.stats.blocksInUse) {
        LogLocked("Memory tracking hash table corrupt!");
        ++failures;
    }
    if (failures) {
        AssertionPointLocked("damaged blocks found while checking all of them");
        LogLocked("While validting all allocation units, %" PRIu64
                  " allocation unit(s) were found to have problems",
                  failures);
    }
    return failures;
}

bool AddSlabLocked()
{
    auto** slabs = static_cast<TrackedBlock**>(
        std::realloc(g_state.slabs, (g_state.slabCount + 1) * sizeof(TrackedBlock*)));
    if (!slabs) {
        return false;
    }
    g_state.slabs = slabs;
    auto* slab = static_cast<TrackedBlock*>(std::calloc(kRecordsPerSlab, sizeof(TrackedBlock)));
    if (!slab) {
        return false;
    }
    g_state.slabs[g_state.slabCount++] = slab;
    for (size_t i = 0; i < kRecordsPerSlab; ++i) {
        slab[i].next = i + 1 < kRecordsPerSlab ? &slab[i + 1] : g_state.pool;
    }
    g_state.pool = slab;
    return true;
}

void FreeSlabsLocked()
{
    for (size_t i = 0; i < g_state.slabCount; ++i) {
        std::free(g_state.slabs[i]);
    }
    std::free(g_state.slabs);
    g_state.slabs = nullptr;
    g_state.slabCount = 0;
    g_state.pool = nullptr;
}

void ReturnRecordLocked(TrackedBlock* block)
{
    std::memset(block, 0, sizeof *block);
    block->next = g_state.pool;
    g_state.pool = block;
}

void CopyName(char (&out)[kNameSize], const char* name)
{
    std::snprintf(out, sizeof out, "%s", name ? name : "??");
}

void Raise(uint64_t& peak, uint64_t value)
{
    if (value > peak) {
        peak = value;
    }
}

void* TrackAllocateLocked(const char* file, uint32_t line, const char* function, uint32_t method, size_t size,
                          size_t alignment)
{
    StartLocked();
    Settings& settings = g_state.settings;
    if (size == 0) {
        size = 1;
    }
    const uint64_t serial = ++g_state.allocationCounter;
    if (settings.logEveryCall) {
        char site[kSiteText];
        char sizeText[kSizeText];
        LogLocked("%05" PRIu64 " %-40s %8s            : %s", serial,
                  FormatSite(file, line, function, site, sizeof site), MethodName(method),
                  FormatSize(size, sizeText, sizeof sizeText));
    }
    if (serial == settings.breakAtSerial) {
        AssertionPointLocked("the allocation counter reached breakAtSerial");
    }

    if (!g_state.pool && !AddSlabLocked()) {
        LogLocked("Unable to allocate RAM for internal memory tracking data");
        ClearAllocationSite();
        return nullptr;
    }
    TrackedBlock* block = g_state.pool;
    g_state.pool = block->next;
    std::memset(block, 0, sizeof *block);

    // Over-aligned blocks get padding in front so that the caller's bytes
    // start on the alignment, with the guard right before them.
    const size_t front = alignment > kGuardSize ? alignment : kGuardSize;
    void* system = nullptr;
    if (size <= SIZE_MAX - front - kGuardSize) {
        block->actualSize = front + size + kGuardSize;
        if (front == kGuardSize) {
            system = std::malloc(block->actualSize);
        } else if (posix_memalign(&system, alignment, block->actualSize) != 0) {
            system = nullptr;
        }
    }
    block->actualAddress = system;
    block->requestedSize = size;
    block->address = system ? static_cast<unsigned char*>(system) + front : nullptr;
    block->method = method;
    block->line = line;
    block->serial = serial;
    CopyName(block->fileName, file ? StripDirectory(file) : nullptr);
    CopyName(block->functionName, function);
    if (!system) {
        LogLocked("Request for allocation failed. Out of memory.");
        ReturnRecordLocked(block);
        ClearAllocationSite();
        return nullptr;
    }

    const size_t bucket = BucketOf(block->address);
    block->next = g_state.buckets[bucket];
    if (block->next) {
        block->next->previous = block;
    }
    g_state.buckets[bucket] = block;

    Statistics& stats = g_state.stats;
    stats.totalRequestedBytes += block->requestedSize;
    stats.totalActualBytes += block->actualSize;
    stats.blocksInUse += 1;
    Raise(stats.peakRequestedBytes, stats.totalRequestedBytes);
    Raise(stats.peakActualBytes, stats.totalActualBytes);
    Raise(stats.peakBlocksInUse, stats.blocksInUse);
    stats.accumulatedRequestedBytes += block->requestedSize;
    stats.accumulatedActualBytes += block->actualSize;
    stats.accumulatedBlockCount += 1;

    FillLocked(*block, kFillAllocated, 0);
    if (method == kCalloc) {
        std::memset(block->address, 0, size);
    }
    if (settings.checkOnEveryCall) {
        CheckAllBlocksLocked();
    }
    if (settings.logEveryCall) {
        char address[kAddressText];
        LogLocked("%65sOK: %s (hash: %zu)", "", FormatAddress(block->address, address), bucket);
    }
    ClearAllocationSite();
    return block->address;
}

bool MethodsMatch(uint32_t made, uint32_t released)
{
    switch (released) {
        case kDelete:
            return made == kNew;
        case kDeleteArray:
            return made == kNewArray;
        case kFree:
            return made == kMalloc || made == kCalloc || made == kRealloc;
        default:
            return false;
    }
}

void WriteLeakReportLocked();

void TrackReleaseLocked(const char* file, uint32_t line, const char* function, uint32_t method, void* address)
{
    StartLocked();
    const Settings& settings = g_state.settings;
    if (settings.logEveryCall) {
        char site[kSiteText];
        char addressText[kAddressText];
        LogLocked("      %-40s %8s(%s)", FormatSite(file, line, function, site, sizeof site),
                  MethodName(method), FormatAddress(address, addressText));
    }
    const size_t bucket = BucketOf(address);
    TrackedBlock* block = g_state.buckets[bucket];
    while (block && block->address != address) {
        block = block->next;
    }
    if (!block) {
        LogLocked("Request to deallocate RAM that was never allocated");
        ClearAllocationSite();
        return;
    }

    CheckGuardsLocked(*block);
    if (!MethodsMatch(block->method, method)) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "%s of a block made by %s", MethodName(method),
                      MethodName(block->method));
        AssertionPointLocked(reason);
    }
    if (block->breakOnRelease) {
        AssertionPointLocked("a block marked breakOnRelease was released");
    }

    FillLocked(*block, kFillReleased, 0);
    std::free(block->actualAddress);

    if (block->previous) {
        block->previous->next = block->next;
    } else {
        g_state.buckets[bucket] = block->next;
    }
    if (block->next) {
        block->next->previous = block->previous;
    }
    Statistics& stats = g_state.stats;
    stats.totalRequestedBytes -= block->requestedSize;
    stats.totalActualBytes -= block->actualSize;
    stats.blocksInUse -= 1;

    ReturnRecordLocked(block);
    ClearAllocationSite();
    if (settings.checkOnEveryCall) {
        CheckAllBlocksLocked();
    }
    if (settings.leakReportOnRelease) {
        WriteLeakReportLocked();
    }
}

void WriteSeparator(std::FILE* file)
{
    std::fputc(' ', file);
    for (int i = 0; i < 130; ++i) {
        std::fputc('-', file);
    }
    std::fputs(" \r\n", file);
}

size_t UnusedBytes(const TrackedBlock& block)
{
    const auto* caller = static_cast<const unsigned char*>(block.address);
    size_t unused = 0;
    for (size_t i = 0; i < block.requestedSize; i += 4) {
        uint32_t word;
        std::memcpy(&word, caller + i, 4);
        if (word == kFillAllocated) {
            unused += 4;
        }
    }
    return unused;
}

// Addresses are printed in full, so the two address columns are 18 wide.
void WriteBlockTable(std::FILE* file)
{
    std::fputs(
        "Alloc.       Addr           Size           Addr           Size                        "
        "BreakOn BreakOn              \r\n",
        file);
    std::fputs(
        "Number Reported           Reported    Actual             Actual     Unused    Method  "
        "Dealloc Realloc Allocated by \r\n",
        file);
    for (int width : {6, 18, 10, 18, 10, 10, 8, 7, 7, 51}) {
        for (int i = 0; i < width; ++i) {
            std::fputc('-', file);
        }
        std::fputc(' ', file);
    }
    std::fputs("\r\n", file);
    for (TrackedBlock* head : g_state.buckets) {
        for (const TrackedBlock* block = head; block; block = block->next) {
            char address[kAddressText];
            char actualAddress[kAddressText];
            char site[kSiteText];
            std::fprintf(file, "%06" PRIu64 " %s 0x%08zX %s 0x%08zX 0x%08zX %-8s    %c       %c    %s\r\n",
                         block->serial, FormatAddress(block->address, address), block->requestedSize,
                         FormatAddress(block->actualAddress, actualAddress), block->actualSize,
                         UnusedBytes(*block), MethodName(block->method), block->breakOnRelease ? 'Y' : 'N',
                         block->breakOnResize ? 'Y' : 'N',
                         FormatSite(block->fileName, block->line, block->functionName, site, sizeof site));
        }
    }
}

void WriteLeakReportLocked()
{
    char path[kFilePathSize];
    PathOf("memleaks.log", path);
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        AssertionPointLocked("memleaks.log cannot be opened");
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    WriteSeparator(file);
    std::fprintf(file, "|%42sMemory leak report for:  %02d/%02d/%04d %02d:%02d:%02d%44s|\r\n", "",
                 local.tm_mon + 1, local.tm_mday, local.tm_year + 1900, local.tm_hour, local.tm_min,
                 local.tm_sec, "");
    WriteSeparator(file);
    std::fputs("\r\n\r\n", file);
    const uint64_t leaks = g_state.stats.blocksInUse;
    if (leaks) {
        std::fprintf(file, "%" PRIu64 " memory leak%s found:\r\n", leaks, leaks == 1 ? "" : "s");
    } else {
        std::fputs("Congratulations! No memory leaks found!\r\n", file);
        FreeSlabsLocked();
    }
    std::fputs("\r\n", file);
    if (leaks) {
        WriteBlockTable(file);
    }
    std::fclose(file);
}

void AtExit()
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_state.settings.leakReportOnRelease = true;
    WriteLeakReportLocked();
}

}  // namespace

const char* MethodName(uint32_t method)
{
    return method < sizeof kMethodNames / sizeof kMethodNames[0] ? kMethodNames[method] : kMethodNames[0];
}

void SetAllocationSite(const char* file, uint32_t line, const char* function)
{
    t_site = {file, line, function};
}

void ClearAllocationSite()
{
    t_site = {nullptr, 0, nullptr};
}

void TakeAllocationSite(const char*& file, uint32_t& line, const char*& function)
{
    file = t_site.file;
    line = t_site.line;
    function = t_site.function;
    ClearAllocationSite();
}

void* TrackAllocate(const char* file, uint32_t line, const char* function, uint32_t method, size_t size,
                    size_t alignment)
{
    std::lock_guard<std::mutex> lock(g_lock);
    return TrackAllocateLocked(file, line, function, method, size, alignment);
}

void TrackRelease(const char* file, uint32_t line, const char* function, uint32_t method, void* address)
{
    std::lock_guard<std::mutex> lock(g_lock);
    TrackReleaseLocked(file, line, function, method, address);
}

void WriteLeakReport()
{
    std::lock_guard<std::mutex> lock(g_lock);
    StartLocked();
    WriteLeakReportLocked();
}

uint64_t CheckAllBlocks()
{
    std::lock_guard<std::mutex> lock(g_lock);
    StartLocked();
    return CheckAllBlocksLocked();
}

void TrackerLog(const char* format, ...)
{
    std::lock_guard<std::mutex> lock(g_lock);
    StartLocked();
    va_list args;
    va_start(args, format);
    VLogLocked(format, args);
    va_end(args);
}

void AssertionPoint(const char* reason)
{
    std::lock_guard<std::mutex> lock(g_lock);
    StartLocked();
    AssertionPointLocked(reason);
}

void SetOutputDirectory(const char* directory)
{
    std::lock_guard<std::mutex> lock(g_lock);
    StartLocked();
    char path[kPathSize] = {};
    if (directory && directory[0] == '/') {
        std::snprintf(path, sizeof path, "%s", directory);
    } else if (getcwd(path, sizeof path) && directory && directory[0]) {
        const size_t length = std::strlen(path);
        std::snprintf(path + length, sizeof path - length, "/%s", directory);
    }
    std::memcpy(g_state.outputDirectory, path, sizeof path);
    g_state.logCleared = false;
    if (g_state.settings.clearLogAtStart) {
        RemoveLogLocked();
    }
}

Settings GetSettings()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_state.settings;
}

void SetSettings(const Settings& settings)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_state.settings = settings;
}

Statistics GetStatistics()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_state.stats;
}

uint64_t AllocationCounter()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_state.allocationCounter;
}

bool FindBlock(const void* address, TrackedBlock& block)
{
    std::lock_guard<std::mutex> lock(g_lock);
    for (const TrackedBlock* at = g_state.buckets[BucketOf(address)]; at; at = at->next) {
        if (at->address == address) {
            block = *at;
            return true;
        }
    }
    return false;
}

const char* FormatCount(uint64_t value, char* out, size_t outSize)
{
    char digits[24];
    const int count = std::snprintf(digits, sizeof digits, "%" PRIu64, value);
    char grouped[32];
    size_t at = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) {
            grouped[at++] = ',';
        }
        grouped[at++] = digits[i];
    }
    grouped[at] = '\0';
    std::snprintf(out, outSize, "%s", grouped);
    return out;
}

const char* FormatSize(uint64_t bytes, char* out, size_t outSize)
{
    char count[32];
    FormatCount(bytes, count, sizeof count);
    if (bytes <= 1024) {
        std::snprintf(out, outSize, "%10s bytes     ", count);
    } else if (bytes > 1048576) {
        std::snprintf(out, outSize, "%10s (%7.2fM)", count, static_cast<double>(bytes) / 1048576.0);
    } else {
        std::snprintf(out, outSize, "%10s (%7.2fK)", count, static_cast<double>(bytes) / 1024.0);
    }
    return out;
}

const char* FormatSite(const char* file, uint32_t line, const char* function, char* out, size_t outSize)
{
    std::snprintf(out, outSize, "%s(%05u)::%s", StripDirectory(file), line, function ? function : "??");
    return out;
}

}  // namespace MemoryTracker
