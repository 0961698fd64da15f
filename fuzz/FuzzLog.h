#pragma once

#include <cstdlib>

#include "engine/QuillLogger.h"

// The game logs every input it refuses; KARSK_FUZZ_LOG=1 shows the lines.
inline void EchoGameLogWhenAsked()
{
    const char* log = std::getenv("KARSK_FUZZ_LOG");
    Quill::Logger()->SetEchoToStderr(log && *log == '1');
}
