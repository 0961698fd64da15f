#include "app/RunRecorder.h"

#include <algorithm>
#include <limits>

RunRecorder::RunRecorder(Recording header) : recording(std::move(header))
{
    lastClockMicros = recording.startClockMicros;
    recording.frames.clear();
    recording.startCalls.clear();
}

void RunRecorder::BeginFrame(uint64_t clockMicros, float timeStep, std::vector<uint16_t> keys)
{
    RecordedFrame frame;
    const uint64_t advance = clockMicros > lastClockMicros ? clockMicros - lastClockMicros : 0;
    frame.clockAdvanceMicros = uint32_t(std::min<uint64_t>(advance, std::numeric_limits<uint32_t>::max()));
    lastClockMicros += frame.clockAdvanceMicros;
    frame.timeStep = timeStep;
    // The first frame always says which keys are held.
    frame.keysChanged = recording.frames.empty() || keys != lastKeys;
    if (frame.keysChanged) {
        frame.keys = keys;
        lastKeys = std::move(keys);
    }
    recording.frames.push_back(std::move(frame));
}

void RunRecorder::AddCall(NetCall call, int32_t result, const void* bytes, size_t count)
{
    RecordedCall c;
    c.call = call;
    c.result = result;
    if (bytes && count > 0) {
        const auto* p = static_cast<const uint8_t*>(bytes);
        c.bytes.assign(p, p + count);
    }
    (recording.frames.empty() ? recording.startCalls : recording.frames.back().calls).push_back(std::move(c));
}

bool RunRecorder::Save(const std::string& path, std::string& error) const
{
    if (recording.frames.empty()) {
        error = "no frame was played";
        return false;
    }
    return SaveRecording(recording, path, error);
}
