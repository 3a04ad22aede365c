#include "screen/sector_page.h"

#include <algorithm>
#include <cstdio>

#include "base/gbk.h"
#include "data/paths.h"
#include "data/sector_library_file.h"
#include "ui/drawing.h"
#include "ui/fonts.h"
#include "screen/page_parts.h"

namespace screen {
namespace {

using namespace parts;

// The ranking panel.
constexpr int kRankLeft = 277, kRankTop = 435, kRankWidth = 263, kRankHeight = 192;
// A row's limit counts end here, clear of the ranking's scroll bar.
constexpr int kRankLimitsRight = 520;
constexpr ui::Rgb kLimitUp{200, 0, 0};
constexpr ui::Rgb kLimitDown{0, 102, 0};
constexpr int kRankRowTop = kRankTop + 10, kRowHeight = 18;
// The member list beside it.
constexpr int kMemberLeft = 548, kMemberTop = 435, kMemberRight = 706, kMemberBottom = 627;
constexpr int kMemberRowTop = kMemberTop + 22;
constexpr int kMemberValueRight = kMemberRight - 16;  // clear of the list's scroll bar
// Candidate sets and lists on the left.
constexpr int kPickedTop = 558;
constexpr int kPickedRows = 3;
constexpr int kSetLeft = 74, kSetTop = 433;
constexpr int kListLeft = 72, kListRight = 270;
// The three option rows.
constexpr int kOptionLeft = 104, kOptionRight = 385;
constexpr int kOptionTops[3] = {630, 652, 674};

std::string MarketName(picking::CandidateMarket market) {
    switch (market) {
        case picking::CandidateMarket::Shanghai: return "沪市";
        case picking::CandidateMarket::Shenzhen: return "深市";
        case picking::CandidateMarket::ChiNext: return "创板";
        default: return "";
    }
}

ui::Rgb BarColour(sectors::ScanType type, int rank) {
    const bool top = rank <= 10;
    switch (type) {
        case sectors::ScanType::Hot: return top ? ui::Rgb{227, 0, 114} : ui::Rgb{255, 111, 255};
        case sectors::ScanType::Fund: return top ? ui::Rgb{0, 0, 176} : ui::Rgb{83, 83, 255};
        case sectors::ScanType::Fall: return top ? ui::Rgb{0, 102, 0} : ui::Rgb{117, 255, 117};
    }
    return ui::kBlack;
}

}  // namespace

size_t SectorView::RankCount() const { return outcome ? outcome->Result().SectorCount() : 0; }

void DrawSectorPage(ui::Canvas& canvas, const SectorView& v, const data::CodeTable& codes) {
    DrawCandidates(canvas, v);
    DrawSectorRanking(canvas, v);
    DrawMemberList(canvas, v, codes);
    // The scan options and the caption line.
    ui::DrawLine(canvas, 380, 628, 380, 696, ui::kBlack);
    ui::DrawSunkenField(canvas, 385, 630, 622, 694, kSunkenEdge);
    DrawScanOptions(canvas, v);
    DrawScanCaption(canvas, v);
    // The property query and the top/bottom estimate boxes.
    ui::DrawLine(canvas, 626, 628, 626, 696, ui::kBlack);
    Strip(canvas, 627, 628, 743, 645, Gbk("板块属性查询"));
    Text(canvas, 12, 639, 683, ui::kBlack, "（输入股票代码）");
    Panel(canvas, 889, 434, 1017, 566);
    Panel(canvas, 889, 609, 1017, 699);
    ui::FillBox(canvas, 893, 611, 1014, 627, kStrip);
    Text(canvas, 12, 905, 613, ui::kWhite, "个股顶部底部测算");
    Text(canvas, 12, 896, 634, ui::kBlack, "输入股票代码");
    Text(canvas, 14, 935, 459, ui::kTitleDarkRed, "怎样让");
    ui::DrawArrowRight(canvas, 276, 529, 8, 17, 9, kMarker);
    ui::DrawArrowRight(canvas, 748, 556, 6, 30, 6, kMarker);
}

void DrawCandidates(ui::Canvas& canvas, const SectorView& v) {
    ui::FillBox(canvas, 70, 430, 272, 628, ui::kPanelBeige);
    DrawSetButtons(canvas, kSetLeft, kSetTop, v.market);
    char count[32];
    std::snprintf(count, sizeof count, "待选股(%5zu)", v.candidateCount);
    Strip(canvas, kListLeft, 456, kListRight, 473, Gbk(count));
    Panel(canvas, kListLeft, 473, kListRight, 530);
    std::string where = v.market ? (*v.market == picking::CandidateMarket::File
                                      ? "文件 " + v.listFileName
                                      : MarketName(*v.market).empty() ? std::string("沪深全部A股")
                                                                    : MarketName(*v.market) + "A股")
                               : std::string("请选择市场或载入");
    Text(canvas, 12, kListLeft + 10, 484, ui::kTextDarkBlue, where);
    Text(canvas, 12, kListLeft + 10, 504, ui::kTextDarkBlue,
         "共 " + std::to_string(v.candidateCount) + " 只股票待扫描");
    std::snprintf(count, sizeof count, "选出股(%5zu)", v.pickedCount);
    Strip(canvas, kListLeft, 536, kListRight, 553, Gbk(count));
    Panel(canvas, kListLeft, 553, kListRight, 626);
    if (!v.outcome) return;
    // The first picked stocks, in candidate order.
    for (int row = 0; row < kPickedRows; ++row) {
        if (row >= static_cast<int>(v.outcome->selected.size())) break;
        const sectors::ResultEntry& e = v.outcome->selected[static_cast<size_t>(row)];
        const int y = kPickedTop + row * kRowHeight;
        const ui::Rgb colour = row == v.selectedPicked ? ui::kTitleDarkRed : ui::kBlack;
        if (row == v.selectedPicked) ui::FillBox(canvas, kListLeft + 7, y - 1, kListRight - 7, y + 16, {255, 255, 200});
        ui::DrawTextAt(canvas, 12, kListLeft + 10, y + 2, colour, data::CodeText(e.code));
        char value[16];
        std::snprintf(value, sizeof value, v.type == sectors::ScanType::Fund ? "%u%%" : "%u.%02u%%",
                      v.type == sectors::ScanType::Fund ? e.value : e.value / 100, e.value % 100);
        ui::DrawTextAt(canvas, 12, kListLeft + 60, y + 2, colour, value);
    }
}

void DrawScanOptions(ui::Canvas& canvas, const SectorView& v) {
    ui::FillBox(canvas, kOptionLeft, 629, kOptionRight, 694, kLightBlue);
    // The panel's own bottom edge, which the rows' light edges do not give.
    ui::DrawLine(canvas, kOptionLeft, 694, kOptionRight, 694, kSunkenEdge);
    const char* captions[3][2] = {{"热点板块丨扫描涨幅≥", "%个股"},
                                  {"资金流入丨扫描成交增加≥", "%个股"},
                                  {"下跌板块丨扫描跌幅≥", "%个股"}};
    const int tails[3] = {315, 317, 315};
    for (int row = 0; row < 3; ++row) {
        const int top = kOptionTops[row];
        const bool chosen = static_cast<int>(v.type) == row + 1;
        ui::DrawSunkenField(canvas, kOptionLeft + 2, top, kOptionRight - 2, top + 20, kSunkenEdge);
        if (chosen) ui::FillBox(canvas, kOptionLeft + 14, top + 2, kOptionRight - 4, top + 19, kChosenRow);
        const ui::Rgb colour = chosen ? ui::kWhite : ui::kBlack;
        if (chosen) Text(canvas, 12, kOptionLeft + 4, top + 4, ui::kTitleDarkRed, "●");
        Text(canvas, 12, kOptionLeft + 16, top + 4, colour, captions[row][0]);
        Text(canvas, 12, tails[row], top + 4, colour, captions[row][1]);
        if (row != 1) Text(canvas, 12, 285, top + 4, colour, ".");
    }
}

void DrawScanCaption(ui::Canvas& canvas, const SectorView& v) {
    ui::FillBox(canvas, 390, 634, 581, 652, ui::kWhite);
    Text(canvas, 12, 412, 638, ui::kTitleDarkRed, "扫描：");
    std::string text;
    if (v.market && !MarketName(*v.market).empty()) text += MarketName(*v.market) + "|";
    text += v.type == sectors::ScanType::Hot ? "涨幅≥" : v.type == sectors::ScanType::Fund ? "成交增加≥"
                                                                                       : "跌幅≥";
    text += sectors::ThresholdText(v.type, v.threshold) + "%";
    Text(canvas, 12, 447, 638, ui::kTextDarkBlue, text);
}

namespace {

// A ranked sector's limit counts at its row's right end: 涨停 and the longest
// streak for rises and turnover, 跌停 for falls; nothing without any.
void DrawRankLimits(ui::Canvas& canvas, sectors::ScanType type, const sectors::SectorLimits& l,
                    int y) {
    std::string text;
    ui::Rgb colour = kLimitUp;
    if (type == sectors::ScanType::Fall) {
        if (l.limitDown == 0) return;
        text = "跌停" + std::to_string(l.limitDown);
        colour = kLimitDown;
    } else {
        if (l.limitUp == 0) return;
        text = "涨停" + std::to_string(l.limitUp);
        if (l.streak >= 2) text += " " + std::to_string(l.streak) + "连板";
    }
    const std::string gbk = Gbk(text);
    ui::DrawTextAt(canvas, 12, kRankLimitsRight - ui::TextWidth(12, gbk), y + 1, colour, gbk);
}

}  // namespace

void DrawSectorRanking(ui::Canvas& canvas, const SectorView& v) {
    ui::FillBox(canvas, kRankLeft - 2, 412, kRankLeft + kRankWidth + 2, 432, ui::kPanelBeige);
    Panel(canvas, kRankLeft, kRankTop, kRankLeft + kRankWidth, kRankTop + kRankHeight);
    const size_t count = v.RankCount();
    if (count == 0) {
        Text(canvas, 14, 298, 486, ui::kTextDarkBlue, "（当前板块为空，可在下方选取扫描");
        Text(canvas, 14, 314, 508, ui::kTextDarkBlue, "方式，然后点击“板块扫描”）");
        return;
    }
    const sectors::ScanResultView result = v.outcome->Result();
    if (!v.simulation && v.outcome->referenceDate != 0) {
        const uint32_t d = v.outcome->referenceDate;
        char date[32];
        std::snprintf(date, sizeof date, "%04u.%02u.%02u日 ", d / 10000, d / 100 % 100, d % 100);
        std::string title = date;
        if (v.market && !MarketName(*v.market).empty()) title += MarketName(*v.market) + "|";
        title += std::string(sectors::ScanTitleWord(v.type));
        Text(canvas, 14, 314, 418, ui::kTextDarkBlue, title);
    }
    const int64_t top = v.outcome->ranking.sectors.empty() ? 1 : v.outcome->ranking.sectors[0].score;
    for (int row = 0; row < kRankRows; ++row) {
        const int rank = v.firstRank + row;
        if (rank > static_cast<int>(count)) break;
        const int y = kRankRowTop + row * kRowHeight;
        const bool highlighted = rank == v.highlightedRank;
        const ui::Rgb nameColour = highlighted ? ui::kTitleDarkRed : ui::kBlack;
        // A full bar and a 20-byte name do not fit side by side in the panel:
        // the bar runs under the name, the two in the same colour when highlighted.
        ui::DrawTextAt(canvas, 12, kRankLeft + 14, y + 1, nameColour,
                       CutName(result.ResultSectorName(static_cast<size_t>(rank)), 20));
        const size_t index = static_cast<size_t>(rank - 1);
        if (index < v.outcome->limits.size())
            DrawRankLimits(canvas, v.type, v.outcome->limits[index], y);
        const int64_t score = index < v.outcome->ranking.sectors.size()
                                  ? v.outcome->ranking.sectors[index].score : 0;
        const int length = RankBarLength(score, top);
        ui::FillBox(canvas, kRankLeft + 14, y + 13, kRankLeft + 14 + length, y + 17,
                    highlighted ? ui::kTitleDarkRed : BarColour(v.type, rank));
        if (highlighted) ui::DrawArrowRight(canvas, kRankLeft + 12, y + 7, 5, 3, 3, kMarker);
    }
}

void DrawMemberList(ui::Canvas& canvas, const SectorView& v, const data::CodeTable& codes) {
    Panel(canvas, kMemberLeft, kMemberTop, kMemberRight, kMemberBottom);
    if (v.highlightedRank == 0 || !v.outcome) return;
    const sectors::ScanResultView result = v.outcome->Result();
    const std::string caption = CutName(result.ResultSectorName(static_cast<size_t>(v.highlightedRank)), 20) +
                                "(" + std::to_string(v.members.size()) + ")";
    Strip(canvas, kMemberLeft + 5, kMemberTop + 4, kMemberRight - 5, kMemberTop + 21, caption);
    for (int row = 0; row < kMemberRows; ++row) {
        const int index = v.firstMember + row;
        if (index >= static_cast<int>(v.members.size())) break;
        const int y = kMemberRowTop + row * kRowHeight + 2;
        const sectors::ResultEntry& e = v.members[static_cast<size_t>(index)];
        const ui::Rgb base = index == v.selectedMember ? ui::kTitleDarkRed : ui::kBlack;
        if (index == v.selectedMember) ui::FillBox(canvas, kMemberLeft + 7, y - 1, kMemberRight - 7, y + 16, {255, 255, 200});
        // One pixel clear of the panel's 2-pixel edge at kMemberLeft + 5.
        ui::DrawTextAt(canvas, 12, kMemberLeft + 8, y + 2, base, data::CodeText(e.code));
        ui::DrawTextAt(canvas, 14, kMemberLeft + 46, y + 1, base, CutName(codes.StockName(e.code), 8));
        const uint32_t value = std::min<uint32_t>(e.value, 9999);
        char number[16];
        if (v.type == sectors::ScanType::Fund) {
            std::snprintf(number, sizeof number, "%u", value);
            ui::DrawTextAt(canvas, 12, kMemberValueRight - ui::TextWidth(12, number), y + 2,
                           {0, 0, 120}, number);
        } else {
            // Integer and fraction drawn apart so the decimal points line up.
            const bool rise = v.type == sectors::ScanType::Hot;
            const ui::Rgb colour = rise ? ui::Rgb{200, 0, 0} : ui::Rgb{0, 0, 120};
            std::snprintf(number, sizeof number, "%c%u", rise ? '+' : '-', value / 100);
            ui::DrawTextAt(canvas, 12, kMemberValueRight - 21 - ui::TextWidth(12, number), y + 2, colour, number);
            std::snprintf(number, sizeof number, ".%02u", value % 100);
            ui::DrawTextAt(canvas, 12, kMemberValueRight - 21, y + 2, colour, number);
        }
    }
}

int RankBarLength(int64_t score, int64_t topScore) {
    if (topScore <= 0) return 1;
    return static_cast<int>(std::clamp<int64_t>(score * kRankBarFull / topScore, 1, kRankBarFull));
}

SectorPageClick HitTestSectorPage(const SectorView& v, int x, int y) {
    using Kind = SectorPageClick::Kind;
    if (const auto set = SetButtonAt(kSetLeft, kSetTop, x, y))
        return *set == 1 ? SectorPageClick{Kind::LoadList, 0} : SectorPageClick{Kind::ChooseMarket, *set};
    if (x >= kOptionLeft && x < 258) {  // left of the entry boxes, which take their own clicks
        for (int row = 0; row < 3; ++row)
            if (y >= kOptionTops[row] && y < kOptionTops[row] + 20) return {Kind::ChooseType, row + 1};
    }
    if (x >= kRankLeft + 5 && x < kRankLeft + kRankWidth - 5 && y >= kRankRowTop &&
        y < kRankRowTop + kRankRows * kRowHeight) {
        const int rank = v.firstRank + (y - kRankRowTop) / kRowHeight;
        if (rank <= static_cast<int>(v.RankCount())) return {Kind::ChooseSector, rank};
        return {};
    }
    if (v.outcome && x >= kListLeft + 5 && x < kListRight - 5 && y >= kPickedTop &&
        y < kPickedTop + kPickedRows * kRowHeight) {
        const int index = (y - kPickedTop) / kRowHeight;
        if (index < static_cast<int>(v.outcome->selected.size())) return {Kind::ChoosePicked, index};
        return {};
    }
    if (x >= kMemberLeft + 5 && x < kMemberRight - 5 && y >= kMemberRowTop &&
        y < kMemberRowTop + kMemberRows * kRowHeight) {
        const int index = v.firstMember + (y - kMemberRowTop) / kRowHeight;
        if (index < static_cast<int>(v.members.size())) return {Kind::ChooseMember, index};
    }
    return {};
}

}  // namespace screen
