// Arbitrary bytes from the other copy of the game, after a good login: they
// go through the session's framing into the application's message handlers
// and on into a world with a hero, a second hero, every kind of enemy and a
// push-block, which then runs a few frames. Built twice: as the host taking
// the joining player's bytes (fuzz_net_host) and, with KARSK_FUZZ_CLIENT, as
// the joining player taking the host's (fuzz_net_client).
#include <cstdio>
#include <cstdlib>

#include "engine/QuillLogger.h"
#include "fuzz/NetFuzzGame.h"

#ifdef KARSK_FUZZ_CLIENT
constexpr NetFuzzGame::Role kRole = NetFuzzGame::Role::Client;
#else
constexpr NetFuzzGame::Role kRole = NetFuzzGame::Role::Host;
#endif

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The game logs every refused message; KARSK_FUZZ_LOG=1 shows the lines.
    const char* log = std::getenv("KARSK_FUZZ_LOG");
    Quill::Logger()->SetEchoToStderr(log && *log == '1');
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static NetFuzzGame game(kRole);
    if (!game.Start()) {
        std::fputs("fuzz_net: the two copies of the game did not log in\n", stderr);
        std::abort();
    }
    game.Feed(data, size);
    game.Stop();
    return 0;
}
