// memory_exit_probe DIR LEAKS [late]: makes two blocks and leaves LEAKS of
// them; "late" adds one freed only after the leak report has been written.
#include <cstdlib>

#include "memory/MemoryTracker.h"
#include "memory/TrackedNew.h"

static int* g_late = nullptr;

__attribute__((destructor)) static void FreeLate()
{
    delete g_late;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        return 2;
    }
    MemoryTracker::SetOutputDirectory(argv[1]);
    int* blocks[2] = {KARSK_NEW int(1), KARSK_NEW int(2)};
    for (int i = std::atoi(argv[2]); i < 2; ++i) {
        delete blocks[i];
    }
    if (argc > 3) {
        g_late = KARSK_NEW int(3);
    }
    return 0;
}
