#include "app/indicator_settings_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/setup_dialog.h"
#include "base/gbk.h"
#include "base/recording_prompter.h"
#include "indicators/catalogue.h"
#include "indicators/indicator_state.h"
#include "ui/recording_canvas.h"

namespace {

using app::IndicatorSettingsPage;
using app::PageRect;
using indicators::IndicatorState;

constexpr int kMacd = indicators::kMacd;

// The page on a recording canvas, so that texts can be asserted as drawn.
struct PageHarness {
    IndicatorState state;
    base::RecordingPrompter prompter;
    ui::RecordingCanvas canvas;
    ui::ButtonStrip strip;
    QWidget host;
    std::unique_ptr<IndicatorSettingsPage> page;

    PageHarness() { Open(); }
    void Open() {
        page = std::make_unique<IndicatorSettingsPage>(state, prompter, canvas, strip, &host);
    }

    PageRect Button(int number) const {
        const ui::ButtonRecord& b = strip.buttons.at(static_cast<size_t>(number - 1));
        return {b.left, b.top, b.right, b.bottom};
    }
    void Click(const PageRect& r) { page->Click(r.CentreX(), r.CentreY()); }
    void ClickEdit(int index) { Click(Button(*IndicatorSettingsPage::EditButton(index))); }
    void ClickRestore(int index) { Click(Button(*IndicatorSettingsPage::RestoreButton(index))); }
    void ClickConfirm() { Click(Button(IndicatorSettingsPage::kConfirmButton)); }

    void Type(const std::vector<QString>& texts) {
        const auto& boxes = page->Boxes();
        ASSERT_EQ(boxes.size(), texts.size());
        for (size_t i = 0; i < texts.size(); ++i) boxes[i]->SetTyped(texts[i]);
    }
    std::vector<int> Values(int index) const {
        const int count = indicators::ParamCount(index);
        const auto& values = state.Params(index).values;
        return {values.begin(), values.begin() + count};
    }
    std::vector<QString> BoxTexts() const {
        std::vector<QString> texts;
        for (const app::ParamBox* box : page->Boxes()) texts.push_back(box->cleanText());
        return texts;
    }
    // Texts drawn since the last Clear, UTF-8.
    std::vector<std::string> Drawn() const {
        std::vector<std::string> texts;
        for (const ui::DrawCall& call : canvas.Texts()) texts.push_back(call.utf8);
        return texts;
    }
    bool DrewText(const std::string& text) const { return canvas.FindText(text).has_value(); }
};

std::string Caption(const ui::ButtonStrip& strip, int number) {
    return base::GbkToUtf8(ui::ButtonCaption(strip, number));
}

TEST(IndicatorSettingsPage, EveryRowButOnlyObvHasRestoreAndEditButtons) {
    PageHarness h;
    ASSERT_EQ(h.strip.Count(), 37);
    EXPECT_EQ(Caption(h.strip, IndicatorSettingsPage::kConfirmButton), "确定");
    EXPECT_EQ(Caption(h.strip, IndicatorSettingsPage::kRestoreAllButton), "全部还原");
    EXPECT_FALSE(h.strip.buttons[IndicatorSettingsPage::kEmptySlotButton - 1].visible);
    EXPECT_EQ(Caption(h.strip, IndicatorSettingsPage::kEmptySlotButton), "");
    int visible = 0;
    for (const ui::ButtonRecord& b : h.strip.buttons) visible += b.visible ? 1 : 0;
    // All but the empty slot, the five past the 32 mask bits included.
    EXPECT_EQ(visible, 36);

    for (int index = 0; index <= indicators::kLastIndicator; ++index) {
        const auto restore = IndicatorSettingsPage::RestoreButton(index);
        const auto edit = IndicatorSettingsPage::EditButton(index);
        if (index == indicators::kObv) {
            EXPECT_FALSE(restore.has_value());
            EXPECT_FALSE(edit.has_value());
            continue;
        }
        ASSERT_TRUE(restore && edit) << index;
        EXPECT_EQ(Caption(h.strip, *restore), "还原") << index;
        EXPECT_EQ(Caption(h.strip, *edit), "设置") << index;
        // Both sit on the row of their indicator, beside its square.
        const PageRect square = IndicatorSettingsPage::SquareRect(index);
        for (int n : {*restore, *edit}) {
            const PageRect b = h.Button(n);
            EXPECT_TRUE(h.strip.buttons[static_cast<size_t>(n - 1)].visible) << index;
            EXPECT_LE(b.top, square.top) << index;
            EXPECT_GE(b.bottom, square.bottom) << index;
            EXPECT_GT(b.left, square.right) << index;
            EXPECT_LT(b.left - square.right, 320) << index;
        }
    }
    // The rows run 0..8 down the left column and 9..17 down the right one.
    EXPECT_EQ(IndicatorSettingsPage::SquareRect(9).top, IndicatorSettingsPage::SquareRect(0).top);
    EXPECT_GT(IndicatorSettingsPage::SquareRect(9).left,
              IndicatorSettingsPage::SquareRect(8).right);
    EXPECT_GT(IndicatorSettingsPage::SquareRect(8).top, IndicatorSettingsPage::SquareRect(7).top);
}

TEST(IndicatorSettingsPage, ObvRowShowsItsNameOnlyAndItsButtonPlacesDoNothing) {
    PageHarness h;
    EXPECT_TRUE(h.DrewText("13 能量潮OBV"));
    EXPECT_TRUE(h.DrewText("04 平滑异同MACD(12,26,9)"));
    EXPECT_TRUE(h.DrewText("00 价格均线MA(5,10,20,30,60)"));
    for (const std::string& text : h.Drawn()) {
        if (text.starts_with("13 ")) {
            EXPECT_EQ(text.find('('), std::string::npos) << text;
        }
    }

    // Where OBV's buttons would be: the places of its neighbour's, one row up.
    const int rowStep =
        IndicatorSettingsPage::SquareRect(14).top - IndicatorSettingsPage::SquareRect(13).top;
    for (int n :
         {*IndicatorSettingsPage::RestoreButton(14), *IndicatorSettingsPage::EditButton(14)}) {
        PageRect r = h.Button(n);
        r.top -= rowStep;
        r.bottom -= rowStep;
        h.Click(r);
    }
    EXPECT_FALSE(h.page->EditedRow().has_value());
    EXPECT_TRUE(h.page->Boxes().empty());
    EXPECT_TRUE(h.prompter.records.empty());
}

TEST(IndicatorSettingsPage, SquaresSelectTheIndicatorAndCarryTheTick) {
    IndicatorState state;
    base::RecordingPrompter prompter;
    app::CSetupDlg dialog(QPoint(0, 0), state, prompter, nullptr);
    ASSERT_NE(dialog.IndicatorPage(), nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral(" 指标选取及设置"));
    const QImage& image = dialog.Canvas().Image();

    // Black pixels inside a square, its border left out.
    auto tickPixels = [&](int index) {
        const PageRect r = IndicatorSettingsPage::SquareRect(index);
        int count = 0;
        for (int y = r.top + 1; y < r.bottom; ++y)
            for (int x = r.left + 1; x < r.right; ++x) count += image.pixel(x, y) == qRgb(0, 0, 0);
        return count;
    };
    auto click = [&](int x, int y) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &press);
    };

    EXPECT_GT(tickPixels(indicators::kVol), 10);
    EXPECT_EQ(tickPixels(indicators::kBoll), 0);

    const PageRect boll = IndicatorSettingsPage::SquareRect(indicators::kBoll);
    click(boll.right, boll.bottom);  // the square's corner still counts
    EXPECT_EQ(state.Selected(), indicators::kBoll);
    EXPECT_EQ(state.Remembered(), indicators::kBoll);
    EXPECT_GT(tickPixels(indicators::kBoll), 10);
    EXPECT_EQ(tickPixels(indicators::kVol), 0);

    // Beside a square, and where MA would have one, nothing is chosen.
    click(boll.right + 2, boll.CentreY());
    const PageRect maPlace = IndicatorSettingsPage::SquareRect(indicators::kMa);
    click(maPlace.CentreX(), maPlace.CentreY());
    EXPECT_EQ(state.Selected(), indicators::kBoll);

    const PageRect dma = IndicatorSettingsPage::SquareRect(indicators::kDma);
    click(dma.CentreX(), dma.CentreY());
    EXPECT_EQ(state.Selected(), indicators::kDma);
    EXPECT_FALSE(dialog.IndicatorPage()->EditedRow().has_value());
    EXPECT_TRUE(prompter.records.empty());

    // "返回" closes the page.
    const PageRect back = IndicatorSettingsPage::ReturnRect();
    click(back.CentreX(), back.CentreY());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(IndicatorSettingsPage, EditShowsOneBoxPerParameterWithRangesAndConfirmBelow) {
    PageHarness h;
    h.ClickEdit(kMacd);
    ASSERT_EQ(h.page->EditedRow(), kMacd);
    ASSERT_EQ(h.page->Boxes().size(), 3u);
    EXPECT_EQ(h.BoxTexts(), (std::vector<QString>{"12", "26", "9"}));
    const std::array<indicators::ParamRange, 3> ranges = {{{5, 40}, {20, 100}, {2, 60}}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(h.page->Boxes()[i]->Range().min, ranges[i].min);
        EXPECT_EQ(h.page->Boxes()[i]->Range().max, ranges[i].max);
    }
    EXPECT_TRUE(h.DrewText("(5-40)"));
    EXPECT_TRUE(h.DrewText("(20-100)"));
    EXPECT_TRUE(h.DrewText("(2-60)"));
    EXPECT_TRUE(h.DrewText("说明："));
    EXPECT_TRUE(h.DrewText("可直接输入数值，或点击箭头调整,"));
    EXPECT_TRUE(h.DrewText("完成后点击“确定”方可生效。"));

    // One above the other, and "确定" under the last one.
    int lastBottom = 0;
    for (const app::ParamBox* box : h.page->Boxes()) {
        EXPECT_GT(box->geometry().top(), lastBottom);
        lastBottom = box->geometry().bottom();
    }
    const PageRect confirm = h.Button(IndicatorSettingsPage::kConfirmButton);
    EXPECT_GT(confirm.top, lastBottom);
    EXPECT_LT(confirm.bottom, 385);

    // MA needs five boxes and still fits the dialog; CCI then has one.
    h.ClickEdit(indicators::kMa);
    ASSERT_EQ(h.page->Boxes().size(), 5u);
    EXPECT_GT(h.Button(IndicatorSettingsPage::kConfirmButton).top,
              h.page->Boxes().back()->geometry().bottom());
    EXPECT_LT(h.Button(IndicatorSettingsPage::kConfirmButton).bottom, 385);
    h.ClickEdit(indicators::kCci);
    ASSERT_EQ(h.page->Boxes().size(), 1u);
    EXPECT_EQ(h.host.findChildren<app::ParamBox*>().size(), 1);
}

TEST(IndicatorSettingsPage, ConfirmAppliesValuesInsideTheRangeEdgesIncluded) {
    PageHarness h;
    h.ClickEdit(kMacd);
    h.Type({"40", "20", "2"});
    h.canvas.Clear();
    h.ClickConfirm();
    EXPECT_TRUE(h.prompter.records.empty());
    EXPECT_EQ(h.Values(kMacd), (std::vector<int>{40, 20, 2}));
    // The new text in the heading and in the list: drawn twice.
    int shown = 0;
    for (const std::string& text : h.Drawn()) shown += text == "04 平滑异同MACD(40,20,2)";
    EXPECT_EQ(shown, 2);
    EXPECT_FALSE(h.DrewText("04 平滑异同MACD(12,26,9)"));
    // Colours stay what they were.
    EXPECT_EQ(h.state.Params(kMacd).colours, indicators::StandardParams(kMacd).colours);
}

TEST(IndicatorSettingsPage, OutOfRangeValueIsRefusedAndNothingChanges) {
    const std::vector<std::vector<QString>> refused = {
        {"41", "26", "9"},   // first past its top
        {"4", "26", "9"},    // first under its bottom
        {"12", "26", "61"},  // only the last is wrong
        {"12", "", "9"},     // an empty box is no value
    };
    for (const auto& typed : refused) {
        PageHarness h;
        h.ClickEdit(kMacd);
        h.Type(typed);
        h.ClickConfirm();
        ASSERT_EQ(h.prompter.records.size(), 1u) << typed[0].toStdString();
        EXPECT_EQ(h.prompter.records[0], (base::PromptRecord{base::PromptRecord::Kind::Message,
                                                             "输入的值超出范围", "提示"}));
        EXPECT_EQ(h.Values(kMacd), (std::vector<int>{12, 26, 9}));
        EXPECT_EQ(h.BoxTexts(), typed);  // the boxes keep what was typed
        EXPECT_EQ(h.page->EditedRow(), kMacd);
    }
}

TEST(IndicatorSettingsPage, ConfirmWithNoRowBeingEditedDoesNothing) {
    PageHarness h;
    ASSERT_TRUE(h.strip.buttons[IndicatorSettingsPage::kConfirmButton - 1].visible);
    h.ClickConfirm();
    EXPECT_TRUE(h.prompter.records.empty());
    for (int index = 0; index <= indicators::kLastIndicator; ++index)
        EXPECT_EQ(h.state.Params(index), indicators::StandardParams(index)) << index;
}

TEST(IndicatorSettingsPage, MovingAveragesAcceptZeroLengthsButNotAThousand) {
    PageHarness h;
    h.ClickEdit(indicators::kMa);
    h.Type({"0", "0", "999", "0", "0"});
    h.ClickConfirm();
    EXPECT_TRUE(h.prompter.records.empty());
    EXPECT_EQ(h.Values(indicators::kMa), (std::vector<int>{0, 0, 999, 0, 0}));
    EXPECT_TRUE(h.DrewText("00 价格均线MA(0,0,999,0,0)"));

    h.Type({"0", "0", "1000", "0", "0"});
    h.ClickConfirm();
    EXPECT_EQ(h.prompter.Messages().size(), 1u);
    EXPECT_EQ(h.Values(indicators::kMa), (std::vector<int>{0, 0, 999, 0, 0}));
}

TEST(IndicatorSettingsPage, RestoreBringsBackTheCatalogueValuesNotThoseAtOpening) {
    PageHarness h;
    // Values in force before the page opened.
    const std::array<int32_t, 3> before = {20, 50, 10};
    ASSERT_EQ(h.state.SetValues(kMacd, before), indicators::SetValuesResult::Applied);
    h.Open();
    EXPECT_TRUE(h.DrewText("04 平滑异同MACD(20,50,10)"));

    h.ClickEdit(kMacd);
    EXPECT_EQ(h.BoxTexts(), (std::vector<QString>{"20", "50", "10"}));
    h.Type({"30", "50", "10"});
    h.ClickConfirm();
    ASSERT_EQ(h.Values(kMacd), (std::vector<int>{30, 50, 10}));

    h.canvas.Clear();
    h.ClickRestore(kMacd);
    EXPECT_EQ(h.Values(kMacd), (std::vector<int>{12, 26, 9}));
    // The row being edited is rebuilt with the standard values.
    EXPECT_EQ(h.BoxTexts(), (std::vector<QString>{"12", "26", "9"}));
    EXPECT_TRUE(h.DrewText("04 平滑异同MACD(12,26,9)"));
    EXPECT_EQ(h.page->EditedRow(), kMacd);
}

TEST(IndicatorSettingsPage, RestoreOfAnotherRowLeavesTheBoxesAsTyped) {
    PageHarness h;
    const std::array<int32_t, 1> cci = {30};
    ASSERT_EQ(h.state.SetValues(indicators::kCci, cci), indicators::SetValuesResult::Applied);
    h.ClickEdit(indicators::kRsi);
    h.Type({"7", "14", "28"});
    h.ClickRestore(indicators::kCci);
    EXPECT_EQ(h.Values(indicators::kCci), (std::vector<int>{14}));
    EXPECT_EQ(h.BoxTexts(), (std::vector<QString>{"7", "14", "28"}));
    EXPECT_EQ(h.Values(indicators::kRsi), (std::vector<int>{6, 12, 24}));  // not confirmed
}

TEST(IndicatorSettingsPage, RestoreAllResetsEveryRowAndRebuildsTheEditArea) {
    PageHarness h;
    h.state.AdjustColoursFor(indicators::Backdrop::Light);
    const IndicatorState themed = h.state;
    h.state.Select(indicators::kCr);
    for (int index : {int(indicators::kMa), int(indicators::kVol), int(indicators::kDma)}) {
        std::vector<int32_t> values(static_cast<size_t>(indicators::ParamCount(index)));
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = indicators::DefaultsOf(index).ranges[i].max;
        ASSERT_EQ(h.state.SetValues(index, values), indicators::SetValuesResult::Applied);
    }
    h.Open();
    h.ClickEdit(indicators::kDma);
    h.Type({"5", "", "999"});

    h.Click(h.Button(IndicatorSettingsPage::kRestoreAllButton));
    for (int index = 0; index <= indicators::kLastIndicator; ++index)
        EXPECT_EQ(h.state.Params(index), themed.Params(index)) << index;  // colours kept too
    EXPECT_EQ(h.BoxTexts(), (std::vector<QString>{"10", "50", "10"}));
    EXPECT_EQ(h.state.Selected(), indicators::kCr);
    EXPECT_TRUE(h.prompter.records.empty());
}

TEST(ParamBox, ArrowsStayInTheRangeWhileTypingMayLeaveIt) {
    QWidget host;
    app::ParamBox box({5, 40}, 39, &host);
    box.stepBy(1);
    box.stepBy(1);
    EXPECT_EQ(box.TypedValue(), 40);

    // Typed key by key, through the box's own validation.
    auto* edit = box.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    for (QChar c : QStringLiteral("1000")) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &key);
    }
    EXPECT_EQ(box.TypedValue(), 1000);
    box.stepBy(-1);  // back into the range from above
    EXPECT_EQ(box.TypedValue(), 40);

    box.SetTyped("0");
    box.stepBy(1);  // from below
    EXPECT_EQ(box.TypedValue(), 5);
    box.stepBy(-3);
    EXPECT_EQ(box.TypedValue(), 5);
}

}  // namespace
