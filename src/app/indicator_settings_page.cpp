#include "app/indicator_settings_page.h"

#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <array>
#include <string>

#include "app/qt_canvas.h"
#include "base/gbk.h"
#include "indicators/catalogue.h"
#include "ui/drawing.h"
#include "ui/fonts.h"

namespace app {
namespace {

using indicators::kLastIndicator;
using indicators::kObv;

constexpr int kPageWidth = 701;
constexpr int kPageHeight = 385;

constexpr int kTextFont = 12;
constexpr int kHeadingFont = 14;

constexpr std::string_view kHelpLine1 = "点取指标前的小方框，可使相应指标生效";
constexpr std::string_view kHelpLine2 =
    "“设置”——任意改变指标的参数设置。 “还原”——恢复软件启动时的标准设置。";
constexpr std::array<std::string_view, 3> kNoteLines = {"说明：", "可直接输入数值，或点击箭头调整,",
                                                        "完成后点击“确定”方可生效。"};
constexpr std::string_view kReturnCaption = "返回";

constexpr int kMargin = 8;
constexpr int kHelpX = 18;
constexpr int kHelpY1 = 10;
constexpr int kHelpY2 = 26;

// The list: rows 0..8 in the left column, 9..17 in the right one.
constexpr int kRowsPerColumn = 9;
constexpr std::array<int, 2> kColumnLeft = {18, 358};
constexpr int kListTop = 40;
constexpr int kRowTop = 45;
constexpr int kRowHeight = 20;
constexpr int kListBottom = kRowTop + kRowsPerColumn * kRowHeight + 4;
constexpr int kSquareSize = 15;
constexpr int kSquareDown = 2;     // from the row's top
constexpr int kRowTextRight = 21;  // text from the column's left edge
constexpr int kRowTextDown = 4;
// The row buttons sit at fixed places past the longest row text, so that the
// columns line up whatever values are in force ("00 价格均线MA(999,...)" is
// 34 columns wide).
constexpr int kRestoreRight = 236;
constexpr int kEditRight = 276;
constexpr int kRowButtonWidth = 36;
constexpr int kButtonHeight = 18;

// The edit area, under the list.
constexpr int kEditTop = kListBottom + 4;
constexpr int kEditBottom = kPageHeight - 5;
constexpr int kHeadingX = 24;
constexpr int kHeadingY = kEditTop + 6;
constexpr int kBoxLeft = 24;
constexpr int kBoxTop = kHeadingY + 18;
constexpr int kBoxWidth = 80;
constexpr int kBoxHeight = 19;
constexpr int kBoxStep = 20;
constexpr int kRangeTextX = kBoxLeft + kBoxWidth + 6;
constexpr int kConfirmGap = 3;  // between the last box and "确定"
constexpr int kConfirmWidth = 36;
constexpr int kNoteX = 250;

constexpr int kPageRight = 676;  // right edge of "返回" and "全部还原"
constexpr int kRestoreAllWidth = 64;
constexpr int kReturnWidth = 36;

// What each strip button asks for.
constexpr int kConfirmCommand = 1;
constexpr int kRestoreCommand = 100;  // + row
constexpr int kEditCommand = 200;     // + row
constexpr int kRestoreAllCommand = 300;

// Six digits: room to type a value past every range.
constexpr int kBoxLimit = 999999;

int RowTop(int index) {
    return kRowTop + (index % kRowsPerColumn) * kRowHeight;
}

int ColumnLeft(int index) {
    return kColumnLeft[static_cast<size_t>(index / kRowsPerColumn)];
}

int BoxTop(int slot) {
    return kBoxTop + slot * kBoxStep;
}

ui::ButtonRecord RowButton(int index, int offset, int command) {
    const int left = ColumnLeft(index) + offset;
    const int top = RowTop(index) + 1;
    return {true, left, top, left + kRowButtonWidth, top + kButtonHeight, command};
}

}  // namespace

ParamBox::ParamBox(indicators::ParamRange range, int value, QWidget* parent)
    : QSpinBox(parent), m_range(range) {
    setRange(0, kBoxLimit);
    setValue(value);
    setFont(QtCanvas::FontFor(*ui::FindFont(kTextFont)));
}

std::optional<int> ParamBox::TypedValue() const {
    bool ok = false;
    const int value = cleanText().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

void ParamBox::SetTyped(const QString& text) {
    lineEdit()->setText(text);
}

void ParamBox::stepBy(int steps) {
    // From whatever is typed, even out of range, into the range.
    const int current = TypedValue().value_or(m_range.min);
    const long long next = static_cast<long long>(current) + steps;
    setValue(static_cast<int>(std::clamp<long long>(next, m_range.min, m_range.max)));
}

QAbstractSpinBox::StepEnabled ParamBox::stepEnabled() const {
    const std::optional<int> value = TypedValue();
    StepEnabled enabled = StepNone;
    if (!value || *value != m_range.max) enabled |= StepUpEnabled;
    if (!value || *value != m_range.min) enabled |= StepDownEnabled;
    return enabled;
}

IndicatorSettingsPage::IndicatorSettingsPage(indicators::IndicatorState& state,
                                             base::Prompter& prompter, ui::Canvas& canvas,
                                             ui::ButtonStrip& strip, QWidget* host)
    : m_state(state), m_prompter(prompter), m_canvas(canvas), m_strip(strip), m_host(host) {
    m_strip.captions = base::Utf8ToGbk(ui::kSetupDialogCaptions);
    Draw();
}

IndicatorSettingsPage::~IndicatorSettingsPage() {
    ClearEditArea();
}

std::optional<int> IndicatorSettingsPage::RestoreButton(int index) {
    if (!indicators::IsIndicator(index) || index == kObv) return std::nullopt;
    return index < kObv ? index + 2 : index + 1;
}

std::optional<int> IndicatorSettingsPage::EditButton(int index) {
    const std::optional<int> restore = RestoreButton(index);
    if (!restore) return std::nullopt;
    return *restore + (kEmptySlotButton - 1);
}

PageRect IndicatorSettingsPage::SquareRect(int index) {
    const int left = ColumnLeft(index);
    const int top = RowTop(index) + kSquareDown;
    return {left, top, left + kSquareSize - 1, top + kSquareSize - 1};
}

PageRect IndicatorSettingsPage::ReturnRect() {
    return {kPageRight - kReturnWidth, kHelpY1, kPageRight, kHelpY1 + kButtonHeight};
}

void IndicatorSettingsPage::PlaceButtons() {
    // The strip's own mask covers 32 buttons, and this page has 37: the
    // visible flags are set here directly so that every row keeps its buttons.
    m_strip.buttons.assign(ui::kSetupDialogButtons, ui::ButtonRecord{});
    for (int index = 0; index <= kLastIndicator; ++index) {
        if (const auto n = RestoreButton(index))
            m_strip.buttons[static_cast<size_t>(*n - 1)] =
                RowButton(index, kRestoreRight, kRestoreCommand + index);
        if (const auto n = EditButton(index))
            m_strip.buttons[static_cast<size_t>(*n - 1)] =
                RowButton(index, kEditRight, kEditCommand + index);
    }
    // "确定" sits under the last box, or under where a first box would be.
    const int boxes = std::max(1, static_cast<int>(m_boxes.size()));
    const int confirmTop = BoxTop(boxes - 1) + kBoxHeight + kConfirmGap;
    m_strip.buttons[kConfirmButton - 1] = {
        true,           kBoxLeft, confirmTop, kBoxLeft + kConfirmWidth, confirmTop + kButtonHeight,
        kConfirmCommand};
    const int bottom = kEditBottom - 3;
    m_strip.buttons[kRestoreAllButton - 1] = {true,
                                              kPageRight - kRestoreAllWidth,
                                              bottom - kButtonHeight,
                                              kPageRight,
                                              bottom,
                                              kRestoreAllCommand};
}

void IndicatorSettingsPage::Draw() {
    PlaceButtons();
    ui::FillBox(m_canvas, 0, 0, kPageWidth, kPageHeight, ui::kPanelBeige);
    DrawGbk(m_canvas, kTextFont, kHelpX, kHelpY1, ui::kTextDarkBlue, kHelpLine1);
    DrawGbk(m_canvas, kTextFont, kHelpX, kHelpY2, ui::kTextDarkBlue, kHelpLine2);
    DrawReturnButton();

    ui::DrawSunkenPanelField(m_canvas, kMargin, kListTop, kPageWidth - kMargin, kListBottom,
                             ui::kTextDarkBlue);
    for (int index = 0; index <= kLastIndicator; ++index) DrawRow(index);

    ui::DrawSunkenPanelField(m_canvas, kMargin, kEditTop, kPageWidth - kMargin, kEditBottom,
                             ui::kTextDarkBlue);
    DrawEditArea();
    ui::DrawButtonStrip(m_canvas, m_strip);
}

void IndicatorSettingsPage::DrawRow(int index) {
    const int left = ColumnLeft(index);
    const int top = RowTop(index);
    if (index != indicators::kMa) DrawSquare(index);
    ui::DrawTextAt(m_canvas, kTextFont, left + kRowTextRight, top + kRowTextDown, ui::kTextDarkBlue,
                   base::Utf8ToGbk(indicators::RowText(index, m_state.Params(index))));
}

void IndicatorSettingsPage::DrawSquare(int index) {
    const PageRect r = SquareRect(index);
    ui::DrawBox(m_canvas, r.left, r.top, r.right + 1, r.bottom + 1, ui::kBlack, ui::kWhite);
    if (index != m_state.Selected()) return;
    // The tick: three strokes make the short arm, four the long one.
    const int x = r.left, y = r.top;
    for (int k = 0; k < 3; ++k)
        ui::DrawLine(m_canvas, x + 3, y + 6 + k, x + 6, y + 9 + k, ui::kBlack);
    for (int k = 0; k < 4; ++k)
        ui::DrawLine(m_canvas, x + 6, y + 8 + k, x + 12, y + 2 + k, ui::kBlack);
}

void IndicatorSettingsPage::DrawEditArea() {
    if (!m_edited) return;
    const int row = *m_edited;
    DrawGbk(m_canvas, kHeadingFont, kHeadingX, kHeadingY, ui::kTitleDarkRed,
            indicators::RowText(row, m_state.Params(row)));
    const indicators::IndicatorDefaults& defaults = indicators::DefaultsOf(row);
    for (size_t slot = 0; slot < m_boxes.size(); ++slot) {
        const indicators::ParamRange range = defaults.ranges[slot];
        const std::string text =
            "(" + std::to_string(range.min) + "-" + std::to_string(range.max) + ")";
        DrawGbk(m_canvas, kTextFont, kRangeTextX, BoxTop(static_cast<int>(slot)) + 4,
                ui::kTextDarkBlue, text);
    }
    for (size_t line = 0; line < kNoteLines.size(); ++line)
        DrawGbk(m_canvas, kTextFont, kNoteX, kBoxTop + 4 + static_cast<int>(line) * kBoxStep,
                line == 0 ? ui::kTitleDarkRed : ui::kTextDarkBlue, kNoteLines[line]);
}

void IndicatorSettingsPage::DrawReturnButton() {
    DrawPlainButton(m_canvas, ReturnRect(), kReturnCaption);
}

void IndicatorSettingsPage::ClearEditArea() {
    for (ParamBox* box : m_boxes) delete box;
    m_boxes.clear();
}

void IndicatorSettingsPage::BuildEditArea() {
    ClearEditArea();
    if (!m_edited) return;
    const int row = *m_edited;
    const indicators::IndicatorDefaults& defaults = indicators::DefaultsOf(row);
    const indicators::IndicatorParams& params = m_state.Params(row);
    for (int slot = 0; slot < indicators::ParamCount(row); ++slot) {
        auto* box = new ParamBox(defaults.ranges[static_cast<size_t>(slot)],
                                 params.values[static_cast<size_t>(slot)], m_host);
        box->setGeometry(kBoxLeft, BoxTop(slot), kBoxWidth, kBoxHeight);
        box->show();
        m_boxes.push_back(box);
    }
}

void IndicatorSettingsPage::Refresh() {
    Draw();
    if (m_host) m_host->update();
}

PageClick IndicatorSettingsPage::Click(int x, int y) {
    if (const auto button = ui::ButtonAt(m_strip, x, y)) {
        const int command = m_strip.buttons[static_cast<size_t>(*button - 1)].command;
        if (command == kConfirmCommand) {
            Confirm();
        } else if (command == kRestoreAllCommand) {
            RestoreAll();
        } else if (command >= kEditCommand && command <= kEditCommand + kLastIndicator) {
            Edit(command - kEditCommand);
        } else if (command >= kRestoreCommand && command <= kRestoreCommand + kLastIndicator) {
            Restore(command - kRestoreCommand);
        }
        return PageClick::Stay;
    }
    if (ReturnRect().Holds(x, y)) return PageClick::Close;
    for (int index = indicators::kFirstPanelIndicator; index <= kLastIndicator; ++index)
        if (SquareRect(index).Holds(x, y)) Choose(index);
    return PageClick::Stay;
}

void IndicatorSettingsPage::Choose(int index) {
    if (m_state.Select(index)) Refresh();
}

void IndicatorSettingsPage::Edit(int index) {
    if (indicators::ParamCount(index) == 0) return;
    m_edited = index;
    BuildEditArea();
    Refresh();
}

void IndicatorSettingsPage::Confirm() {
    if (!m_edited) return;
    std::vector<int32_t> values;
    bool numbers = true;
    for (const ParamBox* box : m_boxes) {
        const std::optional<int> value = box->TypedValue();
        // An empty box is no value at all: refused like one out of range.
        if (!value) numbers = false;
        values.push_back(value.value_or(0));
    }
    if (!numbers || m_state.SetValues(*m_edited, values) != indicators::SetValuesResult::Applied) {
        m_prompter.ShowMessage(std::string(indicators::kOutOfRangeMessage),
                               std::string(indicators::kOutOfRangeCaption));
        return;
    }
    Refresh();
}

void IndicatorSettingsPage::Restore(int index) {
    if (indicators::ParamCount(index) == 0) return;
    m_state.RestoreStandard(index);
    if (m_edited == index) BuildEditArea();
    Refresh();
}

void IndicatorSettingsPage::RestoreAll() {
    m_state.RestoreAll();
    if (m_edited) BuildEditArea();
    Refresh();
}

}  // namespace app
