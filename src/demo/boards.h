// Listing boards of the demo market: their code blocks, opening dates and
// daily price limits, and the limit and ex-rights price arithmetic.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "data/price_limits.h"

namespace demo {

enum class Board : uint8_t { ShMain, Star, SzMain, Sme, ChiNext };
inline constexpr size_t kBoardCount = 5;
inline constexpr std::array<Board, kBoardCount> kAllBoards = {
    Board::ShMain, Board::Star, Board::SzMain, Board::Sme, Board::ChiNext};

const char* BoardName(Board board);

// The first listing day the board allows.
uint32_t BoardOpenDate(Board board);

// Code blocks of a board, in the order they are filled: first code and size.
struct CodeBlock {
    uint32_t first;
    uint32_t size;
};
std::span<const CodeBlock> BoardCodeBlocks(Board board);
uint32_t BoardCodeCapacity(Board board);

// The board of a stock code (index codes are not stocks).
Board BoardOfCode(uint32_t code);

// ST treatment only exists on the main boards in this market.
inline bool BoardAllowsSt(Board board) {
    return board == Board::ShMain || board == Board::SzMain || board == Board::Sme;
}

// The limit prices are the market's own (data::LimitUpPrice, LimitDownPrice).
using data::LimitDownPrice;
using data::LimitUpPrice;

// An ex-rights event in exact units: per 10 shares, money in cents.
struct EventTerms {
    uint32_t bonus = 0;             // shares
    uint32_t dividendCents = 0;     // cash
    uint32_t rights = 0;            // shares offered
    uint32_t rightsPriceCents = 0;  // per share
};

// The ex-rights reference price of a previous close (cents):
// (close * 10 - dividend + rights * rightsPrice) / (10 + bonus + rights), half up.
uint32_t ExRightsReference(uint32_t previousClose, const EventTerms& terms);

}  // namespace demo
