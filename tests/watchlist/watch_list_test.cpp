// The watch list without a window: adding with its refusals, the limit, the
// page rule of the chosen row, moves and deletes, and the files.
#include "watchlist/watch_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>

#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "support/fixture_market.h"
#include "support/kill_while_writing.h"
#include "watchlist/watch_file.h"

namespace {

using base::PromptRecord;
using watchlist::ListBoxState;
using watchlist::PageRule;
using watchlist::WatchList;

std::vector<std::string> Texts(const base::RecordingPrompter& prompter) {
    std::vector<std::string> texts;
    for (const auto& r : prompter.Messages()) texts.push_back(r.text);
    return texts;
}

std::vector<uint32_t> Codes(uint32_t first, size_t count) {
    std::vector<uint32_t> codes(count);
    std::iota(codes.begin(), codes.end(), first);
    return codes;
}

TEST(WatchList, NewStocksGoOnTopAndIndicesAndRepeatsAreRefused) {
    WatchList list;
    base::RecordingPrompter prompter;
    EXPECT_FALSE(list.AddOpenStock(0, prompter));  // nothing open: nothing said
    EXPECT_TRUE(prompter.records.empty());
    for (uint32_t index : {999999u, 399001u, 399106u, 999998u})
        EXPECT_FALSE(list.AddOpenStock(index, prompter)) << index;
    EXPECT_EQ(Texts(prompter), std::vector<std::string>(4, "大盘指数无法加入自选股"));
    EXPECT_EQ(prompter.Messages()[0].caption, "提示");

    prompter.records.clear();
    EXPECT_TRUE(list.AddOpenStock(600000, prompter));
    EXPECT_TRUE(list.AddOpenStock(1, prompter));
    EXPECT_FALSE(list.AddOpenStock(600000, prompter));
    EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{1, 600000}));
    EXPECT_EQ(list.RowCount(), 4);

    // From the picked list: nothing chosen is said, and there is no index test.
    EXPECT_FALSE(list.AddPickedStock(std::nullopt, prompter));
    EXPECT_TRUE(list.AddPickedStock(399001, prompter));
    EXPECT_FALSE(list.AddPickedStock(1, prompter));
    EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{399001, 1, 600000}));
    EXPECT_EQ(Texts(prompter),
              (std::vector<std::string>{"该股已在自选股中", "请先在“选出股”中点取股票，再开始加入自选",
                                        "该股已在自选股中"}));
}

TEST(WatchList, AddingIsRefusedOnlyPastThreeThousand) {
    WatchList list(Codes(100, 3000));
    base::RecordingPrompter prompter;
    EXPECT_TRUE(list.AddOpenStock(600000, prompter));
    EXPECT_EQ(list.Count(), 3001u);
    EXPECT_FALSE(list.AddOpenStock(600001, prompter));
    EXPECT_FALSE(list.AddPickedStock(600002, prompter));
    EXPECT_FALSE(list.AddPickedStock(std::nullopt, prompter));  // the limit is said first
    EXPECT_EQ(Texts(prompter), std::vector<std::string>(3, "自选股个数超限，可先删除后再添加"));
    EXPECT_EQ(list.Count(), 3001u);
}

TEST(WatchList, TheChosenRowMustLieOnTheVisiblePage) {
    base::RecordingPrompter prompter;
    EXPECT_EQ(WatchList().ChosenStock({0, 0}, PageRule::VisiblePage, prompter), std::nullopt);
    EXPECT_TRUE(prompter.records.empty());  // an empty list does nothing

    const WatchList list(Codes(1, 20));
    // A name row counts as its stock's code row.
    EXPECT_EQ(list.ChosenStock({3, 0}, PageRule::VisiblePage, prompter), 1u);
    EXPECT_EQ(list.ChosenStock({17, 0}, PageRule::VisiblePage, prompter), 8u);
    EXPECT_EQ(list.ChosenStock({20, 4}, PageRule::VisiblePage, prompter), 10u);
    EXPECT_TRUE(prompter.records.empty());
    // No selection, a row past the list, a row scrolled out of view.
    EXPECT_EQ(list.ChosenStock({-1, 0}, PageRule::VisiblePage, prompter), std::nullopt);
    EXPECT_EQ(list.ChosenStock({40, 30}, PageRule::VisiblePage, prompter), std::nullopt);
    EXPECT_EQ(list.ChosenStock({18, 0}, PageRule::VisiblePage, prompter), std::nullopt);
    EXPECT_EQ(list.ChosenStock({3, 4}, PageRule::VisiblePage, prompter), std::nullopt);
    ASSERT_EQ(prompter.Messages().size(), 4u);
    for (const auto& m : prompter.Messages())
        EXPECT_EQ(m, (PromptRecord{PromptRecord::Kind::Message, "请先在自选股中选取股票", ""}));
    // A double click needs no page.
    EXPECT_EQ(list.ChosenStock({18, 0}, PageRule::Anywhere, prompter), 9u);
}

TEST(WatchList, MovesAndDeletesFollowTheSelection) {
    base::RecordingPrompter prompter;
    WatchList list({1, 2, 3});
    EXPECT_EQ(list.MoveUp({0, 0}, prompter), std::nullopt);  // the top stock stays
    EXPECT_EQ(list.MoveDown({5, 0}, prompter), std::nullopt);  // so does the last
    EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(list.MoveDown({1, 0}, prompter), 3);  // the name row moves with its stock
    EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{2, 1, 3}));
    EXPECT_EQ(list.MoveUp({4, 0}, prompter), 2);
    EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{2, 3, 1}));
    EXPECT_TRUE(prompter.records.empty());

    // Deleting keeps the row, or goes to the previous stock after the last one.
    EXPECT_EQ(list.DeleteChosen({2, 0}, prompter), 2);
    EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{2, 1}));
    EXPECT_EQ(list.DeleteChosen({3, 0}, prompter), 1);
    EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{2}));
    EXPECT_EQ(list.MoveUp({0, 0}, prompter), std::nullopt);  // one stock never moves
    EXPECT_EQ(list.DeleteChosen({0, 0}, prompter), 0);
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.DeleteChosen({0, 0}, prompter), std::nullopt);
    EXPECT_TRUE(prompter.records.empty());

    // Without a chosen row nothing moves and the user is told.
    WatchList two({7, 8});
    EXPECT_EQ(two.MoveDown({-1, 0}, prompter), std::nullopt);
    EXPECT_EQ(two.DeleteChosen({30, 0}, prompter), std::nullopt);
    EXPECT_EQ(Texts(prompter), std::vector<std::string>(2, "请先在自选股中选取股票"));
    EXPECT_EQ(two.Codes(), (std::vector<uint32_t>{7, 8}));
}

TEST(WatchList, EightStocksFromTheChosenOneOrTheTopOfThePage) {
    base::RecordingPrompter prompter;
    const WatchList list(Codes(1, 12));
    EXPECT_EQ(list.EightFrom({3, 0}, prompter), Codes(2, 8));
    EXPECT_EQ(list.EightFrom({21, 6}, prompter), Codes(11, 2));  // fewer at the end
    EXPECT_EQ(list.EightFrom({1, 8}, prompter), Codes(5, 8));     // off the page: its top
    EXPECT_TRUE(prompter.records.empty());
    EXPECT_EQ(list.EightFrom({-1, 0}, prompter), std::nullopt);
    EXPECT_EQ(Texts(prompter), std::vector<std::string>{"请先在自选股中选取股票"});
}

// ---- files ------------------------------------------------------------------

data::CodeTable Table(std::vector<uint32_t>& words) {
    const std::vector<data::CodeEntry> entries = {{1, fixture::Gbk("平安银行"), "PAYH", 1, 1},
                                                  {600000, fixture::Gbk("浦发银行"), "PFYH", 1, 1}};
    const auto bytes = data::EncodeCodeTable(20240101, entries);
    words.resize(bytes.size() / 4);
    std::memcpy(words.data(), bytes.data(), bytes.size());
    return data::CodeTable(words);
}

std::string ReadText(const std::string& path) {
    auto bytes = base::ReadWholeFile(path, 1 << 20);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    ASSERT_TRUE(base::FileExists(path));
}

// A market to save into, its code table, and a prompter that answers Yes.
struct SaveSetup {
    SaveSetup() { prompter.defaultAnswer = true; }
    fixture::FixtureMarket market;
    std::vector<uint32_t> words;
    const data::CodeTable table = Table(words);
    base::RecordingPrompter prompter;
};

TEST(WatchFile, SavedListsLoadBackTheSame) {
    SaveSetup setup;
    const data::DataPaths& paths = setup.market.Paths();
    const data::CodeTable& table = setup.table;
    base::RecordingPrompter& prompter = setup.prompter;
    const WatchList list({600000, 123, 1});

    // No XG folder yet: saving makes it.
    EXPECT_EQ(watchlist::SaveWatchList(WatchList(), paths, "130101", table, prompter), std::nullopt);
    EXPECT_TRUE(prompter.records.empty());  // an empty list does nothing
    const auto first = watchlist::SaveWatchList(list, paths, "130101", table, prompter);
    ASSERT_EQ(first, paths.listFolder + "ZX130101-001.TXT");
    EXPECT_EQ(prompter.records.at(0),
              (PromptRecord{PromptRecord::Kind::Question,
                            "将自选股以文件名：ZX130101-001.TXT保存(在当前文件夹的\\XG中，以日期命名)",
                            "提示"}));
    EXPECT_EQ(ReadText(*first), fixture::Gbk("擎宇软件自选股共3个:\r\n600000 浦发银行\r\n"
                                             "000123 股票名称\r\n000001 平安银行\r\n"));
    EXPECT_EQ(watchlist::SaveWatchList(list, paths, "130101", table, prompter),
              paths.listFolder + "ZX130101-002.TXT");

    WatchList loaded({5});
    prompter.records.clear();
    ASSERT_EQ(watchlist::LoadWatchFile(loaded, *first, prompter), watchlist::LoadOutcome::Loaded);
    EXPECT_EQ(loaded.Codes(), list.Codes());
    EXPECT_EQ(prompter.records.at(0).text, "当前自选股将被覆盖，是否继续？");

    // Through the dialog, which starts in the XG folder; No keeps the list.
    prompter.records.clear();
    prompter.files = {*first};
    WatchList mine({5});
    prompter.answers = {false};
    EXPECT_EQ(watchlist::LoadWatchList(mine, paths, prompter), watchlist::LoadOutcome::Cancelled);
    EXPECT_EQ(mine.Codes(), std::vector<uint32_t>{5});
    ASSERT_EQ(watchlist::LoadWatchList(mine, paths, prompter), watchlist::LoadOutcome::Loaded);
    EXPECT_EQ(mine.Codes(), list.Codes());
    EXPECT_EQ(prompter.records.back().text, paths.listFolder + "*.TXT");
}

// Saves killed at any moment: each save makes a new file, and every file
// the folder then holds is a whole list (temporaries are ours to remove at
// the next start, and never named like a list file).
TEST(WatchFile, SavesKilledAtAnyMomentLeaveOnlyWholeFiles) {
    SaveSetup setup;
    const data::DataPaths& paths = setup.market.Paths();
    const data::CodeTable& table = setup.table;
    base::RecordingPrompter& prompter = setup.prompter;
    std::vector<uint32_t> longCodes(watchlist::kWatchLimit);
    std::iota(longCodes.begin(), longCodes.end(), 600000u);
    const WatchList longList(longCodes), shortList({600000, 1});
    fixture::KillWhileWriting(
        [&](uint32_t round) {
            prompter.records.clear();
            (void)watchlist::SaveWatchList(round % 2 ? shortList : longList, paths, "130101", table,
                                           prompter);
        },
        [&](unsigned seed) {
            std::error_code none;  // the first kill may come before the folder is made
            for (const auto& entry : std::filesystem::directory_iterator(paths.listFolder, none)) {
                const std::string name = entry.path().filename().string();
                if (base::IsTemporaryName(name)) continue;
                const auto codes = watchlist::ReadWatchFile(entry.path().string());
                ASSERT_TRUE(codes.has_value()) << name << ", seed " << seed;
                EXPECT_TRUE(*codes == longCodes || *codes == shortList.Codes()) << name;
            }
        },
        10);
}

TEST(WatchFile, SerialsRunToNineHundredNinetyNine) {
    fixture::FixtureMarket market;
    const data::DataPaths& paths = market.Paths();
    ASSERT_TRUE(base::MakeFolders(paths.listFolder).ok());
    for (int n = 1; n <= 9; ++n) WriteText(paths.listFolder + "ZX130101-00" + std::to_string(n) + ".TXT", "x");
    EXPECT_EQ(watchlist::FreeWatchFileName(paths, "130101"), "ZX130101-010.TXT");
    EXPECT_EQ(watchlist::FreeWatchFileName(paths, "130102"), "ZX130102-001.TXT");

    char name[32];
    for (int n = 10; n <= 999; ++n) {
        std::snprintf(name, sizeof name, "ZX130101-%03d.TXT", n);
        WriteText(paths.listFolder + name, "x");
    }
    EXPECT_EQ(watchlist::FreeWatchFileName(paths, "130101"), std::nullopt);
    std::vector<uint32_t> words;
    base::RecordingPrompter prompter;
    prompter.defaultAnswer = true;
    EXPECT_EQ(watchlist::SaveWatchList(WatchList({1}), paths, "130101", Table(words), prompter),
              std::nullopt);
    EXPECT_EQ(Texts(prompter),
              std::vector<std::string>{"今日生成的自选股文件太多，请先删除一些文件再保存。"});
    // A list folder that cannot be made: the save says so.
    market.WriteRaw("XG2", std::vector<uint8_t>{1});
    data::DataPaths blocked = paths;
    blocked.listFolder = market.Root() + "/XG2/";
    prompter.records.clear();
    EXPECT_EQ(watchlist::SaveWatchList(WatchList({1}), blocked, "130101", Table(words), prompter),
              std::nullopt);
    EXPECT_EQ(Texts(prompter), std::vector<std::string>{"保存自选股文件失败,可能\\XG目录被删除。"});
}

TEST(WatchFile, DamagedFilesAreRefusedAndTheListKept) {
    fixture::FixtureMarket market;
    const std::string dir = market.Root();
    base::RecordingPrompter prompter;
    prompter.defaultAnswer = true;
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"short.TXT", fixture::Gbk("擎宇软件自选股共5个:\r\n600000 浦发银行\r\n000001\r\n600004\r\n")},
        {"other.TXT", fixture::Gbk("自选股共1个:\r\n600000 浦发银行\r\n")},
        {"empty.TXT", ""},
    };
    for (const auto& [name, text] : damaged) {
        WriteText(dir + "/" + name, text);
        WatchList list({7, 8});
        prompter.records.clear();
        EXPECT_EQ(watchlist::LoadWatchFile(list, dir + "/" + name, prompter),
                  watchlist::LoadOutcome::Refused)
            << name;
        EXPECT_EQ(list.Codes(), (std::vector<uint32_t>{7, 8})) << name;
        EXPECT_EQ(Texts(prompter), std::vector<std::string>{"非擎宇自选股文件，或者文件已被破坏。"});
    }

    // A file listing 3,001 stocks loads the first 3,000, in file order.
    std::string text = fixture::Gbk("擎宇软件自选股共3001个:");
    for (uint32_t code = 1; code <= 3001; ++code) text += "\r\n" + data::CodeText(code) + " x";
    WriteText(dir + "/big.TXT", text + "\r\n");
    WatchList list;
    EXPECT_EQ(watchlist::LoadWatchFile(list, dir + "/big.TXT", prompter), watchlist::LoadOutcome::Loaded);
    EXPECT_EQ(list.Codes(), Codes(1, 3000));
}

TEST(WatchList, ListBoxRowsAndCaption) {
    std::vector<uint32_t> words;
    const data::CodeTable table = Table(words);
    EXPECT_EQ(watchlist::ListBoxLines({600000, 123}, table),
              (std::vector<std::string>{"600000", fixture::Gbk("浦发银行"), "000123",
                                        fixture::Gbk("股票名称")}));
    EXPECT_TRUE(watchlist::ListBoxLines({}, table).empty());
    EXPECT_EQ(watchlist::CaptionText(0), "自选股(0)");
    EXPECT_EQ(watchlist::CaptionText(3001), "自选股(3001)");
}

}  // namespace
