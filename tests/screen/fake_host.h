// The screen controller's host without a window system: control values kept
// as plain values, dialogs answered from a script, every call recorded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/recording_prompter.h"
#include "screen/host.h"

namespace screentest {

class FakeHost : public screen::ScreenHost {
public:
    FakeHost() {
        // The edit boxes start with their texts from the control table.
        for (const screen::ControlSpec& control : screen::kControlSpecs)
            if (control.kind == screen::ControlKind::Edit) texts[control.id] = std::string(control.caption);
    }

    base::Prompter& Prompter() override { return prompter; }
    std::string Text(screen::ControlId id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(screen::ControlId id, const std::string& utf8) override { texts[id] = utf8; }
    void Check(screen::ControlId id) override { checked.push_back(id); }
    void SetScrollBar(screen::ControlId id, screen::ScrollBarState state) override {
        scrollBars[id] = state;
    }
    void SetProgress(int value) override { progress = value; }
    int Progress() const override { return progress; }
    // A new list clears the selection, as a list box does.
    void ShowWatchList(const std::vector<std::string>& lines) override {
        watchLines = lines;
        watchBox.selectedRow = -1;
    }
    watchlist::ListBoxState WatchListBox() const override { return watchBox; }
    void SelectWatchRow(int row) override { watchBox.selectedRow = row; }
    void ShowSimulationControls(bool active, const std::string& date) override {
        simulationActive = active;
        simulationDate = date;
    }
    void FocusCodeBox() override { ++focusCount; }
    void ShowControl(screen::ControlId id, bool visible) override { shown[id] = visible; }
    bool DrawPicture(ui::Canvas&, const std::string& path, int, int) override {
        pictures.push_back(path);
        return false;
    }
    void PlaceControl(screen::ControlId id, int x, int y, int width, int height) override {
        places[id] = {id, x, y, width, height};
    }
    screen::FinderChoice RunCodeFinder(const data::CodeTable&, const std::string& typed) override {
        finderTexts.push_back(typed);
        return finderChoice;
    }
    void RunIndicatorSettings(indicators::IndicatorState&) override { ++indicatorSettingsRuns; }
    void RunWeightsEditor(sectors::FactorWeights& top, sectors::FactorWeights&) override {
        ++weightsRuns;
        if (editWeights) editWeights(top);
    }
    screen::DataChanges RunDataPage(screen::DataPage page, data::Workspace&, data::MarketState& market,
                                    std::atomic<bool>& busy) override {
        dataPages.push_back(page);
        busyDuringDataPage = busy.load();
        screen::DataChanges changes = screen::DataChanges::From(market);
        if (dataPageWork) changes = dataPageWork(market);
        return changes;
    }

    base::RecordingPrompter prompter;
    std::map<screen::ControlId, std::string> texts;
    std::vector<screen::ControlId> checked;
    std::map<screen::ControlId, screen::ScrollBarState> scrollBars;
    int progress = 0;
    std::vector<std::string> watchLines;
    watchlist::ListBoxState watchBox;
    bool simulationActive = false;
    std::string simulationDate;
    int focusCount = 0;
    std::map<screen::ControlId, bool> shown;
    std::map<screen::ControlId, screen::ControlPlace> places;
    std::vector<std::string> pictures;
    std::vector<std::string> finderTexts;
    screen::FinderChoice finderChoice;
    int indicatorSettingsRuns = 0;
    int weightsRuns = 0;
    std::function<void(sectors::FactorWeights&)> editWeights;
    std::vector<screen::DataPage> dataPages;
    bool busyDuringDataPage = false;
    // What a data page does to the data on disk, and what it reports.
    std::function<screen::DataChanges(data::MarketState&)> dataPageWork;
};

}  // namespace screentest
