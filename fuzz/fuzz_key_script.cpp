// Arbitrary bytes as a key script (--input-script): parsed, then played
// frame by frame as the engine does, around each span's first and last frame.
#include <string>

#include "engine/InputSystem.h"
#include "fuzz/FuzzLog.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EchoGameLogWhenAsked();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Quill::ScriptedInput script;
    std::string error;
    if (!script.Parse(std::string(reinterpret_cast<const char*>(data), size), error))
        return 0;
    for (const Quill::ScriptedInput::Span& span : script.Spans()) {
        for (unsigned frame : {span.first, span.last, span.last + 1u}) {
            script.BeginFrame(frame);
            for (int key = 0; key < Quill::Key::Count; ++key) (void)script.IsKeyDown(key);
        }
    }
    (void)script.LastFrame();
    return 0;
}
