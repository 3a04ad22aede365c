#include "demo/boards.h"

#include "data/price_limits.h"

namespace demo {
namespace {

constexpr CodeBlock kShMainBlocks[] = {
    {600000, 1000}, {601000, 1000}, {603000, 1000}, {605000, 1000}};
constexpr CodeBlock kStarBlocks[] = {{688001, 999}};
constexpr CodeBlock kSzMainBlocks[] = {{1, 999}, {1000, 1000}};
constexpr CodeBlock kSmeBlocks[] = {{2001, 999}, {3000, 1000}};
constexpr CodeBlock kChiNextBlocks[] = {{300001, 999}, {301000, 1000}};

}  // namespace

const char* BoardName(Board board) {
    switch (board) {
        case Board::ShMain:
            return "SH main";
        case Board::Star:
            return "STAR";
        case Board::SzMain:
            return "SZ main";
        case Board::Sme:
            return "SME";
        case Board::ChiNext:
            return "ChiNext";
    }
    return "";
}

uint32_t BoardOpenDate(Board board) {
    switch (board) {
        case Board::ShMain:
            return 19901219;
        case Board::Star:
            return 20190722;
        case Board::SzMain:
            return 19910403;
        case Board::Sme:
            return 20040625;
        case Board::ChiNext:
            return 20091030;
    }
    return 0;
}

std::span<const CodeBlock> BoardCodeBlocks(Board board) {
    switch (board) {
        case Board::ShMain:
            return kShMainBlocks;
        case Board::Star:
            return kStarBlocks;
        case Board::SzMain:
            return kSzMainBlocks;
        case Board::Sme:
            return kSmeBlocks;
        case Board::ChiNext:
            return kChiNextBlocks;
    }
    return {};
}

uint32_t BoardCodeCapacity(Board board) {
    uint32_t total = 0;
    for (const CodeBlock& block : BoardCodeBlocks(board)) total += block.size;
    return total;
}

Board BoardOfCode(uint32_t code) {
    if (code >= 688000) return Board::Star;
    if (code >= 600000) return Board::ShMain;
    if (code >= 300000) return Board::ChiNext;
    if (code >= 2000) return Board::Sme;
    return Board::SzMain;
}

uint32_t ExRightsReference(uint32_t previousClose, const EventTerms& terms) {
    const int64_t numerator = static_cast<int64_t>(previousClose) * 10 -
                              static_cast<int64_t>(terms.dividendCents) +
                              static_cast<int64_t>(terms.rights) * terms.rightsPriceCents;
    const int64_t shares = 10 + terms.bonus + terms.rights;
    if (numerator <= 0) return 1;
    const int64_t reference = (2 * numerator + shares) / (2 * shares);
    return reference < 1 ? 1 : static_cast<uint32_t>(reference);
}

}  // namespace demo
