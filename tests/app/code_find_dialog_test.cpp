#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/code_find_dialog.h"
#include "app/main_window.h"
#include "screen/controls.h"
#include "base/endian.h"
#include "base/recording_prompter.h"
#include "support/fixture_market.h"

namespace {

std::vector<uint32_t> TableWords(const std::vector<data::CodeEntry>& entries) {
    auto bytes = data::EncodeCodeTable(20260101, entries);
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = base::ReadU32(bytes.data() + 4 * i);
    return words;
}

const std::vector<data::CodeEntry> kCodes = {
    {1, fixture::Gbk("平安银行"), "PAYH", 1, 1},
    {600000, fixture::Gbk("浦发银行"), "PFYH", 1, 1},
    {600015, fixture::Gbk("华夏银行"), "HXYH", 1, 1},
    {600519, fixture::Gbk("贵州茅台"), "GZMT", 1, 1}};

TEST(CodeFindDialog, KeepsTheFirstCharacterAndFillsTheList) {
    auto words = TableWords(kCodes);
    data::CodeTable table(words);
    base::RecordingPrompter prompter;
    app::CCodeFindDlg finder(table, "60", prompter, nullptr);
    EXPECT_EQ(finder.windowTitle(), QStringLiteral("股票代码查找"));
    EXPECT_EQ(finder.Edit()->text(), QStringLiteral("6"));
    ASSERT_EQ(finder.List()->count(), 3);
    EXPECT_EQ(finder.List()->item(0)->text(), QStringLiteral("600000 浦发银行"));

    finder.Edit()->setText(QStringLiteral("v"));  // indicators first, then stocks
    ASSERT_EQ(finder.List()->count(), 3);
    EXPECT_EQ(finder.List()->item(2)->text(), QStringLiteral("VR 容量比率"));
    finder.List()->setCurrentRow(2);
    finder.TakeLine(data::FinderTrigger::OkOrEnter);
    EXPECT_EQ(finder.result(), QDialog::Accepted);
    EXPECT_EQ(finder.ChosenIndicator(), 15);
    EXPECT_EQ(finder.ChosenCode(), 0u);
    EXPECT_TRUE(prompter.records.empty());
}

TEST(CodeFindDialog, MoreThanOneLineNeedsASelection) {
    auto words = TableWords(kCodes);
    data::CodeTable table(words);
    base::RecordingPrompter prompter;
    app::CCodeFindDlg finder(table, "6", prompter, nullptr);
    finder.List()->setCurrentRow(-1);
    finder.TakeLine(data::FinderTrigger::OkOrEnter);
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text, "请先选取股票或指标");
    EXPECT_EQ(prompter.records[0].caption, "");
    EXPECT_EQ(finder.ChosenCode(), 0u);

    finder.Edit()->setText(QStringLiteral("gz"));  // one line: taken without a selection
    finder.TakeLine(data::FinderTrigger::OkOrEnter);
    EXPECT_EQ(finder.ChosenCode(), 600519u);
    finder.reject();
    EXPECT_EQ(finder.ChosenCode(), 0u);
}

TEST(CodeFindDialog, TypingADigitInTheCodeBoxOpensTheFinderWithIt) {
    fixture::FixtureMarket market;
    market.WriteCodeTable(20260101, kCodes);
    std::vector<uint32_t> closes(20, 300000);
    market.WriteDayFile(999999, fixture::FlatBars(20260105, closes));
    base::RecordingPrompter prompter;
    app::CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    window.show();

    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* finder = qobject_cast<app::CCodeFindDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(finder, nullptr);
        seen << finder->Edit()->text();
        for (int i = 0; i < finder->List()->count(); ++i) seen << finder->List()->item(i)->text();
        finder->List()->setCurrentRow(2);
        finder->accept();
    });
    auto* codeBox = static_cast<QLineEdit*>(window.Control(screen::ControlId::CodeBox));
    codeBox->setFocus();
    codeBox->insert(QStringLiteral("6"));  // as typed: textEdited fires
    Q_EMIT codeBox->textEdited(codeBox->text());
    ASSERT_EQ(seen.size(), 4);
    EXPECT_EQ(seen[0], QStringLiteral("6"));
    EXPECT_EQ(seen[3], QStringLiteral("600519 贵州茅台"));
    EXPECT_EQ(window.Controller().LastFinderCode(), 600519u);
    EXPECT_TRUE(codeBox->text().isEmpty());
}

}  // namespace
