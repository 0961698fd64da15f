#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/netfault/HostWatch.h"

namespace netfault {

struct Setup {
    uint16_t port = 0;
    std::string password;
    const HostWatch* host = nullptr;
    uint32_t seed = 1;
};

// One way of misbehaving. `run` plays it against the host and says whether
// the host dealt with it as it should (closed the link in time, refused the
// login...), with a short note; `logFragment` is what the host's log must say
// about it (empty: nothing to say).
struct Scenario {
    const char* name;
    const char* what;
    std::string logFragment;
    // How many lines must hold the fragment.
    int logCount;
    std::function<bool(const Setup&, std::string& note)> run;
};

const std::vector<Scenario>& AllScenarios();

// Logs in as a well-behaved player, sends a hero update and waits for the
// host's: true when all of that happened. Leaves again.
bool GoodClientAccepted(const Setup& setup, std::string& note);

// The name the well-behaved player logs in with.
extern const char* const kGoodName;

}  // namespace netfault
