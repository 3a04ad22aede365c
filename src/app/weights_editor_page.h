// The weights page of CSetupDlg: the five weights of the top estimate and of
// the bottom estimate, each stepped with its arrows and put in force with its
// panel's "确定". The page edits copies; only "确定" changes the live weights
// the estimate buttons use, and those live in memory for the run only.
#pragma once

#include "app/page_parts.h"
#include "sectors/estimate.h"
#include "ui/canvas.h"

namespace app {

class WeightsEditorPage {
public:
    // Draws on `canvas` (the dialog's, 516 x 403); `top` and `bottom` are the
    // live weights and change only on a panel's "确定".
    WeightsEditorPage(sectors::FactorWeights& top, sectors::FactorWeights& bottom,
                      ui::Canvas& canvas);

    void Draw();
    // A left click in the dialog: an arrow, a "确定" or "返回".
    PageClick Click(int x, int y);

    void StepUp(sectors::EstimateSide side, int factor);
    void StepDown(sectors::EstimateSide side, int factor);
    void Confirm(sectors::EstimateSide side);

    const sectors::FactorWeights& EditorValues(sectors::EstimateSide side) const;

    // Where things are, for the clicks and for tests; factor 0..4.
    static PageRect PanelRect(sectors::EstimateSide side);
    static PageRect ValueRect(sectors::EstimateSide side, int row);  // row 0..5
    static PageRect UpArrowRect(sectors::EstimateSide side, int factor);
    static PageRect DownArrowRect(sectors::EstimateSide side, int factor);
    static PageRect ConfirmRect(sectors::EstimateSide side);
    static PageRect ReturnRect();

private:
    sectors::FactorWeights& Live(sectors::EstimateSide side);
    sectors::FactorWeights& Editor(sectors::EstimateSide side);
    void DrawPanel(sectors::EstimateSide side);
    void DrawValues(sectors::EstimateSide side);

    sectors::FactorWeights& m_liveTop;
    sectors::FactorWeights& m_liveBottom;
    sectors::FactorWeights m_editTop;
    sectors::FactorWeights m_editBottom;
    ui::Canvas& m_canvas;
};

}  // namespace app
