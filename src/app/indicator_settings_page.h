// The indicator selection and settings page of CSetupDlg: the eighteen rows
// with their values in force, the tick squares that choose the lower-panel
// indicator, and an edit area that changes one row's parameters. Colours are
// never edited here. The page draws on the dialog's canvas and strip; only the
// edit boxes are real widgets, so that typing works as in any edit box.
#pragma once

#include <QSpinBox>
#include <optional>
#include <vector>

#include "app/page_parts.h"
#include "base/prompter.h"
#include "indicators/indicator_state.h"
#include "ui/button_strip.h"
#include "ui/canvas.h"

class QWidget;

namespace app {

// One parameter's edit box with its arrows. The arrows stay inside the
// parameter's range, but any number of up to six digits can be typed, so that
// "确定" is the one place a value is judged.
class ParamBox : public QSpinBox {
public:
    ParamBox(indicators::ParamRange range, int value, QWidget* parent);

    indicators::ParamRange Range() const { return m_range; }
    // What the box holds now, typed or stepped; nothing when it is not a number.
    std::optional<int> TypedValue() const;
    void SetTyped(const QString& text);  // as if the user had typed it

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    indicators::ParamRange m_range;
};


class IndicatorSettingsPage {
public:
    // Draws on `canvas` (the dialog's, 701 x 385) and owns the buttons of
    // `strip`; the edit boxes are children of `host`, which is repainted after
    // every change.
    IndicatorSettingsPage(indicators::IndicatorState& state, base::Prompter& prompter,
                          ui::Canvas& canvas, ui::ButtonStrip& strip, QWidget* host);
    ~IndicatorSettingsPage();
    IndicatorSettingsPage(const IndicatorSettingsPage&) = delete;
    IndicatorSettingsPage& operator=(const IndicatorSettingsPage&) = delete;

    void Draw();
    // A left click in the dialog: a strip button, "返回" or a square.
    PageClick Click(int x, int y);

    // What the buttons do.
    void Choose(int index);   // the square of row `index`
    void Edit(int index);     // "设置"
    void Confirm();           // "确定"
    void Restore(int index);  // "还原"
    void RestoreAll();        // "全部还原"

    std::optional<int> EditedRow() const { return m_edited; }
    const std::vector<ParamBox*>& Boxes() const { return m_boxes; }

    // Where things are, for the dialog's clicks and for tests.
    static PageRect SquareRect(int index);  // rows 1..17
    static PageRect ReturnRect();
    // Strip button numbers: "还原" and "设置" of a row (none for OBV), "确定"
    // and "全部还原".
    static std::optional<int> RestoreButton(int index);
    static std::optional<int> EditButton(int index);
    static constexpr int kConfirmButton = 1;
    static constexpr int kEmptySlotButton = 19;
    static constexpr int kRestoreAllButton = 37;

private:
    void PlaceButtons();
    void BuildEditArea();
    void ClearEditArea();
    void DrawRow(int index);
    void DrawSquare(int index);
    void DrawEditArea();
    void DrawReturnButton();
    void Refresh();

    indicators::IndicatorState& m_state;
    base::Prompter& m_prompter;
    ui::Canvas& m_canvas;
    ui::ButtonStrip& m_strip;
    QWidget* m_host;
    std::optional<int> m_edited;  // the row being edited, while the page is open
    std::vector<ParamBox*> m_boxes;
};

}  // namespace app
