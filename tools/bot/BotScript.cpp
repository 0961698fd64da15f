#include "tools/bot/BotScript.h"

#include <random>

namespace kbot {

namespace {

const char* const kDirections[] = {"up", "down", "left", "right"};

// One line per action keeps a 30-minute script near 3000 lines (about 60 KB).
class Writer {
public:
    Writer(uint32_t seed, unsigned endFrame) : random(seed), end(endFrame) {}

    // 0..n-1 from the raw 32-bit output, which mt19937 fixes on every
    // platform (the standard distributions do not).
    unsigned Below(unsigned n) { return static_cast<unsigned>(random() % n); }
    unsigned Between(unsigned low, unsigned high) { return low + Below(high - low + 1); }

    // Cut at the end of the plan, after which no key is held.
    void Span(unsigned first, unsigned last, const std::string& keys)
    {
        if (first >= end) {
            return;
        }
        last = last < end ? last : end - 1;
        text += std::to_string(first);
        if (last != first) {
            text += "-" + std::to_string(last);
        }
        text += " " + keys + "\n";
    }

    std::string text;

private:
    std::mt19937 random;
    unsigned end;
};

}  // namespace

unsigned BotScriptEnd(const BotPlan& plan)
{
    return plan.minutes * 60u * plan.framesPerSecond;
}

std::string MakeBotScript(const BotPlan& plan)
{
    const unsigned end = BotScriptEnd(plan);
    Writer out(plan.seed, end);
    out.text = "# karsk-bot seed " + std::to_string(plan.seed) + ", " + std::to_string(plan.minutes) +
               " minutes at " + std::to_string(plan.framesPerSecond) + " frames a second\n";
    const unsigned fps = plan.framesPerSecond;
    unsigned frame = plan.startFrame;
    unsigned direction = out.Below(4);
    // A tap is held a few frames: actions fire on the frame a key goes down.
    const unsigned tap = fps / 10 > 0 ? fps / 10 : 1;
    while (frame < end) {
        const unsigned roll = out.Below(100);
        unsigned length = 0;
        if (roll < 60) {
            // Mostly keep on, sometimes turn: a walk that still leaves the screen.
            if (out.Below(3) == 0) {
                direction = out.Below(4);
            }
            length = out.Between(fps / 4, 2 * fps);
            std::string keys = kDirections[direction];
            const bool swingAsWell = out.Below(4) == 0;
            out.Span(frame, frame + length - 1, keys);
            if (swingAsWell && length > 2 * tap) {
                const unsigned at = frame + out.Below(length - tap);
                out.Span(at, at + tap - 1, "space");
            }
        } else if (roll < 75) {
            length = tap;
            out.Span(frame, frame + length - 1, "space");
        } else if (roll < 84) {
            length = tap;
            out.Span(frame, frame + length - 1, "lctrl");
        } else if (roll < 89) {
            length = tap;
            out.Span(frame, frame + length - 1, "tab");
        } else if (roll < 94) {
            length = tap;
            out.Span(frame, frame + length - 1, "d");
        } else {
            length = out.Between(fps / 6, fps);  // stand still
        }
        // Keys come up between actions, so the next press is a new one.
        frame += length + out.Between(1, fps / 6 > 0 ? fps / 6 : 1);
    }
    return out.text;
}

}  // namespace kbot
