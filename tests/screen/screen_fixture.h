// What the controller tests share: a started controller on a fake host and a
// recording canvas, the shared small demo market and markets of their own.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "data/code_table.h"
#include "demo/demo_market.h"
#include "screen/fake_host.h"
#include "screen/screen_controller.h"
#include "support/fixture_market.h"
#include "support/small_demo_market.h"
#include "ui/recording_canvas.h"

namespace screentest {

inline const std::string& DemoRoot() { return fixture::SmallDemoRoot(); }

// The n-th stock (from 0) of the code table, indices left out.
inline uint32_t NthStock(screen::ScreenController& controller, size_t n) {
    data::CodeTable codes(controller.Workspace().CodeTableRegion());
    for (size_t i = 0; i < codes.Count(); ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (!data::IsIndexCode(code) && n-- == 0) return code;
    }
    return 0;
}

inline uint32_t FirstStock(screen::ScreenController& controller) { return NthStock(controller, 0); }

// A started controller on a market (the shared demo market unless given),
// its start-up messages cleared.
struct Screen {
    explicit Screen(const std::string& root = DemoRoot()) : controller(host, canvas) {
        started = controller.Start(root, std::time(nullptr));
        controller.Render();
        host.prompter.records.clear();
        canvas.Clear();
    }
    ~Screen() { controller.WaitForScan(); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& r : host.prompter.Messages()) texts.push_back(r.text);
        return texts;
    }

    FakeHost host;
    ui::RecordingCanvas canvas;
    screen::ScreenController controller;
    bool started = false;
};

// A market of its own for a test that changes its files.
inline std::string OwnMarket(const fixture::TempDir& dir) {
    demo::DemoOptions options;
    options.dataRoot = dir.Path() + "/m";
    options.stocks = 20;
    options.years = 1;
    options.endDate = 20261204;
    EXPECT_TRUE(demo::WriteDemoMarket(options).ok());
    return options.dataRoot;
}

}  // namespace screentest
