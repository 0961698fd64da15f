// karsk-netfault: plays misbehaving players against a running host over
// 127.0.0.1 and checks that the host keeps its pace, says what happened and
// lets a well-behaved player in afterwards.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/TestApp.h"
#include "tools/netfault/HostWatch.h"
#include "tools/netfault/Scenarios.h"
#include "tools/netfault/WireClient.h"

namespace {

const char* const kUsage =
    "usage: karsk-netfault --port N --frame-log FILE --log FILE [--host-pid PID]\n"
    "                      [--scenario NAME]... [--max-frame-ms MS] [--seed N]\n"
    "       karsk-netfault --list | --free-port\n"
    "Runs each scenario (default: all, in order) against the host listening on\n"
    "127.0.0.1:N, which must run with --frame-log FILE and --log FILE. Prints one\n"
    "table row per scenario; exits 1 when any fails. A frame over the limit gets\n"
    "the scenario a second try; when every core is busy, up to four times the\n"
    "limit is shown as \"ok, slow\".\n";

struct Row {
    std::string name;
    double longestMs = -1.0;
    std::string logLine;
    bool logOk = false;
    bool faultOk = false;
    bool goodOk = false;
    bool alive = false;
    std::string note;
};

// A port nobody listens on now (the kernel's pick), for a host to take.
int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = -1;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

bool ParseNumber(const char* text, unsigned long limit, unsigned long& out)
{
    char* end = nullptr;
    out = std::strtoul(text, &end, 10);
    return text[0] >= '0' && text[0] <= '9' && end && *end == '\0' && out <= limit;
}

// The last minute's load average over the cores: above 1, programs wait for
// a core.
double LoadPerCore()
{
    double load = 0.0;
    std::FILE* f = std::fopen("/proc/loadavg", "r");
    if (f) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = 0.0;
        std::fclose(f);
    }
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    return cores > 0 ? load / double(cores) : load;
}

Row Play(const netfault::Scenario& scenario, const netfault::Setup& setup, const netfault::HostWatch& host)
{
    Row row;
    row.name = scenario.name;
    const long mark = host.LogMark();
    const double start = netfault::NowMs();
    row.faultOk = scenario.run(setup, row.note);
    if (scenario.logFragment.empty()) {
        row.logOk = true;
    } else {
        host.WaitForLine(mark, scenario.logFragment, 3000);
        // The last of a run of lines (the 20th login) may come a frame later.
        for (int i = 0; i < 20 && host.CountLines(mark, scenario.logFragment) < scenario.logCount; ++i)
            netfault::SleepMs(50.0);
        row.logOk = host.CountLines(mark, scenario.logFragment) >= scenario.logCount;
        row.logLine = host.FindLine(mark, scenario.logFragment);
    }
    std::string goodNote;
    row.goodOk = netfault::GoodClientAccepted(setup, goodNote) &&
                 host.WaitForLine(mark, std::string(netfault::kGoodName) + " joined", 2000);
    if (!goodNote.empty())
        row.note += "; good player: " + goodNote;
    const double end = netfault::NowMs();
    // The frame under way at the end is written when it finishes.
    netfault::SleepMs(100.0);
    row.longestMs = host.LongestFrame(start, end);
    row.alive = host.Alive();
    return row;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned long port = 0, pid = 0, maxFrame = 50, seed = 1;
    std::string frameLog, log;
    std::vector<std::string> chosen;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--list") {
            for (const netfault::Scenario& s : netfault::AllScenarios())
                std::printf("%-16s %s\n", s.name, s.what);
            return 0;
        } else if (arg == "--free-port") {
            const int free = FreePort();
            if (free <= 0)
                return 1;
            std::printf("%d\n", free);
            return 0;
        } else if (arg == "--port" && hasValue && ParseNumber(argv[++i], 65535, port) && port > 0) {
        } else if (arg == "--host-pid" && hasValue && ParseNumber(argv[++i], 1u << 22, pid)) {
        } else if (arg == "--max-frame-ms" && hasValue && ParseNumber(argv[++i], 100000, maxFrame)) {
        } else if (arg == "--seed" && hasValue && ParseNumber(argv[++i], 0xffffffffu, seed)) {
        } else if (arg == "--frame-log" && hasValue) {
            frameLog = argv[++i];
        } else if (arg == "--log" && hasValue) {
            log = argv[++i];
        } else if (arg == "--scenario" && hasValue) {
            chosen.push_back(argv[++i]);
        } else {
            std::fprintf(stderr, "karsk-netfault: bad argument '%s'\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (port == 0 || frameLog.empty() || log.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::vector<const netfault::Scenario*> plan;
    for (const netfault::Scenario& s : netfault::AllScenarios())
        if (chosen.empty() || std::find(chosen.begin(), chosen.end(), s.name) != chosen.end())
            plan.push_back(&s);
    if (plan.size() < (chosen.empty() ? 1 : chosen.size())) {
        std::fprintf(stderr, "karsk-netfault: unknown scenario (see --list)\n");
        return 2;
    }

    const netfault::HostWatch host(frameLog, log, pid_t(pid));
    netfault::Setup setup;
    setup.port = uint16_t(port);
    setup.password = CTestApp::SessionPassword();
    setup.host = &host;
    setup.seed = uint32_t(seed);

    std::printf("%-16s %14s  %-8s %-12s %s\n", "scenario", "longest frame", "host log", "good player",
                "result");
    bool allPassed = true;
    std::vector<Row> rows;
    auto fastEnough = [maxFrame](const Row& row) {
        return row.longestMs >= 0.0 && row.longestMs < double(maxFrame);
    };
    for (const netfault::Scenario* s : plan) {
        Row row = Play(*s, setup, host);
        // The machine may be busy with other work: a slow frame alone earns
        // the scenario a second try.
        if (row.faultOk && row.logOk && row.goodOk && row.alive && !fastEnough(row)) {
            char first[64];
            std::snprintf(first, sizeof first, "; %.1f ms on the first try", row.longestMs);
            row = Play(*s, setup, host);
            row.note += first;
        }
        bool fast = fastEnough(row);
        // Other programs keeping every core busy delay the host's frames as
        // well; then only a frame four times too long counts against it.
        const double load = LoadPerCore();
        const bool excused = !fast && load > 1.0 && row.longestMs >= 0.0 && row.longestMs < 4.0 * maxFrame;
        if (excused) {
            char busy[80];
            std::snprintf(busy, sizeof busy, "; machine busy: load %.1f per core", load);
            row.note += busy;
            fast = true;
        }
        const bool passed = row.faultOk && row.logOk && row.goodOk && row.alive && fast;
        allPassed = allPassed && passed;
        char longest[32];
        std::snprintf(longest, sizeof longest, row.longestMs < 0.0 ? "?" : "%.1f ms", row.longestMs);
        std::printf("%-16s %14s  %-8s %-12s %s (%s)\n", row.name.c_str(), longest,
                    row.logOk ? "seen" : "MISSING", row.goodOk ? "accepted" : "REFUSED",
                    passed ? (excused ? "ok, slow" : "ok") : (row.alive ? "FAILED" : "FAILED, host gone"),
                    row.note.c_str());
        std::fflush(stdout);
        rows.push_back(row);
        if (!row.alive)
            break;
    }
    std::printf("\nwhat the host logged:\n");
    for (const Row& row : rows)
        if (!row.logLine.empty())
            std::printf("  %-16s %s\n", row.name.c_str(), row.logLine.c_str());
    return allPassed ? 0 : 1;
}
