#include "watchlist/watch_list.h"

#include <algorithm>

#include "data/paths.h"

namespace watchlist {
namespace {

constexpr uint32_t kShenzhenComponentIndex = 399106;

void Tell(base::Prompter& prompter, std::string_view text, std::string_view caption = kCaption) {
    prompter.ShowMessage(std::string(text), std::string(caption));
}

// The market indices cannot be watched: the chart opens them, but a list of
// stocks has no place for them.
bool IsMarketIndex(uint32_t code) {
    return code == data::kShenzhenIndexCode || code == kShenzhenComponentIndex ||
           code == data::kSectorTrendCode || code == data::kShanghaiIndexCode;
}

}  // namespace

bool WatchList::Contains(uint32_t code) const {
    return std::find(m_codes.begin(), m_codes.end(), code) != m_codes.end();
}

bool WatchList::Full(base::Prompter& prompter) const {
    if (m_codes.size() <= kWatchLimit) return false;
    Tell(prompter, kTooManyStocks);
    return true;
}

bool WatchList::Insertable(uint32_t code, base::Prompter& prompter) const {
    if (!Contains(code)) return true;
    Tell(prompter, kAlreadyListed);
    return false;
}

bool WatchList::AddOpenStock(uint32_t code, base::Prompter& prompter) {
    if (Full(prompter) || code == 0) return false;
    if (IsMarketIndex(code)) {
        Tell(prompter, kIndexRefused);
        return false;
    }
    if (!Insertable(code, prompter)) return false;
    m_codes.insert(m_codes.begin(), code);
    return true;
}

bool WatchList::AddPickedStock(std::optional<uint32_t> chosen, base::Prompter& prompter) {
    if (Full(prompter)) return false;
    if (!chosen) {
        Tell(prompter, kNoPickedStock);
        return false;
    }
    if (!Insertable(*chosen, prompter)) return false;
    m_codes.insert(m_codes.begin(), *chosen);
    return true;
}

std::optional<size_t> WatchList::ChosenStock(const ListBoxState& box, PageRule rule,
                                             base::Prompter& prompter) const {
    if (m_codes.empty()) return std::nullopt;
    const int row = box.selectedRow;
    const bool onPage = row >= box.topRow && row < box.topRow + kPageRows;
    if (row < 0 || row >= RowCount() || (rule == PageRule::VisiblePage && !onPage)) {
        Tell(prompter, kChooseStockFirst, "");
        return std::nullopt;
    }
    return static_cast<size_t>(row / kRowsPerStock);
}

std::optional<int> WatchList::MoveUp(const ListBoxState& box, base::Prompter& prompter) {
    if (m_codes.size() < 2) return std::nullopt;
    const auto stock = ChosenStock(box, PageRule::VisiblePage, prompter);
    if (!stock || *stock == 0) return std::nullopt;
    std::swap(m_codes[*stock], m_codes[*stock - 1]);
    return box.selectedRow - kRowsPerStock;
}

std::optional<int> WatchList::MoveDown(const ListBoxState& box, base::Prompter& prompter) {
    if (m_codes.size() < 2) return std::nullopt;
    const auto stock = ChosenStock(box, PageRule::VisiblePage, prompter);
    if (!stock || *stock + 1 >= m_codes.size()) return std::nullopt;
    std::swap(m_codes[*stock], m_codes[*stock + 1]);
    return box.selectedRow + kRowsPerStock;
}

std::optional<int> WatchList::DeleteChosen(const ListBoxState& box, base::Prompter& prompter) {
    const auto stock = ChosenStock(box, PageRule::VisiblePage, prompter);
    if (!stock) return std::nullopt;
    m_codes.erase(m_codes.begin() + static_cast<ptrdiff_t>(*stock));
    // The selection stays on its row, or goes to the stock before a deleted last one.
    if (RowCount() < kRowsPerStock) return 0;
    return box.selectedRow < RowCount() ? box.selectedRow : box.selectedRow - kRowsPerStock;
}

std::optional<std::vector<uint32_t>> WatchList::EightFrom(const ListBoxState& box,
                                                          base::Prompter& prompter) const {
    if (m_codes.empty()) return std::nullopt;
    const auto stock = ChosenStock(box, PageRule::Anywhere, prompter);
    if (!stock) return std::nullopt;
    const bool onPage = box.selectedRow >= box.topRow && box.selectedRow < box.topRow + kPageRows;
    const size_t first = onPage ? *stock : static_cast<size_t>(std::max(box.topRow, 0) / kRowsPerStock);
    std::vector<uint32_t> codes;
    for (size_t i = first; i < m_codes.size() && codes.size() < kEightStocks; ++i)
        codes.push_back(m_codes[i]);
    return codes;
}

bool WatchList::Remove(uint32_t code) {
    auto it = std::find(m_codes.begin(), m_codes.end(), code);
    if (it == m_codes.end()) return false;
    m_codes.erase(it);
    return true;
}

std::vector<std::string> ListBoxLines(const std::vector<uint32_t>& codes,
                                      const data::CodeTable& table) {
    std::vector<std::string> lines;
    lines.reserve(codes.size() * kRowsPerStock);
    for (uint32_t code : codes) {
        lines.push_back(data::CodeText(code));
        lines.push_back(table.StockName(code));
    }
    return lines;
}

std::string CaptionText(size_t count) {
    return "自选股(" + std::to_string(count) + ")";
}

}  // namespace watchlist
