// The picking page (page kind 2) in the lower half of the window: the method
// library in three tabs with its markers, the open condition's setting board,
// the method list, the candidate sets with 单步选股, and the stocks the run
// picked. Plain drawing on the canvas and hit testing; the controller runs
// what a click asks for.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/code_table.h"
#include "data/settings.h"
#include "picking/candidates.h"
#include "picking/catalogue.h"
#include "picking/method_list.h"
#include "screen/controls.h"
#include "screen/events.h"
#include "ui/button_strip.h"
#include "ui/canvas.h"

namespace screen {

inline constexpr int kTitleRows = 12;   // library titles per page
inline constexpr int kResultRows = 10;  // picked stocks per page

// What the page shows besides the method list. The controller holds it and
// is the only one to change it.
struct PickingView {
    int tab = picking::kGroupA;  // the library tab: group a, b or c, or 1 for the articles
    int firstTitle = 1;          // display position of the first title row
    int openGroup = picking::kGroupA;  // the tab of what is open: the board or an article
    int openPosition = 0;              // its display position, 0 for none
    bool modifying = false;      // the board edits a list entry (确认修改)
    std::optional<picking::CandidateMarket> market;
    size_t candidateCount = 0;
    std::string listFileName;
    std::vector<uint32_t> picked;  // the last run's selection
    bool ran = false;              // a run has finished since the page opened
    uint32_t referenceDate = 0;
    std::string ranEntry;          // the entry the last run evaluated
    int firstResult = 0;
    int chosenResult = -1;

    picking::ConditionCode OpenCondition() const;
};

// What a click on the page asks for.
struct PickingPageClick {
    enum class Kind {
        None,
        ChooseTab,      // value: group
        ChooseTitle,    // value: display position
        ToggleMarker,   // value: display position
        TitlePage,      // value: -1 or +1
        ChooseMethod,   // value: visible row 1..7
        ChooseMarket,   // value: the set button 2..5
        LoadList,       // 载入
        ChooseResult,   // value: index into the picked stocks
        ResultPage,     // value: -1 or +1
    };
    Kind kind = Kind::None;
    int value = 0;
};

// The lower half of the picking page, whole.
void DrawPickingPage(ui::Canvas& canvas, const PickingView& view, const picking::MethodList& methods,
                     const data::Settings& settings, const data::CodeTable& codes);
void DrawLibrary(ui::Canvas& canvas, const PickingView& view, const data::Settings& settings);
void DrawBoard(ui::Canvas& canvas, const PickingView& view);
void DrawMethodList(ui::Canvas& canvas, const picking::MethodList& methods);
void DrawPickedStocks(ui::Canvas& canvas, const PickingView& view, const data::CodeTable& codes);

PickingPageClick HitTestPickingPage(const PickingView& view, const picking::MethodList& methods,
                                    int x, int y);

// The method-library marker page of a tab: 1 for the article list, 2 for 初级,
// 3 for 中级, 0 for 高级 (which keeps no markers).
int MarkerPageOf(int group);
// Titles in a tab: the shown conditions of a group, or the ten articles.
int LibraryTitleCount(int group);

// The board's input fields: two per parameter (whole part, two-digit fraction).
inline constexpr int kBoardFieldCount = 2 * static_cast<int>(picking::kRememberedParams);
ControlId BoardFieldId(size_t param, bool fraction);

// Where each field of the open board lies; fields the board does not use are
// absent.
struct FieldPlace {
    ControlId id;
    int x, y, width, height;
};
std::vector<FieldPlace> BoardFieldPlaces(picking::ConditionCode code);

// The main strip with the picking page's own buttons: 条件选股 on the home
// page; 返回板块, 单步选股, 保存, 确认修改 and 加入 on the picking page, where
// the method-list buttons sit beside the list.
ui::ButtonStrip PageStrip(PageKind page);
uint32_t PageStripMask(PageKind page);

}  // namespace screen
