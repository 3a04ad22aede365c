// What the screen controller needs from the window system it runs in: the
// values of the child controls, the modal dialogs and the prompter. The Qt
// window implements it; tests implement it with plain values.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "indicators/indicator_state.h"
#include "screen/controls.h"
#include "screen/data_changes.h"
#include "sectors/estimate.h"
#include "ui/canvas.h"
#include "watchlist/watch_list.h"

namespace screen {

// A list's scroll bar: pages 0..pages-1, shown only with more than one page.
struct ScrollBarState {
    int pages = 0;
    int page = 0;
};

// What the code finder handed back: a code, an indicator, or neither (0).
struct FinderChoice {
    uint32_t code = 0;
    int indicator = 0;
};

// The auxiliary dialog's data pages.
enum class DataPage { Download, Install };

class ScreenHost {
public:
    virtual ~ScreenHost() = default;

    virtual base::Prompter& Prompter() = 0;

    // Edit boxes (UTF-8).
    virtual std::string Text(ControlId id) const = 0;
    virtual void SetText(ControlId id, const std::string& utf8) = 0;
    // Checks a radio button (its group's others go off).
    virtual void Check(ControlId id) = 0;
    virtual void SetScrollBar(ControlId id, ScrollBarState state) = 0;
    // The progress bar, 0..200.
    virtual void SetProgress(int value) = 0;
    virtual int Progress() const = 0;
    // The watch-list box: its lines, two per stock (code, then name), UTF-8.
    virtual void ShowWatchList(const std::vector<std::string>& lines) = 0;
    // Its selected row and first visible row.
    virtual watchlist::ListBoxState WatchListBox() const = 0;
    // Selects a row and brings it into view.
    virtual void SelectWatchRow(int row) = 0;
    // The simulation bar's controls: 进入模拟 alone, or the others with the date.
    virtual void ShowSimulationControls(bool active, const std::string& date) = 0;
    virtual void FocusCodeBox() = 0;
    // A control that belongs to one screen only, shown or hidden.
    virtual void ShowControl(ControlId id, bool visible) = 0;
    // Draws a picture file (JPEG) on the canvas at its natural size with its
    // top-left corner at (x, y); false when the file cannot be opened.
    virtual bool DrawPicture(ui::Canvas& canvas, const std::string& path, int x, int y) = 0;
    // Moves a control (the setting board's fields) to a rectangle in canvas pixels.
    virtual void PlaceControl(ControlId id, int x, int y, int width, int height) = 0;

    // The modal dialogs; each returns when the user has closed it.
    virtual FinderChoice RunCodeFinder(const data::CodeTable& codes, const std::string& typed) = 0;
    virtual void RunIndicatorSettings(indicators::IndicatorState& indicators) = 0;
    virtual void RunWeightsEditor(sectors::FactorWeights& top, sectors::FactorWeights& bottom) = 0;
    // The data pages work on the market's tables; they refuse to start while
    // `busy` is set and hold it while they run.
    virtual DataChanges RunDataPage(DataPage page, data::Workspace& workspace,
                                    data::MarketState& market, std::atomic<bool>& busy) = 0;
};

}  // namespace screen
