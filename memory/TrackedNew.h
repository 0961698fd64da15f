#pragma once

#include <cstddef>
#include <new>

// KARSK_NEW is `new` that records its source file, line and function with the
// memory tracker; without the tracker it is plain `new`. The block is freed
// with an ordinary delete.
#ifdef KARSK_MEMORY_TRACKER
void* operator new(std::size_t size, const char* file, int line, const char* function);
void* operator new[](std::size_t size, const char* file, int line, const char* function);
void* operator new(std::size_t size, std::align_val_t alignment, const char* file, int line,
                   const char* function);
void* operator new[](std::size_t size, std::align_val_t alignment, const char* file, int line,
                     const char* function);
// Called only when a constructor throws.
void operator delete(void* p, const char* file, int line, const char* function) noexcept;
void operator delete[](void* p, const char* file, int line, const char* function) noexcept;
void operator delete(void* p, std::align_val_t alignment, const char* file, int line,
                     const char* function) noexcept;
void operator delete[](void* p, std::align_val_t alignment, const char* file, int line,
                       const char* function) noexcept;

#define KARSK_NEW new (__FILE__, __LINE__, __func__)
#else
#define KARSK_NEW new
#endif
