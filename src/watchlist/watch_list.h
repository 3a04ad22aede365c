// The watch list (自选股): the user's own stocks, shown in a list box of two
// rows per stock (the six-digit code, then the name). New stocks go in at the
// top; the operations that act on a chosen stock read the list box's
// selection and visible page. The window and the command line share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/prompter.h"
#include "data/code_table.h"

namespace watchlist {

// Adding is refused only once the list holds more than this; loading reads no more.
inline constexpr size_t kWatchLimit = 3'000;
inline constexpr int kRowsPerStock = 2;
// The list box shows nine stocks at a time.
inline constexpr int kPageRows = 18;
// How many stocks the small-chart page shows.
inline constexpr size_t kEightStocks = 8;

inline constexpr std::string_view kCaption = "提示";
inline constexpr std::string_view kTooManyStocks = "自选股个数超限，可先删除后再添加";
inline constexpr std::string_view kIndexRefused = "大盘指数无法加入自选股";
inline constexpr std::string_view kAlreadyListed = "该股已在自选股中";
inline constexpr std::string_view kNoPickedStock = "请先在“选出股”中点取股票，再开始加入自选";
inline constexpr std::string_view kChooseStockFirst = "请先在自选股中选取股票";

// Where the list box stands: the selected row (-1 for none) and the first
// visible row.
struct ListBoxState {
    int selectedRow = -1;
    int topRow = 0;
};

// Whether a chosen row must lie on the visible page (the buttons) or may lie
// anywhere (a double click, which can only hit a row on screen).
enum class PageRule { VisiblePage, Anywhere };

class WatchList {
public:
    WatchList() = default;
    explicit WatchList(std::vector<uint32_t> codes) : m_codes(std::move(codes)) {}

    const std::vector<uint32_t>& Codes() const { return m_codes; }
    size_t Count() const { return m_codes.size(); }
    int RowCount() const { return static_cast<int>(m_codes.size()) * kRowsPerStock; }
    bool Contains(uint32_t code) const;

    // 加入自选: the stock of the open chart (0 when none is open, which does
    // nothing). The market indices are refused. Returns whether it went in.
    bool AddOpenStock(uint32_t code, base::Prompter& prompter);
    // 加入: the stock chosen in 选出股 (none: the user is told to choose one).
    bool AddPickedStock(std::optional<uint32_t> chosen, base::Prompter& prompter);

    // The stock of the selection (a name row counts as its code row). Nothing
    // for an empty list, and after "请先在自选股中选取股票" when no row is
    // selected or (by the page rule) the row is not on the visible page.
    std::optional<size_t> ChosenStock(const ListBoxState& box, PageRule rule,
                                      base::Prompter& prompter) const;

    // ↑, ↓ and ×: the row to select afterwards, nothing when the list did not
    // change. The top stock does not move up, the last one not down.
    std::optional<int> MoveUp(const ListBoxState& box, base::Prompter& prompter);
    std::optional<int> MoveDown(const ListBoxState& box, base::Prompter& prompter);
    std::optional<int> DeleteChosen(const ListBoxState& box, base::Prompter& prompter);

    // 8: up to eight codes from the chosen stock on (from the top of the page
    // when the selection is off the page).
    std::optional<std::vector<uint32_t>> EightFrom(const ListBoxState& box,
                                                   base::Prompter& prompter) const;

    // Takes a loaded list in place of this one.
    void Replace(std::vector<uint32_t> codes) { m_codes = std::move(codes); }
    // Takes a code off the list; false when it is not there.
    bool Remove(uint32_t code);

private:
    bool Insertable(uint32_t code, base::Prompter& prompter) const;
    bool Full(base::Prompter& prompter) const;

    std::vector<uint32_t> m_codes;
};

// The list box rows: per stock the six-digit code, then its GBK name from the
// code table ("股票名称" for a code it lacks).
std::vector<std::string> ListBoxLines(const std::vector<uint32_t>& codes,
                                      const data::CodeTable& table);

// The caption over the list box, "自选股(N)" (UTF-8).
std::string CaptionText(size_t count);

}  // namespace watchlist
