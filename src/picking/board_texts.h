// The texts of each condition's setting board: its headline, the rows that
// carry the input fields, explanatory lines and the closing hint. A row is
// written with "{k}" where parameter k's field goes ("{0}元 ≤J≤ {1}元"), so
// the page lays the fields out where the words leave room for them.
#pragma once

#include <span>
#include <string_view>

#include "picking/catalogue.h"

namespace picking {

struct BoardTexts {
    std::string_view headline;
    std::span<const std::string_view> rows;   // with "{k}" field marks
    std::span<const std::string_view> notes;  // explanatory lines
    std::string_view hint;
};

// The board of a condition; a condition without a board (code 0, not shown)
// has an empty headline.
BoardTexts BoardTextsOf(ConditionCode code);

// One piece of a board row: text, or the field of a parameter.
struct RowPiece {
    std::string_view text;  // empty for a field
    int param = -1;         // >= 0 for a field
};

// Splits a row at its field marks; calls `piece` for each part in order.
template <typename F>
void ForEachRowPiece(std::string_view row, F&& piece) {
    while (!row.empty()) {
        const size_t open = row.find('{');
        const size_t close = open == std::string_view::npos ? open : row.find('}', open);
        if (close == std::string_view::npos) {
            piece(RowPiece{row, -1});
            return;
        }
        if (open > 0) piece(RowPiece{row.substr(0, open), -1});
        int param = 0;
        for (size_t i = open + 1; i < close; ++i) param = param * 10 + (row[i] - '0');
        piece(RowPiece{{}, param});
        row.remove_prefix(close + 1);
    }
}

inline constexpr std::string_view kModifyHint = "修改完成后,点击“确认修改”方能生效";

}  // namespace picking
