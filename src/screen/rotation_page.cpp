#include "screen/rotation_page.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "screen/layout.h"
#include "screen/page_parts.h"
#include "ui/drawing.h"

namespace screen {
namespace {

using parts::Gbk;
using parts::Text;

constexpr int kTitleLeft = 130, kTitleY = 6;  // right of the chart's colour-scheme buttons
constexpr int kBoxTop = 4, kBoxBottom = 22;
constexpr int kSpanLeft = 760, kSpanWidth = 44, kSpanGap = 6;
constexpr int kBackLeft = 924, kBackRight = 1012;
constexpr int kChangeY = 28;
constexpr int kDateY = 46;
constexpr int kGridTop = 62, kRowHeight = 16;
constexpr int kLabelLeft = 6, kNameLeft = 30;
constexpr int kCellsLeft = 160, kCellsRight = 1014;
constexpr int kWidestCell = 40;
constexpr int kLegendY = kGridTop + static_cast<int>(kRotationRows) * kRowHeight + 6;
constexpr int kCharWidth = 6;  // font 12 on the text grid

constexpr ui::Rgb kGridFill{250, 250, 245};

int CellWidth(size_t days) {
    if (days == 0) return kWidestCell;
    return std::min(kWidestCell, (kCellsRight - kCellsLeft) / static_cast<int>(days));
}

int SpanBoxLeft(size_t i) {
    return kSpanLeft + static_cast<int>(i) * (kSpanWidth + kSpanGap);
}

std::string DateText(uint32_t d, bool withYear) {
    char text[32];
    if (withYear)
        std::snprintf(text, sizeof text, "%04u.%02u.%02u", d / 10000, d / 100 % 100, d % 100);
    else
        std::snprintf(text, sizeof text, "%02u.%02u", d / 100 % 100, d % 100);
    return text;
}

std::string Title(const RotationView& v) {
    std::string title = "板块轮动｜" + std::string(sectors::ScanTitleWord(v.settings.type)) + " ≥" +
                        sectors::ThresholdText(v.settings.type, v.settings.threshold) + "%｜近" +
                        std::to_string(v.days.size()) + "个交易日";
    if (!v.days.empty())
        title += " " + DateText(v.days.front().date, true) + "—" + DateText(v.days.back().date, true);
    return title;
}

void DrawBoxes(ui::Canvas& canvas, const RotationView& v) {
    for (size_t i = 0; i < std::size(kRotationSpans); ++i) {
        const int left = SpanBoxLeft(i);
        const bool chosen = v.span == kRotationSpans[i];
        ui::DrawBox(canvas, left, kBoxTop, left + kSpanWidth, kBoxBottom, parts::kButtonEdge,
                    chosen ? parts::kButtonChosen : parts::kButtonFace);
        Text(canvas, 12, left + 9, kBoxTop + 3, chosen ? ui::kWhite : parts::kButtonText,
             std::to_string(kRotationSpans[i]) + "日");
    }
    ui::DrawBox(canvas, kBackLeft, kBoxTop, kBackRight, kBoxBottom, parts::kButtonEdge,
                parts::kButtonFace);
    Text(canvas, 12, kBackLeft + 20, kBoxTop + 3, parts::kButtonText, "返回K线");
}

void DrawDates(ui::Canvas& canvas, const RotationView& v, int width) {
    // Every few columns a date, always the last day's.
    const int step = std::max(1, (5 * kCharWidth + 6 + width - 1) / width);
    for (int c = static_cast<int>(v.days.size()) - 1; c >= 0; c -= step) {
        const int centre = kCellsLeft + c * width + width / 2;
        Text(canvas, 12, centre - 5 * kCharWidth / 2, kDateY, ui::kTextDarkBlue,
             DateText(v.days[static_cast<size_t>(c)].date, false));
    }
}

void DrawRow(ui::Canvas& canvas, const RotationView& v, size_t row, int width) {
    const int top = kGridTop + static_cast<int>(row) * kRowHeight;
    const RotationRow& r = v.rows[row];
    const bool chosen = static_cast<int>(row) == v.selectedRow;
    if (chosen) ui::FillBox(canvas, kLabelLeft - 2, top, kCellsLeft - 2, top + kRowHeight, parts::kChosenFill);
    if (const size_t rank = sectors::RankOn(v.days.back(), r.number)) {
        const std::string digits = std::to_string(rank);
        Text(canvas, 12, kLabelLeft + (3 - static_cast<int>(digits.size())) * kCharWidth, top + 2,
             ui::kTextDarkBlue, digits);
    }
    ui::DrawTextAt(canvas, 12, kNameLeft, top + 2, chosen ? ui::kTitleDarkRed : ui::kBlack,
                   parts::CutName(r.name, 20));
    for (size_t c = 0; c < v.days.size(); ++c) {
        const size_t rank = sectors::RankOn(v.days[c], r.number);
        const int left = kCellsLeft + static_cast<int>(c) * width;
        ui::FillBox(canvas, left + 1, top + 1, left + width - 1, top + kRowHeight - 1,
                    RankCellColour(rank));
        if (rank == 0 || rank > 99) continue;
        // A number that would touch its neighbours is left to the colour.
        const std::string digits = std::to_string(rank);
        const int textWidth = static_cast<int>(digits.size()) * kCharWidth;
        if (textWidth + 6 > width && rank > sectors::kRotationTop) continue;
        Text(canvas, 12, left + (width - textWidth) / 2, top + 2,
             rank <= 6 ? ui::kWhite : ui::kBlack, digits);
    }
    if (chosen)
        ui::DrawFrameLines(canvas, kLabelLeft - 3, top, kCellsLeft + static_cast<int>(v.days.size()) * width,
                           top + kRowHeight, parts::kChosenRow);
}

void DrawLegend(ui::Canvas& canvas) {
    struct Band {
        size_t rank;
        const char* label;
    };
    const Band bands[] = {{1, "第1"}, {2, "2-3"}, {4, "4-6"}, {7, "7-10"},
                          {11, "11-20"}, {21, "20名后"}, {0, "无选出股"}};
    int x = kCellsLeft;
    Text(canvas, 12, kLabelLeft, kLegendY, ui::kTextDarkBlue, "颜色表示当日排名：");
    for (const Band& band : bands) {
        ui::DrawBox(canvas, x, kLegendY, x + 14, kLegendY + 13, ui::kBlack, RankCellColour(band.rank));
        Text(canvas, 12, x + 18, kLegendY + 1, ui::kTextDarkBlue, band.label);
        x += 18 + static_cast<int>(Gbk(band.label).size()) * kCharWidth + 14;
    }
    Text(canvas, 12, x + 10, kLegendY + 1, ui::kTextDarkBlue, "点一行看该板块的选出股");
}

}  // namespace

std::vector<RotationRow> RotationRowsOf(const std::vector<sectors::RotationDay>& days) {
    struct Seen {
        size_t lastRank = 0;  // on the last day, 0: not ranked
        size_t bestRank = SIZE_MAX;
        size_t daysInTop = 0;
    };
    std::map<uint32_t, Seen> seen;
    for (const sectors::RotationDay& day : days)
        for (const sectors::DayRank& s : day.sectors) {
            if (s.rank > sectors::kRotationTop) continue;
            Seen& e = seen[s.number];
            e.bestRank = std::min(e.bestRank, s.rank);
            ++e.daysInTop;
        }
    if (!days.empty())
        for (auto& [number, e] : seen) e.lastRank = sectors::RankOn(days.back(), number);
    std::vector<std::pair<uint32_t, Seen>> order(seen.begin(), seen.end());
    const auto inLastTop = [](const Seen& e) {
        return e.lastRank != 0 && e.lastRank <= sectors::kRotationTop;
    };
    std::stable_sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
        if (inLastTop(a.second) != inLastTop(b.second)) return inLastTop(a.second);
        if (inLastTop(a.second)) return a.second.lastRank < b.second.lastRank;
        if (a.second.bestRank != b.second.bestRank) return a.second.bestRank < b.second.bestRank;
        return a.second.daysInTop > b.second.daysInTop;
    });
    std::vector<RotationRow> rows;
    for (size_t i = 0; i < order.size() && i < kRotationRows; ++i) rows.push_back({order[i].first, {}});
    return rows;
}

int RotationRowOfRank(const RotationView& v, int rank) {
    if (rank < 1 || v.days.empty() || static_cast<size_t>(rank) > v.days.back().sectors.size()) return -1;
    const uint32_t number = v.days.back().sectors[static_cast<size_t>(rank) - 1].number;
    for (size_t row = 0; row < v.rows.size(); ++row)
        if (v.rows[row].number == number) return static_cast<int>(row);
    return -1;
}

ui::Rgb RankCellColour(size_t rank) {
    if (rank == 0) return {225, 222, 205};
    if (rank == 1) return {170, 0, 0};
    if (rank <= 3) return {205, 30, 30};
    if (rank <= 6) return {232, 85, 60};
    if (rank <= 10) return {245, 150, 110};
    if (rank <= 20) return {250, 210, 170};
    return {246, 238, 222};
}

void DrawRotationPage(ui::Canvas& canvas, const RotationView& v) {
    ui::FillBox(canvas, 0, 1, ui::kCanvasWidth, kUpperBottom, ui::kPanelBeige);
    Text(canvas, 14, kTitleLeft, kTitleY, ui::kTitleDarkRed, Title(v));
    DrawBoxes(canvas, v);
    ui::DrawTextAt(canvas, 12, kLabelLeft, kChangeY, ui::kTextDarkBlue,
                   parts::CutName(v.changeText, (kCellsRight - kLabelLeft) / kCharWidth));
    if (v.days.empty() || v.rows.empty()) {
        Text(canvas, 14, kLabelLeft, kGridTop, ui::kTextDarkBlue, "这些交易日里没有排进前十的板块。");
        return;
    }
    const int width = CellWidth(v.days.size());
    const int bottom = kGridTop + static_cast<int>(v.rows.size()) * kRowHeight;
    ui::FillBox(canvas, kCellsLeft, kGridTop, kCellsLeft + static_cast<int>(v.days.size()) * width,
                bottom, kGridFill);
    DrawDates(canvas, v, width);
    for (size_t row = 0; row < v.rows.size(); ++row) DrawRow(canvas, v, row, width);
    DrawLegend(canvas);
}

RotationClick RotationClickAt(const RotationView& v, int x, int y) {
    if (y >= kBoxTop && y <= kBoxBottom) {
        for (size_t i = 0; i < std::size(kRotationSpans); ++i)
            if (x >= SpanBoxLeft(i) && x <= SpanBoxLeft(i) + kSpanWidth)
                return {RotationClick::Kind::Span, kRotationSpans[i]};
        if (x >= kBackLeft && x <= kBackRight) return {RotationClick::Kind::Back, 0};
        return {};
    }
    const int right = kCellsLeft + static_cast<int>(v.days.size()) * CellWidth(v.days.size());
    if (x < kLabelLeft - 3 || x >= right || y < kGridTop) return {};
    const int row = (y - kGridTop) / kRowHeight;
    if (row >= static_cast<int>(v.rows.size())) return {};
    return {RotationClick::Kind::Row, row};
}

}  // namespace screen
