#include "app/RunReplayer.h"

#include "engine/QuillLogger.h"

namespace {
const char* CallName(NetCall call)
{
    switch (call) {
        case NetCall::Init:
            return "init";
        case NetCall::Listen:
            return "listen";
        case NetCall::Accept:
            return "accept";
        case NetCall::Connect:
            return "connect";
        case NetCall::Send:
            return "send";
        case NetCall::Receive:
            return "receive";
    }
    return "?";
}
}  // namespace

RunReplayer::RunReplayer(Recording r) : recording(std::move(r))
{
    clockMicros = recording.startClockMicros;
}

const std::vector<RecordedCall>& RunReplayer::CurrentCalls() const
{
    return frame < 0 ? recording.startCalls : recording.frames[size_t(frame)].calls;
}

void RunReplayer::Fail(const std::string& why)
{
    if (problem.empty()) {
        problem = (frame < 0 ? std::string("the start") : "frame " + std::to_string(frame)) + ": " + why;
        Quill::Logger()->Log("replay out of step at %s", problem.c_str());
    }
}

bool RunReplayer::BeginFrame()
{
    if (nextCall < CurrentCalls().size())
        Fail("the game made fewer network calls than recorded");
    if (size_t(frame + 1) >= recording.frames.size()) {
        Fail("the game ran past the recording's last frame");
        return false;
    }
    ++frame;
    nextCall = 0;
    const RecordedFrame& f = recording.frames[size_t(frame)];
    clockMicros += f.clockAdvanceMicros;
    if (f.keysChanged)
        keys = f.keys;
    return true;
}

float RunReplayer::TimeStep() const
{
    return frame < 0 ? 1.0f / 60.0f : recording.frames[size_t(frame)].timeStep;
}

const RecordedCall* RunReplayer::Take(NetCall call, uint32_t limit)
{
    const std::vector<RecordedCall>& calls = CurrentCalls();
    if (nextCall >= calls.size()) {
        Fail(std::string("the game made a ") + CallName(call) + " call the recording does not hold");
        return nullptr;
    }
    const RecordedCall& c = calls[nextCall];
    if (c.call != call) {
        Fail(std::string("the game made a ") + CallName(call) + " call where the recording holds a " +
             CallName(c.call));
        return nullptr;
    }
    if (c.result > 0 && uint32_t(c.result) > limit) {
        Fail(std::string("a ") + CallName(call) + " of " + std::to_string(c.result) +
             " bytes recorded where the game offered " + std::to_string(limit));
        return nullptr;
    }
    ++nextCall;
    return &c;
}

const RecordedCall* RunReplayer::TakeIfNext(NetCall call, uint32_t limit)
{
    const std::vector<RecordedCall>& calls = CurrentCalls();
    return nextCall < calls.size() && calls[nextCall].call == call ? Take(call, limit) : nullptr;
}
