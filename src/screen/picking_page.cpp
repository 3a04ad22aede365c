#include "screen/picking_page.h"

#include <cstdio>

#include "picking/articles.h"
#include "picking/board_texts.h"
#include "data/paths.h"
#include "screen/page_parts.h"

namespace screen {
namespace {

using namespace parts;

constexpr ui::Rgb kMarkerSet{200, 0, 0};
constexpr ui::Rgb kMarkerClear{170, 170, 170};
constexpr ui::Rgb kMethodBar{120, 0, 0};
constexpr ui::Rgb kMethodText{0, 0, 250};
constexpr int kRowHeight = 18;

// The library on the left: tabs, then the title list with its page line.
constexpr int kTabLeft = 74, kTabTop = 433, kTabWidth = 49;
constexpr int kLibraryLeft = 72, kLibraryRight = 270, kLibraryTop = 455, kLibraryBottom = 700;
constexpr int kTitleTop = 460;
constexpr int kMarkerLeft = 80, kMarkerRight = 88, kTitleLeft = 92;
constexpr int kTitlePageTop = 680;
// The setting board, and the candidate sets with 单步选股 under it.
constexpr int kBoardLeft = 278, kBoardRight = 540, kBoardTop = 433, kBoardBottom = 630;
constexpr int kBoardRowTop = 462, kBoardRowStep = 24, kFieldHeight = 18;
constexpr int kWholeWidth = 34, kFractionWidth = 22, kPointWidth = 8;
constexpr int kSetLeft = 280, kSetTop = 636;
// The method list: caption, seven rows, the buttons under it, the run panel.
constexpr int kMethodLeft = 546, kMethodRight = 748, kMethodTop = 433;
constexpr int kMethodRowTop = 455;
constexpr int kRunTop = 634;
// The picked stocks at the right.
constexpr int kResultLeft = 852, kResultRight = 1017, kResultTop = 434;
constexpr int kResultRowTop = 457, kResultPageTop = 644;

// The three condition tabs, then the investment-idea articles (group 1).
constexpr const char* kTabNames[4] = {"初级", "中级", "高级", "文章"};
constexpr int kTabGroups[4] = {picking::kGroupA, picking::kGroupB, picking::kGroupC, picking::kArticleGroup};

int TitlePages(int group) {
    return std::max(1, (LibraryTitleCount(group) + kTitleRows - 1) / kTitleRows);
}

bool Inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

// The page line under a list: 上页, 下页 and "page/pages".
void DrawPageLine(ui::Canvas& canvas, int left, int top, int page, int pages) {
    PageButton(canvas, left, top, left + 32, top + 16, false, "上页");
    PageButton(canvas, left + 38, top, left + 70, top + 16, false, "下页");
    Text(canvas, 12, left + 78, top + 3, ui::kTextDarkBlue,
         std::to_string(page) + "/" + std::to_string(pages));
}

std::optional<int> PageLineAt(int left, int top, int x, int y) {
    if (Inside(x, y, left, top, left + 33, top + 17)) return -1;
    if (Inside(x, y, left + 38, top, left + 71, top + 17)) return 1;
    return std::nullopt;
}

// Lines of at most `width` pixels, broken between characters.
std::vector<std::string> WrapGbk(const std::string& gbk, int width) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < gbk.size();) {
        const size_t length = ui::IsGbkLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
        const std::string piece = gbk.substr(i, length);
        if (ui::TextWidth(12, lines.back() + piece) > width) lines.emplace_back();
        lines.back() += piece;
        i += length;
    }
    return lines;
}

// Walks a board row: text pieces and field places with their x.
template <typename OnText, typename OnField>
void LayRow(std::string_view row, picking::ConditionCode code, OnText&& onText, OnField&& onField) {
    const auto kinds = picking::ConditionParamKinds(code);
    int x = kBoardLeft + 10;
    picking::ForEachRowPiece(row, [&](const picking::RowPiece& piece) {
        if (piece.param < 0) {
            const std::string gbk = Gbk(piece.text);
            onText(x, gbk);
            x += ui::TextWidth(12, gbk);
            return;
        }
        const size_t param = static_cast<size_t>(piece.param);
        const bool decimals = param < kinds.size() && kinds[param] == picking::ParamKind::TwoDecimals;
        onField(x, param, decimals);
        x += kWholeWidth + (decimals ? kPointWidth + kFractionWidth : 0) + 2;
    });
}

}  // namespace

picking::ConditionCode PickingView::OpenCondition() const {
    return {openGroup, openPosition ? data::ConditionAtPosition(openGroup, openPosition) : 0};
}

int MarkerPageOf(int group) {
    switch (group) {
        case picking::kArticleGroup: return 1;
        case picking::kGroupA: return 2;
        case picking::kGroupB: return 3;
        default: return 0;
    }
}

int LibraryTitleCount(int group) {
    return group == picking::kArticleGroup ? picking::kIdeaArticles : data::VisibleConditionCount(group);
}

ControlId BoardFieldId(size_t param, bool fraction) {
    return static_cast<ControlId>(IdNumber(ControlId::BoardFieldFirst) + 2 * static_cast<int>(param) +
                                  (fraction ? 1 : 0));
}

void DrawPickingPage(ui::Canvas& canvas, const PickingView& view, const picking::MethodList& methods,
                     const data::Settings& settings, const data::CodeTable& codes) {
    DrawLibrary(canvas, view, settings);
    DrawBoard(canvas, view);
    DrawMethodList(canvas, methods);
    DrawPickedStocks(canvas, view, codes);
}

void DrawLibrary(ui::Canvas& canvas, const PickingView& view, const data::Settings& settings) {
    ui::FillBox(canvas, kLibraryLeft - 2, kTabTop - 2, kLibraryRight + 2, kLibraryBottom, ui::kPanelBeige);
    for (int i = 0; i < 4; ++i) {
        const int left = kTabLeft + i * kTabWidth;
        PageButton(canvas, left, kTabTop, left + kTabWidth - 4, kTabTop + kRowHeight, view.tab == kTabGroups[i],
                   kTabNames[i]);
    }
    Panel(canvas, kLibraryLeft, kLibraryTop, kLibraryRight, kLibraryBottom);
    const int page = MarkerPageOf(view.tab);
    for (int row = 0; row < kTitleRows; ++row) {
        const int position = view.firstTitle + row;
        const picking::TitleLookup title = picking::ConditionTitle(view.tab, position);
        if (title.number == 0) break;
        const int y = kTitleTop + row * kRowHeight;
        const bool open = view.tab == view.openGroup && position == view.openPosition;
        if (open) ui::FillBox(canvas, kLibraryLeft + 7, y, kLibraryRight - 7, y + kRowHeight - 1, kChosenFill);
        const bool marked = page != 0 && settings.MarkerSet(page, position);
        ui::FillBox(canvas, kMarkerLeft, y + 5, kMarkerRight, y + 13, marked ? kMarkerSet : kMarkerClear);
        ui::DrawTextAt(canvas, 12, kTitleLeft, y + 3, open ? ui::kTitleDarkRed : ui::kBlack,
                       CutName(Gbk(title.text), 28));
    }
    DrawPageLine(canvas, kLibraryLeft + 8, kTitlePageTop, (view.firstTitle - 1) / kTitleRows + 1,
                 TitlePages(view.tab));
}

void DrawBoard(ui::Canvas& canvas, const PickingView& view) {
    Panel(canvas, kBoardLeft, kBoardTop, kBoardRight, kBoardBottom);
    const picking::ConditionCode code = view.OpenCondition();
    const picking::BoardTexts texts = picking::BoardTextsOf(code);
    if (texts.headline.empty()) {
        Text(canvas, 12, kBoardLeft + 12, kBoardTop + 60, ui::kTextDarkBlue, "（在左侧方法库中点取选股方法，");
        Text(canvas, 12, kBoardLeft + 12, kBoardTop + 80, ui::kTextDarkBlue, "这里显示它的参数设置）");
        return;
    }
    Text(canvas, 12, kBoardLeft + 10, kBoardTop + 9, ui::kTitleDarkRed, texts.headline);
    int y = kBoardRowTop;
    for (std::string_view row : texts.rows) {
        LayRow(row, code, [&](int x, const std::string& gbk) { ui::DrawTextAt(canvas, 12, x, y + 3, ui::kBlack, gbk); },
               [&](int x, size_t, bool decimals) {
                   if (decimals) ui::DrawTextAt(canvas, 12, x + kWholeWidth + 1, y + 3, ui::kBlack, ".");
               });
        y += kBoardRowStep;
    }
    for (std::string_view note : texts.notes)
        for (const std::string& line : WrapGbk(Gbk(note), kBoardRight - kBoardLeft - 20)) {
            ui::DrawTextAt(canvas, 12, kBoardLeft + 10, y + 2, ui::kTextDarkBlue, line);
            y += 16;
        }
    Text(canvas, 12, kBoardLeft + 10, kBoardBottom - 20, {0, 0, 200},
         view.modifying ? picking::kModifyHint : texts.hint);
}

std::vector<FieldPlace> BoardFieldPlaces(picking::ConditionCode code) {
    std::vector<FieldPlace> places;
    int y = kBoardRowTop;
    for (std::string_view row : picking::BoardTextsOf(code).rows) {
        LayRow(row, code, [](int, const std::string&) {},
               [&](int x, size_t param, bool decimals) {
                   places.push_back({BoardFieldId(param, false), x, y, kWholeWidth, kFieldHeight});
                   if (decimals)
                       places.push_back({BoardFieldId(param, true), x + kWholeWidth + kPointWidth, y,
                                         kFractionWidth, kFieldHeight});
               });
        y += kBoardRowStep;
    }
    return places;
}

void DrawMethodList(ui::Canvas& canvas, const picking::MethodList& methods) {
    char caption[32];
    std::snprintf(caption, sizeof caption, "选股方法(%3zu)", methods.Count());
    Strip(canvas, kMethodLeft, kMethodTop, kMethodRight, kMethodTop + 17, Gbk(caption));
    ui::FillBox(canvas, kMethodLeft, kMethodTop + 17, kMethodRight, kMethodRowTop + 7 * kRowHeight + 3, ui::kWhite);
    const auto rows = picking::VisibleMethodRows(methods);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int y = kMethodRowTop + static_cast<int>(i) * kRowHeight;
        if (rows[i].selected) ui::FillBox(canvas, kMethodLeft + 2, y, kMethodRight - 2, y + kRowHeight - 1, kMethodBar);
        ui::DrawTextAt(canvas, rows[i].smallFont ? 12 : 14, kMethodLeft + 4, y + 3,
                       rows[i].selected ? ui::kWhite : kMethodText, rows[i].text);
    }
}

void DrawPickedStocks(ui::Canvas& canvas, const PickingView& view, const data::CodeTable& codes) {
    // The candidate sets and the run panel.
    ui::FillBox(canvas, kSetLeft - 2, kSetTop - 2, kMethodLeft - 4, 656, ui::kPanelBeige);
    DrawSetButtons(canvas, kSetLeft, kSetTop, view.market);
    char text[64];
    std::snprintf(text, sizeof text, "待选股(%zu)", view.candidateCount);
    Text(canvas, 12, kSetLeft + 5 * kSetWidth + 4, kSetTop + 4, ui::kTextDarkBlue, text);
    ui::FillBox(canvas, 350, 658, kMethodLeft - 4, 680, ui::kPanelBeige);
    if (view.market == picking::CandidateMarket::File)
        ui::DrawTextAt(canvas, 12, 352, 662, ui::kTextDarkBlue, CutName(view.listFileName, 27));
    ui::FillBox(canvas, kMethodLeft, kRunTop, kMethodRight + 2, 700, ui::kPanelBeige);
    if (view.ran) {
        const std::string line = Gbk("单步选股：") + picking::MethodEntryText(view.ranEntry);
        int y = kRunTop + 2;
        for (const std::string& part : WrapGbk(line, kMethodRight - kMethodLeft))
            if (y < 684) {
                ui::DrawTextAt(canvas, 12, kMethodLeft, y, ui::kTextDarkBlue, part);
                y += 15;
            }
    }
    // The picked stocks.
    std::snprintf(text, sizeof text, "选出股(%zu)", view.picked.size());
    Strip(canvas, kResultLeft, kResultTop, kResultRight, kResultTop + 17, Gbk(text));
    Panel(canvas, kResultLeft, kResultTop + 17, kResultRight, kResultPageTop - 2);
    if (view.ran && view.picked.empty()) {
        Text(canvas, 12, kResultLeft + 10, kResultRowTop + 4, ui::kTextDarkBlue, "（没有满足选股");
        Text(canvas, 12, kResultLeft + 10, kResultRowTop + 22, ui::kTextDarkBlue, "条件的个股）");
    }
    for (int row = 0; row < kResultRows; ++row) {
        const int index = view.firstResult + row;
        if (index >= static_cast<int>(view.picked.size())) break;
        const int y = kResultRowTop + row * kRowHeight;
        const uint32_t code = view.picked[static_cast<size_t>(index)];
        const bool chosen = index == view.chosenResult;
        if (chosen) ui::FillBox(canvas, kResultLeft + 7, y, kResultRight - 7, y + kRowHeight - 1, kChosenFill);
        const ui::Rgb colour = chosen ? ui::kTitleDarkRed : ui::kBlack;
        ui::DrawTextAt(canvas, 12, kResultLeft + 10, y + 3, colour, data::CodeText(code));
        ui::DrawTextAt(canvas, 14, kResultLeft + 56, y + 2, colour, CutName(codes.StockName(code), 8));
    }
    const int pages = std::max(1, (static_cast<int>(view.picked.size()) + kResultRows - 1) / kResultRows);
    ui::FillBox(canvas, kResultLeft, kResultPageTop, kResultRight, kResultPageTop + 18, ui::kPanelBeige);
    DrawPageLine(canvas, kResultLeft + 6, kResultPageTop, view.firstResult / kResultRows + 1, pages);
}

PickingPageClick HitTestPickingPage(const PickingView& view, const picking::MethodList& methods, int x, int y) {
    using Kind = PickingPageClick::Kind;
    for (int i = 0; i < 4; ++i) {
        const int left = kTabLeft + i * kTabWidth;
        if (Inside(x, y, left, kTabTop, left + kTabWidth - 3, kTabTop + kRowHeight + 1))
            return {Kind::ChooseTab, kTabGroups[i]};
    }
    if (Inside(x, y, kLibraryLeft + 5, kTitleTop, kLibraryRight - 5, kTitleTop + kTitleRows * kRowHeight)) {
        const int position = view.firstTitle + (y - kTitleTop) / kRowHeight;
        if (picking::ConditionTitle(view.tab, position).number == 0) return {};
        return {x <= kMarkerRight + 1 ? Kind::ToggleMarker : Kind::ChooseTitle, position};
    }
    if (const auto step = PageLineAt(kLibraryLeft + 8, kTitlePageTop, x, y)) return {Kind::TitlePage, *step};
    if (Inside(x, y, kMethodLeft, kMethodRowTop, kMethodRight, kMethodRowTop + picking::kMethodPageRows * kRowHeight)) {
        const int row = (y - kMethodRowTop) / kRowHeight + 1;
        if (methods.TopRow() + row - 1 <= static_cast<int>(methods.Count())) return {Kind::ChooseMethod, row};
        return {};
    }
    if (const auto set = SetButtonAt(kSetLeft, kSetTop, x, y))
        return *set == 1 ? PickingPageClick{Kind::LoadList, 0} : PickingPageClick{Kind::ChooseMarket, *set};
    if (Inside(x, y, kResultLeft + 5, kResultRowTop, kResultRight - 5, kResultRowTop + kResultRows * kRowHeight)) {
        const int index = view.firstResult + (y - kResultRowTop) / kRowHeight;
        if (index < static_cast<int>(view.picked.size())) return {Kind::ChooseResult, index};
        return {};
    }
    if (const auto step = PageLineAt(kResultLeft + 6, kResultPageTop, x, y)) return {Kind::ResultPage, *step};
    return {};
}

// ---- the strip ------------------------------------------------------------------

namespace {

// Buttons 22 to 27 after the documented 21, with their tag letters.
constexpr std::string_view kPageButtonCaptions = " v条件选股 w返回板块 x单步选股 y保存 z确认修改 A加入 B板块轮动";
constexpr ui::ButtonRecord kPageButtons[] = {
    {true, 5, 600, 64, 618, static_cast<int>(StripCommand::PickingPage)},   // 22 条件选股
    {true, 600, 411, 663, 429, static_cast<int>(StripCommand::SectorPage)},  // 23 返回板块
    {true, 282, 658, 346, 676, static_cast<int>(StripCommand::StepPick)},    // 24 单步选股
    {true, 858, 672, 896, 690, static_cast<int>(StripCommand::SaveResults)}, // 25 保存
    {true, 684, 588, 747, 606, static_cast<int>(StripCommand::MethodConfirm)},  // 26 确认修改
    {true, 902, 672, 940, 690, static_cast<int>(StripCommand::AddPicked)},   // 27 加入
    {true, 5, 624, 64, 642, static_cast<int>(StripCommand::RotationPage)},   // 28 板块轮动
};
// On the picking page the method-list buttons sit beside the list.
struct Move {
    int number;
    ui::ButtonRecord place;
};
constexpr Move kPickingPlaces[] = {
    {7, {true, 552, 588, 574, 606, 23}},   // ↑
    {8, {true, 578, 588, 600, 606, 24}},   // ↓
    {9, {true, 604, 588, 626, 606, 25}},   // ×
    {13, {true, 552, 610, 614, 628, 35}},  // 方法插入
    {14, {true, 620, 610, 682, 628, 36}},  // 加入方法
    {15, {true, 632, 588, 679, 606, 37}},  // 条修改
};

}  // namespace

ui::ButtonStrip PageStrip(PageKind page) {
    ui::ButtonStrip strip = ui::MainStrip();
    for (const ui::ButtonRecord& record : kPageButtons) strip.buttons.push_back(record);
    strip.captions += Gbk(kPageButtonCaptions);
    if (page == PageKind::Picking)
        for (const Move& move : kPickingPlaces) strip.buttons[static_cast<size_t>(move.number - 1)] = move.place;
    return strip;
}

uint32_t PageStripMask(PageKind page) {
    if (page == PageKind::Sector) return ui::kSectorHomeMask | ui::ButtonBits(22, 22) | ui::ButtonBits(28, 28);
    // The method-list buttons, 帮助 beside the chart buttons and the page's own.
    return ui::ButtonBits(7, 9) | ui::ButtonBits(13, 15) | ui::ButtonBits(20, 20) | ui::ButtonBits(23, 27);
}

}  // namespace screen
