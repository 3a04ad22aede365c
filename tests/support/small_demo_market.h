// One small demo market per test program, written on first use into a folder
// that lives as long as the program (for tests that only read it).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "demo/demo_market.h"
#include "support/fixture_market.h"

namespace fixture {

// 300 stocks over two years ending 2026-12-04.
inline const std::string& SmallDemoRoot() {
    static TempDir dir;
    static const bool written = [] {
        demo::DemoOptions options;
        options.dataRoot = dir.Path() + "/market";
        options.stocks = 300;
        options.years = 2;
        options.endDate = 20261204;
        return demo::WriteDemoMarket(options).ok();
    }();
    static const std::string root = dir.Path() + "/market";
    EXPECT_TRUE(written);
    return root;
}

}  // namespace fixture
