// What the screen controller takes (typed commands, keys, timers) and what it
// answers with (one invalidation mask).
#pragma once

#include <cstdint>
#include <optional>

#include "chart/chart_model.h"

namespace screen {

// The commands of the main window's button strip.
enum class StripCommand : int {
    SectorScan = 17,      // 板块扫描
    SectorTrend = 18,     // 板块走势
    SaveSector = 19,      // 保存
    AddPicked = 20,       // 加入 (a picked stock to the watch list)
    HelpGrowFunds = 21,   // 账户资金奔跑
    HelpSectors = 22,     // 怎样操作板块
    MethodUp = 23,        // ↑ (picking page)
    MethodDown = 24,      // ↓
    MethodDelete = 25,    // ×
    EstimateTop = 26,     // 测顶
    EstimateBottom = 27,  // 测底
    Weights = 28,         // 原理设置
    PropertyQuery = 32,   // 查询
    MethodInsert = 35,    // 方法插入
    MethodAppend = 36,    // 加入方法
    MethodModify = 37,    // 条修改
    StripLoad = 38,       // 载入 (loading is control 1040's)
    LowerPanelUp = 39,    // ↑ beside the chart
    LowerPanelDown = 40,  // ↓
    HelpLower = 41,       // 帮助
    HelpUpper = 42,       // 帮助
    // The picking page's own buttons, which the documented strip lacks.
    PickingPage = 43,     // 条件选股 (home page)
    SectorPage = 44,      // 返回板块
    StepPick = 45,        // 单步选股
    SaveResults = 46,     // 保存 (the picked stocks)
    MethodConfirm = 47,   // 确认修改
    RotationPage = 48,    // 板块轮动 (sector page): the heat map, and back
};

// A command number of the strip as the controller names it; nothing for a
// number no button carries.
std::optional<StripCommand> StripCommandOf(int number);

// Keys the window passes on: the chart's keys, typed anywhere.
using Key = chart::ChartKey;

enum class Timer { Progress, Clock };  // every 10 ms, every second

enum class ScreenMode : int { TextPage = 0, SmallCharts = 2, Chart = 3, Rotation = 4 };
enum class PageKind : int { Sector = 1, Picking = 2 };

// What has to be brought to the screen, merged over the events since the last
// paint and consumed once by it. Higher levels include the lower ones.
enum class Invalidation : uint8_t {
    None = 0,
    Cursor = 1,  // only the chart's crosshair moved
    Panel = 2,   // the controller redrew part of the canvas
    Chart = 4,   // the chart must be rebuilt
    Page = 8,    // the whole page
};

constexpr Invalidation operator|(Invalidation a, Invalidation b) {
    return static_cast<Invalidation>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b));
}
constexpr bool Has(Invalidation mask, Invalidation level) {
    return (static_cast<uint8_t>(mask) & static_cast<uint8_t>(level)) != 0;
}

}  // namespace screen
