#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/bot/BotScript.h"

namespace {

const char* const kUsage =
    "usage: karsk-bot [--seed N] [--minutes M] [--start-frame F]\n"
    "Writes a key script for karsk --input-script to standard output: a hero that\n"
    "walks at random, swings, uses and switches items and tries the stairs from\n"
    "frame F (default 60) for M minutes (default 30) of 60 frames a second, then\n"
    "stands still. The same seed (default 1) gives the same script.\n";

bool ParseNumber(const char* text, unsigned long limit, unsigned long& out)
{
    if (!text || *text < '0' || *text > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    out = std::strtoul(text, &end, 10);
    return errno == 0 && *end == '\0' && out <= limit;
}

}  // namespace

int main(int argc, char** argv)
{
    kbot::BotPlan plan;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        unsigned long value = 0;
        // 1000 minutes keeps every frame number within 32 bits.
        const unsigned long limit = name == "--seed" ? 0xFFFFFFFFul : name == "--minutes" ? 1000ul : 600000ul;
        if ((name != "--seed" && name != "--minutes" && name != "--start-frame") || i + 1 >= argc ||
            !ParseNumber(argv[i + 1], limit, value)) {
            std::fprintf(stderr, "karsk-bot: bad argument '%s'\n%s", argv[i], kUsage);
            return 2;
        }
        ++i;
        if (name == "--seed") {
            plan.seed = static_cast<uint32_t>(value);
        } else if (name == "--minutes") {
            plan.minutes = static_cast<unsigned>(value);
        } else {
            plan.startFrame = static_cast<unsigned>(value);
        }
    }
    const std::string script = kbot::MakeBotScript(plan);
    if (std::fwrite(script.data(), 1, script.size(), stdout) != script.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "karsk-bot: cannot write the script: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
