// Recording a run and playing it back (--record, --replay, --summary).
#include <cmath>

#include "app/RecordedSockets.h"
#include "app/RunRecorder.h"
#include "app/RunReplayer.h"
#include "app/RunSummary.h"
#include "app/TestApp.h"
#include "engine/Keys.h"
#include "engine/QuillLogger.h"
#include "net/PosixSockets.h"

namespace {
uint64_t ToMicros(double ms)
{
    return ms <= 0.0 ? 0 : uint64_t(std::llround(ms * 1000.0));
}
}  // namespace

void CTestApp::SetReplay(std::unique_ptr<RunReplayer> replay)
{
    replayer = std::move(replay);
}

double CTestApp::GameClock() const
{
    return recorder || replayer ? double(frameClockMicros) / 1000.0 : GetPreciseTicks();
}

void CTestApp::StartRecordOrReplay(uint32_t seed)
{
    if (replayer) {
        frameClockMicros = replayer->Header().startClockMicros;
        return;
    }
    const Quill::RunOptions& options = GetRunOptions();
    if (options.record.empty())
        return;
    Recording header;
    header.seed = seed;
    header.role = !networked ? Recording::Alone : isServer ? Recording::Host : Recording::Joiner;
    header.fixedStep = options.fixedStep;
    header.port = options.port;
    header.startClockMicros = frameClockMicros = ToMicros(GetPreciseTicks());
    header.playerName = playerName;
    header.address = serverAddress;
    recorder = std::make_unique<RunRecorder>(std::move(header));
}

void CTestApp::RecordOrReplayFrame()
{
    Quill::InputSystem* input = GetInputSystem();
    if (recorder) {
        frameClockMicros = ToMicros(GetPreciseTicks());
        std::vector<uint16_t> keys;
        if (input) {
            // The keys as held, not as a scroll hides them from the hero.
            const bool suspended = input->IsSuspended();
            input->SetSuspended(false);
            for (int key = 0; key < Quill::Key::Count; ++key)
                if (input->IsKeyDown(key))
                    keys.push_back(uint16_t(key));
            input->SetSuspended(suspended);
        }
        recorder->BeginFrame(frameClockMicros, GetTimeKey(), std::move(keys));
    } else if (replayer) {
        // Nothing after a divergence would mean anything.
        if (!replayer->BeginFrame() || replayer->OutOfStep()) {
            RequestQuit();
            return;
        }
        frameClockMicros = replayer->ClockMicros();
        if (!replayer->Header().fixedStep)
            SetTimeKey(replayer->TimeStep());
        if (input) {
            input->ReleaseAll();
            for (uint16_t key : replayer->Keys()) input->SetKey(key, true);
        }
    }
}

void CTestApp::FinishRecordOrReplay()
{
    const Quill::RunOptions& options = GetRunOptions();
    if (recorder) {
        std::string error;
        if (recorder->Save(options.record, error))
            Quill::Logger()->Log("recording of %zu frames written to %s", recorder->FrameCount(),
                                 options.record.c_str());
        else
            Quill::Logger()->Log("recording not written: %s", error.c_str());
    }
    if (replayer && !replayer->OutOfStep())
        Quill::Logger()->Log("replay finished in step after %u frames", FramesRun());
    if (!options.summary.empty())
        WriteRunSummary(*this, options.summary);
}

std::unique_ptr<ISocketSys> CTestApp::MakeSockets()
{
    if (replayer)
        return std::make_unique<ReplaySocketSys>(*replayer);
    if (!recorder)
        return std::move(pendingSockets);
    std::unique_ptr<ISocketSys> inner = std::move(pendingSockets);
    if (!inner)
        inner = std::make_unique<SocketSysPosix>();
    return std::make_unique<RecordingSocketSys>(std::move(inner), *recorder);
}
