#include "app/weights_editor_page.h"

#include <array>
#include <string>
#include <string_view>

#include "base/gbk.h"
#include "ui/button_strip.h"
#include "ui/drawing.h"
#include "ui/fonts.h"

namespace app {
namespace {

using sectors::EstimateSide;
using sectors::kFactorCount;

constexpr int kPageWidth = 516;
constexpr int kPageHeight = 403;

constexpr int kTextFont = 12;
constexpr int kTitleFont = 14;
constexpr ui::Rgb kBackground{217, 234, 255};
constexpr ui::Rgb kArrowBlue{0, 0, 255};

constexpr std::array<std::string_view, 3> kExplanation = {
    "本方法将短期顶部、底部的各种成因和表象精确量化，并辅以不同权重，",
    "从而可以对短期顶部、底部进行较为准确和科学的预判。也可以调整权重，使",
    "个股有不同侧重。",
};
// The two spaces after "可点击" hold a small pair of arrows.
constexpr std::string_view kHint = "（可点击  调整权重，点击“确定”才生效）";
constexpr std::string_view kHintLead = "（可点击";
constexpr std::string_view kTopTitle = "形成顶部各因素权重";
constexpr std::string_view kBottomTitle = "形成底部各因素权重";
constexpr std::string_view kConfirmCaption = "确定";
constexpr std::string_view kReturnCaption = "返回";

// The explanation box.
constexpr PageRect kExplanationBox{12, 10, 504, 76};
constexpr int kTextX = 24;
constexpr int kTextTop = 20;
constexpr int kLineStep = 18;
constexpr int kHintY = 86;

// The panels: top factors on the left, bottom factors on the right.
constexpr int kPanelTop = 106;
constexpr int kPanelBottom = 350;
constexpr std::array<int, 2> kPanelLeft = {12, 262};
constexpr int kPanelWidth = 242;
constexpr int kTitleDown = 10;
constexpr int kFirstRowDown = 36;  // row 0's top from the panel's top
constexpr int kRowStep = 26;
constexpr int kRowHeight = 20;
constexpr int kCaptionRight = 12;  // from the panel's left edge
constexpr int kValueRight = 122;
constexpr int kValueWidth = 38;
constexpr int kUpRight = 172;
constexpr int kDownRight = 196;
constexpr int kArrowWidth = 16;
constexpr int kArrowSize = 6;
constexpr int kConfirmDown = 206;
constexpr int kConfirmWidth = 60;
constexpr int kConfirmHeight = 24;

constexpr PageRect kReturn{kPageWidth - 82, kPageHeight - 36, kPageWidth - 22, kPageHeight - 14};

int SideIndex(EstimateSide side) {
    return side == EstimateSide::Top ? 0 : 1;
}

int RowTop(int row) {
    return kPanelTop + kFirstRowDown + row * kRowStep;
}

int TextWidth(int sizeCode, std::string_view utf8) {
    return ui::TextWidth(*ui::FindFont(sizeCode), base::Utf8ToGbk(utf8));
}

// Centred in the rectangle on the fixed-pitch grid.
void DrawCentred(ui::Canvas& canvas, int sizeCode, const PageRect& r, ui::Rgb colour,
                 std::string_view utf8) {
    const int x = r.left + (r.right - r.left - TextWidth(sizeCode, utf8)) / 2;
    const int y = r.top + (r.bottom - r.top - ui::FindFont(sizeCode)->pixelHeight) / 2;
    DrawGbk(canvas, sizeCode, x, y, colour, utf8);
}

}  // namespace

WeightsEditorPage::WeightsEditorPage(sectors::FactorWeights& top, sectors::FactorWeights& bottom,
                                     ui::Canvas& canvas)
    : m_liveTop(top), m_liveBottom(bottom), m_editTop(top), m_editBottom(bottom), m_canvas(canvas) {
    Draw();
}

PageRect WeightsEditorPage::PanelRect(EstimateSide side) {
    const int left = kPanelLeft[static_cast<size_t>(SideIndex(side))];
    return {left, kPanelTop, left + kPanelWidth, kPanelBottom};
}

PageRect WeightsEditorPage::ValueRect(EstimateSide side, int row) {
    const int left = PanelRect(side).left + kValueRight;
    return {left, RowTop(row), left + kValueWidth, RowTop(row) + kRowHeight};
}

PageRect WeightsEditorPage::UpArrowRect(EstimateSide side, int factor) {
    const int left = PanelRect(side).left + kUpRight;
    return {left, RowTop(factor), left + kArrowWidth, RowTop(factor) + kRowHeight};
}

PageRect WeightsEditorPage::DownArrowRect(EstimateSide side, int factor) {
    const int left = PanelRect(side).left + kDownRight;
    return {left, RowTop(factor), left + kArrowWidth, RowTop(factor) + kRowHeight};
}

PageRect WeightsEditorPage::ConfirmRect(EstimateSide side) {
    const PageRect panel = PanelRect(side);
    const int left = panel.CentreX() - kConfirmWidth / 2;
    const int top = panel.top + kConfirmDown;
    return {left, top, left + kConfirmWidth, top + kConfirmHeight};
}

PageRect WeightsEditorPage::ReturnRect() {
    return kReturn;
}

sectors::FactorWeights& WeightsEditorPage::Live(EstimateSide side) {
    return side == EstimateSide::Top ? m_liveTop : m_liveBottom;
}

sectors::FactorWeights& WeightsEditorPage::Editor(EstimateSide side) {
    return side == EstimateSide::Top ? m_editTop : m_editBottom;
}

const sectors::FactorWeights& WeightsEditorPage::EditorValues(EstimateSide side) const {
    return side == EstimateSide::Top ? m_editTop : m_editBottom;
}

void WeightsEditorPage::Draw() {
    ui::FillBox(m_canvas, 0, 0, kPageWidth, kPageHeight, kBackground);
    const PageRect& box = kExplanationBox;
    ui::DrawRoundBox(m_canvas, box.left, box.top, box.right, box.bottom, ui::kTextDarkBlue,
                     ui::kWhite);
    for (size_t line = 0; line < kExplanation.size(); ++line)
        DrawGbk(m_canvas, kTextFont, kTextX, kTextTop + static_cast<int>(line) * kLineStep,
                ui::kTextDarkBlue, kExplanation[line]);

    const int hintX = (kPageWidth - TextWidth(kTextFont, kHint)) / 2;
    DrawGbk(m_canvas, kTextFont, hintX, kHintY, ui::kTextDarkBlue, kHint);
    const int gapCentre = hintX + TextWidth(kTextFont, kHintLead) + ui::HalfAdvance(kTextFont);
    ui::DrawTriangleUp(m_canvas, gapCentre, kHintY, 5, kArrowBlue);
    ui::DrawTriangleDown(m_canvas, gapCentre, kHintY + 11, 5, kArrowBlue);

    DrawPanel(EstimateSide::Top);
    DrawPanel(EstimateSide::Bottom);
    DrawPlainButton(m_canvas, kReturn, kReturnCaption);
}

void WeightsEditorPage::DrawPanel(EstimateSide side) {
    const PageRect panel = PanelRect(side);
    ui::DrawRoundBox(m_canvas, panel.left, panel.top, panel.right, panel.bottom, ui::kTextDarkBlue,
                     ui::kWhite);
    const PageRect titleLine{panel.left, panel.top + kTitleDown, panel.right,
                             panel.top + kTitleDown + ui::FindFont(kTitleFont)->pixelHeight};
    DrawCentred(m_canvas, kTitleFont, titleLine, ui::kTitleDarkRed,
                side == EstimateSide::Top ? kTopTitle : kBottomTitle);

    for (int row = 0; row <= kFactorCount; ++row)
        DrawGbk(m_canvas, kTextFont, panel.left + kCaptionRight, RowTop(row) + 4, ui::kTextDarkBlue,
                sectors::FactorCaption(side, row));
    for (int factor = 0; factor < kFactorCount; ++factor) {
        const PageRect up = UpArrowRect(side, factor);
        const PageRect down = DownArrowRect(side, factor);
        ui::DrawTriangleUp(m_canvas, up.CentreX(), up.top + 4, kArrowSize, kArrowBlue);
        ui::DrawTriangleDown(m_canvas, down.CentreX(), down.bottom - 5, kArrowSize, kArrowBlue);
    }
    DrawValues(side);

    const PageRect confirm = ConfirmRect(side);
    ui::DrawRoundBoxSmall(m_canvas, confirm.left, confirm.top, confirm.right, confirm.bottom,
                          ui::kHighlightFill, ui::kHighlightFill);
    DrawCentred(m_canvas, kTextFont, confirm, ui::kWhite, kConfirmCaption);
}

void WeightsEditorPage::DrawValues(EstimateSide side) {
    const sectors::FactorWeights& values = Editor(side);
    for (int row = 0; row <= kFactorCount; ++row) {
        const PageRect field = ValueRect(side, row);
        ui::DrawSunkenField(m_canvas, field.left, field.top, field.right, field.bottom,
                            ui::kTextDarkBlue);
        const int value =
            row < kFactorCount ? values[static_cast<size_t>(row)] : sectors::kOtherFactorsWeight;
        DrawCentred(m_canvas, kTextFont, {field.left + 2, field.top + 2, field.right, field.bottom},
                    ui::kTextDarkBlue, std::to_string(value));
    }
}

void WeightsEditorPage::StepUp(EstimateSide side, int factor) {
    int& value = Editor(side)[static_cast<size_t>(factor)];
    value = sectors::WeightUp(value);
    DrawValues(side);
}

void WeightsEditorPage::StepDown(EstimateSide side, int factor) {
    int& value = Editor(side)[static_cast<size_t>(factor)];
    value = sectors::WeightDown(value);
    DrawValues(side);
}

void WeightsEditorPage::Confirm(EstimateSide side) {
    const sectors::FactorWeights confirmed = sectors::ConfirmWeights(Editor(side), Live(side));
    Editor(side) = confirmed;
    Live(side) = confirmed;
    DrawValues(side);
}

PageClick WeightsEditorPage::Click(int x, int y) {
    if (kReturn.Holds(x, y)) return PageClick::Close;
    for (const EstimateSide side : {EstimateSide::Top, EstimateSide::Bottom}) {
        if (ConfirmRect(side).Holds(x, y)) {
            Confirm(side);
            return PageClick::Stay;
        }
        for (int factor = 0; factor < kFactorCount; ++factor) {
            if (UpArrowRect(side, factor).Holds(x, y)) StepUp(side, factor);
            if (DownArrowRect(side, factor).Holds(x, y)) StepDown(side, factor);
        }
    }
    return PageClick::Stay;
}

}  // namespace app
