#pragma once

#include <functional>
#include <utility>

#include "app/TestApp.h"

// The game's application running `inside` in place of its first frame, with
// the game fully started, so that a benchmark measures the real thing.
class BenchApp : public CTestApp {
public:
    std::function<void()> inside;
    void Update() override
    {
        if (inside) {
            auto run = std::move(inside);
            inside = nullptr;
            run();
        }
        CTestApp::Update();
    }
};
