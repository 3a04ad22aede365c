// The controller's picking page: the method library and its boards, the
// method list's commands, 单步选股 on the worker and the stocks it picked.
#include <algorithm>

#include "base/gbk.h"
#include "data/code_table.h"
#include "picking/articles.h"
#include "picking/example_pictures.h"
#include "picking/simulation.h"
#include "screen/layout.h"
#include "screen/screen_controller.h"
#include "ui/drawing.h"
#include "ui/help_pages.h"
#include "ui/markup_text.h"

namespace screen {
namespace {

constexpr std::string_view kCaption = "提示";
constexpr std::string_view kNoMethodMessage = "选股方法为空，请先“加入方法”再“单步选股”";
constexpr std::string_view kNoCandidatesMessage =
    "待选股为零。请先选择沪、深股票，或“载入”待选股，再“单步选股”";

// The article beside the picture: the left part of the help box.
constexpr ui::MarkupLayout kArticleLayout = {
    .boxX = 71,
    .boxY = 47,
    .boxWidth = 560,
    .boxHeight = 296,
    .indent = 17,
    .topOffset = 14,
    .columnsPerLine = 76,
    .lineHeight = 21,
    .columnWidth = 7,
    .fontCode = 15,
};
constexpr int kPictureLeft = 640, kPictureTop = 56;

}  // namespace

// ---- the pages ------------------------------------------------------------------

void ScreenController::ShowPickingPage() {
    m_pageKind = PageKind::Picking;
    m_strip = PageStrip(PageKind::Picking);
    ShowSectorControls(false);
    DrawLowerPage();
    if (m_picking.OpenCondition().number != 0) OpenCondition(m_picking.OpenCondition());
    m_host.FocusCodeBox();
}

void ScreenController::ShowSectorPage() {
    m_pageKind = PageKind::Sector;
    m_strip = PageStrip(PageKind::Sector);
    HideBoardFields();
    ShowSectorControls(true);
    DrawLowerPage();
    UpdateListScrollBars();
    m_host.FocusCodeBox();
}

// The lower half afresh for the page on screen.
void ScreenController::DrawLowerPage() {
    ui::FillBox(m_canvas, 0, kLowerTop + 28, ui::kCanvasWidth, ui::kCanvasHeight, ui::kPanelBeige);
    DrawWatchCaption();
    if (m_pageKind == PageKind::Picking) RedrawPickingPage();
    else RedrawSectorPage();
    Invalidate(Invalidation::Page);
}

void ScreenController::RedrawPickingPage() {
    // The candidate sets are the sector page's: the same buttons on both pages.
    m_picking.market = m_sectors.market;
    m_picking.candidateCount = m_sectors.candidateCount;
    m_picking.listFileName = m_sectors.listFileName;
    data::CodeTable codes(m_workspace.CodeTableRegion());
    DrawSimulationBar();
    DrawPickingPage(m_canvas, m_picking, m_methods, m_market.settings, codes);
    ApplyStripMask();
    Invalidate(Invalidation::Panel);
}

void ScreenController::ShowSectorControls(bool shown) {
    for (ControlId id : kSectorPageControls) m_host.ShowControl(id, shown);
    for (ControlId id : kPickingPageControls) m_host.ShowControl(id, !shown);
    if (!shown) {
        m_host.SetScrollBar(ControlId::RankScrollBar, {});
        m_host.SetScrollBar(ControlId::MemberScrollBar, {});
    }
}

void ScreenController::HideBoardFields() {
    for (int k = 0; k < kBoardFieldCount; ++k)
        m_host.ShowControl(BoardFieldId(static_cast<size_t>(k / 2), k % 2 == 1), false);
}

// ---- the library and the board ----------------------------------------------------

bool ScreenController::ClickPickingPage(int x, int y) {
    const PickingPageClick click = HitTestPickingPage(m_picking, m_methods, x, y);
    using Kind = PickingPageClick::Kind;
    switch (click.kind) {
        case Kind::ChooseTab: ChooseLibraryTab(click.value); break;
        case Kind::ChooseTitle:
            if (m_picking.tab == picking::kArticleGroup) ShowIdeaArticle(click.value);
            else OpenConditionBoard(click.value);
            break;
        case Kind::ToggleMarker: ToggleLibraryMarker(click.value); break;
        case Kind::TitlePage: {
            const int last = std::max(1, LibraryTitleCount(m_picking.tab));
            const int first = m_picking.firstTitle + click.value * kTitleRows;
            if (first >= 1 && first <= last) m_picking.firstTitle = first;
            RedrawPickingPage();
            break;
        }
        case Kind::ChooseMethod: ChooseMethodRow(click.value); break;
        case Kind::ChooseMarket: ChooseMarket(static_cast<picking::CandidateMarket>(click.value)); break;
        case Kind::LoadList: LoadCandidateFile(); break;
        case Kind::ChooseResult: ChoosePickedResult(click.value); break;
        case Kind::ResultPage: {
            const int first = m_picking.firstResult + click.value * kResultRows;
            if (first >= 0 && first < static_cast<int>(m_picking.picked.size())) m_picking.firstResult = first;
            RedrawPickingPage();
            break;
        }
        case Kind::None: return false;
    }
    return true;
}

void ScreenController::ChooseLibraryTab(int group) {
    if (group < picking::kArticleGroup || group > picking::kGroupC) return;
    m_picking.tab = group;
    m_picking.firstTitle = 1;
    RedrawPickingPage();
}

void ScreenController::OpenConditionBoard(int position, const std::optional<picking::ParamRecord>& params) {
    const picking::ConditionCode code{m_picking.tab, data::ConditionAtPosition(m_picking.tab, position)};
    if (code.number == 0) return;
    m_picking.openGroup = code.group;
    m_picking.openPosition = position;
    m_picking.firstTitle = (position - 1) / kTitleRows * kTitleRows + 1;
    const picking::ParamRecord* memory = m_paramMemory.Find(code);
    const picking::ParamRecord values = params ? *params : memory ? *memory : picking::InitialParams(code);
    const picking::SettingBoard board = picking::BoardFromParams(code.group, position, values);
    HideBoardFields();
    for (const FieldPlace& place : BoardFieldPlaces(code)) {
        const int number = IdNumber(place.id) - IdNumber(ControlId::BoardFieldFirst);
        const picking::BoardField& field = board.fields[static_cast<size_t>(number / 2)];
        m_host.PlaceControl(place.id, place.x, place.y, place.width, place.height);
        m_host.SetText(place.id, number % 2 ? field.fraction : field.whole);
        m_host.ShowControl(place.id, true);
    }
    ShowConditionArticle(code);
    RedrawPickingPage();
}

bool ScreenController::OpenCondition(picking::ConditionCode code) {
    const int position = picking::ConditionPosition(code);
    if (position == 0) return false;
    m_picking.tab = code.group;
    OpenConditionBoard(position);
    return true;
}

// Picking a condition shows its article in the upper work area, with the
// example picture beside it.
void ScreenController::ShowConditionArticle(picking::ConditionCode code) {
    const std::string article =
        picking::ConditionArticle(code, m_market.examples.ForCondition(code.group, code.number));
    if (article.empty()) return;
    ShowArticle(article);
    DrawExamplePicture(code);
}

// An investment-idea article of the article list: no board goes with it.
void ScreenController::ShowIdeaArticle(int number) {
    const std::string article = picking::IdeaArticle(number);
    if (article.empty()) return;
    m_picking.openGroup = picking::kArticleGroup;
    m_picking.openPosition = number;
    HideBoardFields();
    ShowArticle(article);
    RedrawPickingPage();
}

void ScreenController::ShowArticle(const std::string& utf8) {
    SetScreenMode(ScreenMode::TextPage);
    m_helpTopic.reset();
    ClearUpperArea();
    ui::DrawPageFrame(m_canvas, ui::kHelpFrameLeft, ui::kHelpFrameTop, ui::kHelpFrameRight,
                      ui::kHelpFrameBottom, ui::kHelpFrameColour, ui::CodeEntryHint::Shown);
    m_lastTextLayout = kArticleLayout;
    ui::DrawMarkupText(m_canvas, base::Utf8ToGbk(utf8), m_lastTextLayout);
    ApplyStripMask();
    Invalidate(Invalidation::Page);
}

// MKDAT/mk<g><nnn>.jpg at its natural size; the path and "图片文件未找到"
// when there is none.
void ScreenController::DrawExamplePicture(picking::ConditionCode code) {
    const std::string path = picking::ExamplePicturePath(m_market.paths, code);
    if (m_host.DrawPicture(m_canvas, path, kPictureLeft, kPictureTop)) return;
    ui::DrawTextAt(m_canvas, 14, kPictureLeft, kPictureTop, ui::kBlack, base::Utf8ToGbk("图片文件未找到"));
    ui::DrawTextAt(m_canvas, 14, kPictureLeft, kPictureTop + 18, ui::kBlack, base::Utf8ToGbk(path));
}

void ScreenController::ToggleLibraryMarker(int position) {
    const int page = MarkerPageOf(m_picking.tab);
    if (page == 0) return;
    m_market.settings.ToggleMarker(page, position);
    RedrawPickingPage();
}

picking::SettingBoard ScreenController::ReadBoard() const {
    picking::SettingBoard board;
    board.group = m_picking.openGroup;
    board.position = m_picking.openPosition;
    for (size_t k = 0; k < picking::kRememberedParams; ++k) {
        board.fields[k].whole = m_host.Text(BoardFieldId(k, false));
        board.fields[k].fraction = m_host.Text(BoardFieldId(k, true));
    }
    return board;
}

// ---- the method list ------------------------------------------------------------------

void ScreenController::ChooseMethodRow(int row) {
    m_methods.SelectRow(row);
    RedrawPickingPage();
}

void ScreenController::EditMethods(StripCommand command) {
    if (m_pageKind != PageKind::Picking) return;
    base::Prompter& prompter = m_host.Prompter();
    const picking::SettingBoard board = ReadBoard();
    switch (command) {
        case StripCommand::MethodAppend:
            if (m_picking.OpenCondition().number) picking::AddMethod(m_methods, board, m_paramMemory, prompter);
            break;
        case StripCommand::MethodInsert:
            if (m_picking.OpenCondition().number) picking::InsertMethod(m_methods, board, m_paramMemory, prompter);
            break;
        case StripCommand::MethodConfirm:
            picking::ConfirmModify(m_methods, board, m_paramMemory, prompter);
            break;
        case StripCommand::MethodUp: picking::MoveMethodUp(m_methods, prompter); break;
        case StripCommand::MethodDown: picking::MoveMethodDown(m_methods, prompter); break;
        case StripCommand::MethodDelete: picking::DeleteMethod(m_methods, prompter); break;
        case StripCommand::MethodModify: ModifyChosenMethod(); break;
        default: return;
    }
    m_picking.modifying = m_methods.ModifyRow() != 0;
    RedrawPickingPage();
    m_host.FocusCodeBox();
}

// 条修改: the chosen entry's condition opens on its tab with the entry's values.
void ScreenController::ModifyChosenMethod() {
    const auto condition = picking::ModifyMethod(m_methods, m_host.Prompter());
    if (!condition) return;
    const int position = picking::ConditionPosition(condition->code);
    if (position == 0) return;
    m_picking.tab = condition->code.group;
    picking::ParamRecord values{};
    std::copy_n(condition->params.begin(), values.size(), values.begin());
    OpenConditionBoard(position, values);
}

// ---- 单步选股 ------------------------------------------------------------------------------

bool ScreenController::StartPicking() {
    if (m_run.Busy() || m_busy.load()) return false;
    base::Prompter& prompter = m_host.Prompter();
    if (m_methods.Count() == 0) {
        prompter.ShowMessage(std::string(kNoMethodMessage), std::string(kCaption));
        return false;
    }
    if (m_candidates.codes.empty()) {
        prompter.ShowMessage(std::string(kNoCandidatesMessage), std::string(kCaption));
        return false;
    }
    m_scanCodes = std::make_unique<data::CodeTable>(m_workspace.CodeTableRegion());
    picking::RunContext context;
    context.market = picking::MarketInputsOf(m_workspace, m_market, *m_scanCodes);
    context.condition = picking::ReadMethodEntry(m_methods.Entry(1));
    context.candidates = m_candidates.codes;
    context.cutoff = picking::SimulationCutoff(m_market.simulation);
    // a3 takes its bounds from the scan settings on the sector page.
    context.scan = {static_cast<int>(m_sectors.type), m_sectors.threshold};
    m_host.SetProgress(0);
    if (!m_run.Start(std::move(context), prompter)) return false;
    m_runKind = RunKind::Picking;
    m_picking.ranEntry = m_methods.Entry(1);
    m_busy = true;
    return true;
}

void ScreenController::FinishRun() {
    if (m_runKind == RunKind::Picking) FinishPicking();
    else FinishScan();
}

void ScreenController::FinishPicking() {
    auto outcome = m_run.Finish(m_host.Prompter());
    m_busy = false;
    m_runKind = RunKind::Scan;
    if (!outcome) return;
    if (outcome->progressToEnd) m_host.SetProgress(kProgressMaximum);
    m_picking.picked = outcome->results.selected;
    m_picking.referenceDate = outcome->results.referenceDate;
    m_picking.ran = true;
    m_picking.firstResult = 0;
    m_picking.chosenResult = -1;
    m_pickOverride = outcome->results.chartOverride;
    if (m_pageKind == PageKind::Picking) RedrawPickingPage();
}

// A picked stock opens with the lines its condition looked at.
void ScreenController::ChoosePickedResult(int index) {
    if (index < 0 || index >= static_cast<int>(m_picking.picked.size())) return;
    m_picking.chosenResult = index;
    RedrawPickingPage();
    const uint32_t code = m_picking.picked[static_cast<size_t>(index)];
    if (!data::DayFileExists(m_market.paths, code)) return;
    chart::OpenRequest request;
    if (m_pickOverride) {
        m_chart->Indicators().ApplyOverride(static_cast<int>(m_pickOverride->family), m_pickOverride->Values());
        request.fromResult = true;
    }
    OpenSecurity(code, request);
}

void ScreenController::SavePickedStocks() {
    const auto name = picking::ProposeResultsFileName(m_market.paths.root, m_market.todayShort);
    if (!name) {
        m_host.Prompter().ShowMessage("今日生成的选股文件太多，请先删除一些文件再保存。", std::string(kCaption));
        return;
    }
    std::vector<picking::ResultLine> lines;
    for (uint32_t code : m_picking.picked) lines.push_back({code, 0});
    data::CodeTable codes(m_workspace.CodeTableRegion());
    picking::SaveResultsFile(m_market.paths.root, *name, picking::ResultKind::Picked, lines, &codes,
                             m_host.Prompter());
}

}  // namespace screen
