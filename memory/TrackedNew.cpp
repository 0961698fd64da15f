// The global allocation operators, every form of them, routed through the
// memory tracker so that no allocation of the program escapes it. All of
// them live in this one file: a program that needs any of them gets all.
#include "memory/TrackedNew.h"

#include <new>

#include "memory/MemoryTracker.h"

namespace {

using namespace MemoryTracker;

size_t AlignmentOf(std::align_val_t alignment)
{
    return static_cast<size_t>(alignment) > kGuardSize ? static_cast<size_t>(alignment) : kGuardSize;
}

void* Allocate(std::size_t size, uint32_t method, size_t alignment, const char* file, uint32_t line,
               const char* function)
{
    for (;;) {
        if (void* p = TrackAllocate(file, line, function, method, size, alignment)) {
            return p;
        }
        std::new_handler handler = std::get_new_handler();
        if (!handler) {
            throw std::bad_alloc();
        }
        handler();
    }
}

void* AllocateAtStoredSite(std::size_t size, uint32_t method, size_t alignment)
{
    const char* file;
    uint32_t line;
    const char* function;
    TakeAllocationSite(file, line, function);
    return Allocate(size, method, alignment, file, line, function);
}

void* AllocateOrNull(std::size_t size, uint32_t method, size_t alignment) noexcept
{
    try {
        return AllocateAtStoredSite(size, method, alignment);
    } catch (...) {
        return nullptr;
    }
}

void Release(void* p, uint32_t method) noexcept
{
    if (!p) {
        return;
    }
    const char* file;
    uint32_t line;
    const char* function;
    TakeAllocationSite(file, line, function);
    TrackRelease(file, line, function, method, p);
}

}  // namespace

void* operator new(std::size_t size)
{
    return AllocateAtStoredSite(size, kNew, kGuardSize);
}

void* operator new[](std::size_t size)
{
    return AllocateAtStoredSite(size, kNewArray, kGuardSize);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, kNew, kGuardSize);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, kNewArray, kGuardSize);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return AllocateAtStoredSite(size, kNew, AlignmentOf(alignment));
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return AllocateAtStoredSite(size, kNewArray, AlignmentOf(alignment));
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, kNew, AlignmentOf(alignment));
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, kNewArray, AlignmentOf(alignment));
}

void* operator new(std::size_t size, const char* file, int line, const char* function)
{
    return Allocate(size, kNew, kGuardSize, file, static_cast<uint32_t>(line), function);
}

void* operator new[](std::size_t size, const char* file, int line, const char* function)
{
    return Allocate(size, kNewArray, kGuardSize, file, static_cast<uint32_t>(line), function);
}

void* operator new(std::size_t size, std::align_val_t alignment, const char* file, int line,
                   const char* function)
{
    return Allocate(size, kNew, AlignmentOf(alignment), file, static_cast<uint32_t>(line), function);
}

void* operator new[](std::size_t size, std::align_val_t alignment, const char* file, int line,
                     const char* function)
{
    return Allocate(size, kNewArray, AlignmentOf(alignment), file, static_cast<uint32_t>(line), function);
}

void operator delete(void* p) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p) noexcept
{
    Release(p, kDeleteArray);
}

void operator delete(void* p, std::size_t) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p, std::size_t) noexcept
{
    Release(p, kDeleteArray);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Release(p, kDeleteArray);
}

void operator delete(void* p, std::align_val_t) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p, std::align_val_t) noexcept
{
    Release(p, kDeleteArray);
}

void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    Release(p, kDeleteArray);
}

void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    Release(p, kDeleteArray);
}

void operator delete(void* p, const char*, int, const char*) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p, const char*, int, const char*) noexcept
{
    Release(p, kDeleteArray);
}

void operator delete(void* p, std::align_val_t, const char*, int, const char*) noexcept
{
    Release(p, kDelete);
}

void operator delete[](void* p, std::align_val_t, const char*, int, const char*) noexcept
{
    Release(p, kDeleteArray);
}
