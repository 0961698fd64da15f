#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

const std::string kReplays = KARSK_REPLAYS;

// The game's exit status; its standard error goes to `errors`.
int RunGame(const std::string& arguments, const std::string& errors)
{
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 '" KARSK_BINARY "' --no-log " + arguments +
                                " 2>'" + errors + "' >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

uint32_t Little32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(s[at + size_t(i)]);
    return v;
}

void PutLittle32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char(v >> (8 * i));
}

// The recording with its unpacked body changed by `edit`, packed again.
std::string Repacked(const std::string& file, void (*edit)(std::string&))
{
    std::string body(Little32(file, 10), '\0');
    uLongf size = uLongf(body.size());
    const auto* packed = reinterpret_cast<const Bytef*>(file.data() + 18);
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(&body[0]), &size, packed, uLong(file.size() - 18)), Z_OK);
    edit(body);
    std::vector<Bytef> out(compressBound(uLong(body.size())));
    uLongf outSize = uLongf(out.size());
    compress2(out.data(), &outSize, reinterpret_cast<const Bytef*>(body.data()), uLong(body.size()), 9);
    std::string result = file.substr(0, 18);
    PutLittle32(result, 10, uint32_t(body.size()));
    PutLittle32(result, 14, uint32_t(outSize));
    return result + std::string(reinterpret_cast<const char*>(out.data()), outSize);
}

}  // namespace

// Each checked-in recording (a walk into the crypt, a fight, a two-player game
// recorded on the host) replays, alone and headless, to its checked-in
// summary. Run scripts/update-replays.sh when a change of the game's rules
// changes them on purpose.
TEST(Replay, EachRecordingEndsAsItsSummarySays)
{
    TempDir dir;
    for (const char* name : {"walk", "fight", "two-players"}) {
        SCOPED_TRACE(name);
        const std::string summary = dir.File(std::string(name) + ".summary");
        const std::string errors = dir.File("errors");
        EXPECT_EQ(
            RunGame("--replay '" + kReplays + "/" + name + ".krec' --summary '" + summary + "'", errors), 0)
            << ReadWholeFile(errors);
        EXPECT_EQ(ReadWholeFile(summary), ReadWholeFile(kReplays + "/" + name + ".summary"));
    }
}

// A damaged recording is refused before the game starts, with the reason.
TEST(Replay, ADamagedRecordingIsRefused)
{
    const std::string good = ReadWholeFile(kReplays + "/fight.krec");
    ASSERT_GT(good.size(), 40u);
    std::string otherVersion = good;
    otherVersion[8] = 2;
    std::string flipped = good;
    flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x5a);
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"", "too short for a recording"},
        {"KARSKREX" + good.substr(8), "not a recording"},
        {otherVersion, "recording version 2"},
        {good.substr(0, good.size() - 7), "cut short or padded"},
        {good + "x", "cut short or padded"},
        {flipped, "damaged"},
        {Repacked(good, [](std::string& b) { b.resize(b.size() - 3); }), "the file ends inside"},
        {Repacked(good, [](std::string& b) { b += '\0'; }), "unexpected bytes after the last frame"},
        {Repacked(good, [](std::string& b) { b[4] = 7; }), "unknown role 7"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const std::string errors = dir.File("errors");
        EXPECT_EQ(RunGame("--replay '" + dir.Write("bad.krec", c.bytes) + "'", errors), 1);
        const std::string said = ReadWholeFile(errors);
        EXPECT_NE(said.find("cannot replay"), std::string::npos) << said;
        EXPECT_NE(said.find(c.reason), std::string::npos) << said;
    }
    // A lone game never starts a network: a recorded start-up call it does not
    // make puts the replay out of step (seed, role, step, port, clock, then
    // "player" and "127.0.0.1", then the start-up calls' count).
    const std::string unfollowed = Repacked(good, [](std::string& b) {
        ASSERT_EQ(b.substr(16, 17), std::string("\x06player\x09"
                                                "127.0.0.1"));
        b.replace(33, 4, std::string("\x01\0\0\0\x01\x01\0\0\0", 9));
    });
    const std::string errors = dir.File("errors");
    EXPECT_EQ(RunGame("--replay '" + dir.Write("unfollowed.krec", unfollowed) + "'", errors), 3);
    EXPECT_NE(ReadWholeFile(errors).find("out of step at the start"), std::string::npos)
        << ReadWholeFile(errors);
}
