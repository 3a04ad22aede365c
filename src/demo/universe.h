// The stocks of the demo market and the sectors they belong to, fixed before
// any price is simulated: codes, boards, listing days, names, share capital
// and memberships.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "demo/boards.h"
#include "demo/names.h"

namespace demo {

enum class SectorKind : uint8_t { Industry, Region, Concept, Theme };

struct StockSpec {
    uint32_t code = 0;
    Board board = Board::ShMain;
    bool st = false;
    bool preExisting = false;  // traded before the first calendar day
    uint32_t listDay = 0;      // calendar index of the first bar
    uint32_t startPrice = 0;   // cents: the close before day 0, or the issue price
    uint32_t totalShares = 0;  // 10,000 shares, at day 0 or the listing
    uint32_t floatShares = 0;
    uint16_t industry = 0;  // index into Industries()
    uint16_t region = 0;    // index into Regions()
    uint8_t dividend = 0;   // 0..3, from the industry
    StockName name;
    std::vector<uint16_t> sectors;  // indices into Universe::sectors, ascending
};

struct SectorSpec {
    uint32_t family = 0;
    uint32_t serial = 0;
    SectorKind kind = SectorKind::Concept;
    std::string name;               // UTF-8
    std::vector<uint32_t> members;  // indices into Universe::stocks, ascending
};

struct Universe {
    std::vector<StockSpec> stocks;    // ascending codes
    std::vector<SectorSpec> sectors;  // library order: family, then serial
};

// How many stocks each board gets for a calendar of trading days; together
// `stocks` when they fit the code room of the boards open by its end.
std::vector<uint32_t> BoardCounts(std::span<const uint32_t> calendar, uint32_t stocks);

// The most stocks the boards open by the calendar's end have codes for.
uint32_t StockCapacity(std::span<const uint32_t> calendar);

Universe BuildUniverse(std::span<const uint32_t> calendar, uint32_t stocks, uint64_t seed);

}  // namespace demo
