#include "tools/netfault/HostWatch.h"

#include <signal.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tools/netfault/WireClient.h"

namespace netfault {

bool HostWatch::Alive() const
{
    return hostPid <= 0 || kill(hostPid, 0) == 0;
}

double HostWatch::LongestFrame(double fromMs, double toMs) const
{
    std::ifstream in(frameLog);
    if (!in)
        return -1.0;
    double longest = 0.0, lastStart = -1.0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        double start = 0.0, interval = 0.0;
        if (!(fields >> start >> interval))
            continue;
        // A frame's interval ends at its start: the previous frame's length.
        if (start > fromMs && start - interval < toMs)
            longest = std::max(longest, interval);
        if (start <= toMs)
            lastStart = start;
    }
    if (lastStart < 0.0)
        return -1.0;
    return std::max(longest, toMs - std::max(lastStart, fromMs));
}

long HostWatch::LogMark() const
{
    std::ifstream in(log, std::ios::ate | std::ios::binary);
    return in ? long(in.tellg()) : 0;
}

std::vector<std::string> HostWatch::LogLinesSince(long mark) const
{
    std::vector<std::string> lines;
    std::ifstream in(log, std::ios::binary);
    if (!in)
        return lines;
    in.seekg(mark);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string HostWatch::FindLine(long mark, const std::string& fragment) const
{
    for (const std::string& line : LogLinesSince(mark))
        if (line.find(fragment) != std::string::npos)
            return line;
    return std::string();
}

int HostWatch::CountLines(long mark, const std::string& fragment) const
{
    int count = 0;
    for (const std::string& line : LogLinesSince(mark))
        count += line.find(fragment) != std::string::npos ? 1 : 0;
    return count;
}

bool HostWatch::WaitForLine(long mark, const std::string& fragment, int timeoutMs) const
{
    const double deadline = NowMs() + timeoutMs;
    for (;;) {
        if (!FindLine(mark, fragment).empty())
            return true;
        if (NowMs() >= deadline || !Alive())
            return false;
        SleepMs(50.0);
    }
}

}  // namespace netfault
