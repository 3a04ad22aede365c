#include "demo/universe.h"

#include <algorithm>
#include <array>
#include <set>

#include "demo/calendar.h"
#include "demo/random.h"
#include "demo/sector_catalogue.h"

namespace demo {
namespace {

constexpr uint64_t kStreamBoards = 1;
constexpr uint64_t kStreamStock = 2;
constexpr uint64_t kStreamConcepts = 3;
constexpr uint64_t kStreamThemes = 4;

// Share of the listed companies per board in a mature market, in per mille.
constexpr std::array<uint32_t, kBoardCount> kBoardShare = {410, 110, 90, 130, 260};

// The trading days a stock must have before the end to be ST: new listings
// are never ST.
constexpr uint32_t kStMinimumHistory = 500;
constexpr uint32_t kStPerMille = 45;
// Listings within this many days of the end form the 次新股 concept.
constexpr uint32_t kRecentListingDays = 250;

constexpr uint32_t kMaxConcepts = 6;
constexpr uint32_t kMaxThemes = 3;
constexpr uint64_t kRelatedBoost = 12;

size_t BoardIndex(Board b) {
    return static_cast<size_t>(b);
}

// The first calendar index on or after a date (calendar.size() when none).
uint32_t FirstDayFrom(std::span<const uint32_t> calendar, uint32_t date) {
    return static_cast<uint32_t>(std::lower_bound(calendar.begin(), calendar.end(), date) -
                                 calendar.begin());
}

// Per mille of a board's mature share it has in this calendar: a board that
// opened within the range has had time for only part of its listings.
uint32_t BoardMaturity(std::span<const uint32_t> calendar, Board board) {
    const uint32_t open = BoardOpenDate(board);
    if (open <= calendar.front()) return 1000;
    if (open > calendar.back()) return 0;
    const int32_t days = DayNumber(calendar.back()) - DayNumber(open);
    return static_cast<uint32_t>(std::min<int32_t>(1000, 250 + days * 1000 / (4 * 365)));
}

// Industry weights for a board: technology lists on STAR and ChiNext, the old
// economy on the main boards; giants only on the main boards.
uint64_t IndustryWeight(const IndustryDef& def, Board board) {
    static constexpr uint32_t kTechFactor[kBoardCount][3] = {
        {13, 10, 6},  // SH main
        {0, 8, 40},   // STAR
        {12, 10, 8},  // SZ main
        {8, 12, 12},  // SME
        {3, 12, 25},  // ChiNext
    };
    uint64_t w = def.weight * kTechFactor[BoardIndex(board)][def.tech];
    if (def.size == 2 && (board == Board::Star || board == Board::ChiNext)) w /= 8;
    return w;
}

struct Draft {
    Board board;
    bool preExisting;
    uint32_t listDay;
    uint64_t order;  // ties of listing day
};

// Codes ascending with listing day, spread over the board's blocks with small
// random gaps the way real code lists have them.
void AssignCodes(Rng& rng, Board board, std::vector<Draft>& drafts, std::vector<uint32_t>& codes) {
    std::sort(drafts.begin(), drafts.end(), [](const Draft& a, const Draft& b) {
        return a.listDay != b.listDay ? a.listDay < b.listDay : a.order < b.order;
    });
    auto blocks = BoardCodeBlocks(board);
    size_t block = 0;
    uint32_t offset = 0;
    uint32_t capacityLeft = BoardCodeCapacity(board);
    const uint32_t n = static_cast<uint32_t>(drafts.size());
    codes.clear();
    for (uint32_t i = 0; i < n; ++i) {
        while (offset >= blocks[block].size) ++block, offset = 0;
        codes.push_back(blocks[block].first + offset);
        const uint32_t remaining = n - i - 1;
        const uint32_t slack = capacityLeft - 1 - remaining;
        const uint32_t maxGap = remaining ? std::min<uint32_t>(2, slack / remaining) : 0;
        const uint32_t gap = 1 + rng.Below(maxGap + 1);
        offset += gap;
        capacityLeft -= gap;
    }
}

void AddSector(Universe& u, uint32_t family, SectorKind kind, std::string name,
               std::vector<uint32_t> members) {
    if (members.empty()) return;
    uint32_t serial = 1;
    for (const SectorSpec& s : u.sectors)
        if (s.family == family) ++serial;
    u.sectors.push_back({family, serial, kind, std::move(name), std::move(members)});
}

}  // namespace

std::vector<uint32_t> BoardCounts(std::span<const uint32_t> calendar, uint32_t stocks) {
    std::array<uint64_t, kBoardCount> weight{};
    uint64_t total = 0;
    for (Board b : kAllBoards) {
        weight[BoardIndex(b)] = kBoardShare[BoardIndex(b)] * BoardMaturity(calendar, b);
        total += weight[BoardIndex(b)];
    }
    // Largest remainder, then boards past their code capacity hand the rest
    // to the others in order of room left.
    std::vector<uint32_t> count(kBoardCount, 0);
    std::array<uint64_t, kBoardCount> remainder{};
    uint32_t given = 0;
    for (size_t i = 0; i < kBoardCount; ++i) {
        count[i] = static_cast<uint32_t>(stocks * weight[i] / total);
        remainder[i] = stocks * weight[i] % total;
        given += count[i];
    }
    while (given < stocks) {
        size_t best = 0;
        for (size_t i = 1; i < kBoardCount; ++i)
            if (remainder[i] > remainder[best]) best = i;
        ++count[best];
        remainder[best] = 0;
        ++given;
    }
    uint32_t spill = 0;
    for (Board b : kAllBoards) {
        const uint32_t cap = BoardCodeCapacity(b);
        if (count[BoardIndex(b)] > cap)
            spill += count[BoardIndex(b)] - cap, count[BoardIndex(b)] = cap;
    }
    while (spill > 0) {
        size_t best = kBoardCount;
        uint32_t room = 0;
        for (Board b : kAllBoards) {
            const size_t i = BoardIndex(b);
            if (weight[i] == 0) continue;
            const uint32_t r = BoardCodeCapacity(b) - count[i];
            if (r > room) room = r, best = i;
        }
        if (best == kBoardCount) break;  // cannot happen within the stock limit
        const uint32_t moved = std::min(room, spill);
        count[best] += moved;
        spill -= moved;
    }
    return count;
}

uint32_t StockCapacity(std::span<const uint32_t> calendar) {
    uint32_t capacity = 0;
    for (Board b : kAllBoards)
        if (BoardMaturity(calendar, b) > 0) capacity += BoardCodeCapacity(b);
    return capacity;
}

Universe BuildUniverse(std::span<const uint32_t> calendar, uint32_t stocks, uint64_t seed) {
    const uint32_t days = static_cast<uint32_t>(calendar.size());
    const uint32_t years = std::max<uint32_t>(1, days / 243);
    Universe u;

    // Boards, listing days and codes.
    Rng boardRng(StreamSeed(seed, kStreamBoards));
    const auto counts = BoardCounts(calendar, stocks);
    std::vector<Draft> drafts;
    std::vector<uint32_t> codes;
    for (Board board : kAllBoards) {
        drafts.clear();
        const bool existedBefore = BoardOpenDate(board) < calendar.front();
        const uint32_t openDay = existedBefore ? 1 : FirstDayFrom(calendar, BoardOpenDate(board));
        uint32_t newPerMille = years * 1000 / (years + 10);
        if (board == Board::Star || board == Board::ChiNext)
            newPerMille = std::min<uint32_t>(900, 150 + newPerMille);
        for (uint32_t i = 0; i < counts[BoardIndex(board)]; ++i) {
            Draft d{board, false, 0, boardRng.Next()};
            const bool isNew = !existedBefore || boardRng.Below(1000) < newPerMille;
            if (isNew && openDay < days) {
                d.listDay = openDay + boardRng.Below(days - openDay);
            } else {
                d.preExisting = true;
            }
            drafts.push_back(d);
        }
        AssignCodes(boardRng, board, drafts, codes);
        for (size_t i = 0; i < drafts.size(); ++i) {
            StockSpec s;
            s.code = codes[i];
            s.board = board;
            s.preExisting = drafts[i].preExisting;
            s.listDay = drafts[i].listDay;
            u.stocks.push_back(std::move(s));
        }
    }
    std::sort(u.stocks.begin(), u.stocks.end(),
              [](const StockSpec& a, const StockSpec& b) { return a.code < b.code; });

    // Per-stock traits, each from the stock's own stream.
    const auto industries = Industries();
    const auto regions = Regions();
    std::array<std::vector<uint64_t>, kBoardCount> industryWeights;
    std::array<uint64_t, kBoardCount> industryTotals{};
    for (Board b : kAllBoards) {
        for (const IndustryDef& def : industries) {
            industryWeights[BoardIndex(b)].push_back(IndustryWeight(def, b));
            industryTotals[BoardIndex(b)] += industryWeights[BoardIndex(b)].back();
        }
    }
    std::vector<uint64_t> regionWeights;
    uint64_t regionTotal = 0;
    for (const RegionDef& r : regions) regionWeights.push_back(r.weight), regionTotal += r.weight;

    std::set<std::string> usedNames;
    for (StockSpec& s : u.stocks) {
        Rng rng(StreamSeed(seed, kStreamStock, s.code));
        const size_t b = BoardIndex(s.board);
        s.industry =
            static_cast<uint16_t>(PickWeighted(rng, industryWeights[b], industryTotals[b]));
        s.region = static_cast<uint16_t>(PickWeighted(rng, regionWeights, regionTotal));
        const IndustryDef& ind = industries[s.industry];
        s.dividend = ind.dividend;

        const bool young = s.board == Board::Star || s.board == Board::ChiNext;
        const bool giant = ind.size == 2 && !young && rng.Below(100) < 30;
        uint64_t total = giant   ? LogUniform(rng, 300'000, 20'000'000)
                         : young ? LogUniform(rng, 4'000, 120'000)
                                 : LogUniform(rng, 8'000, 300'000);
        if (ind.size == 0) total = total * 2 / 3;
        s.totalShares = static_cast<uint32_t>(total);
        const uint64_t floatPerMille = s.preExisting ? 600 + rng.Below(401) : 200 + rng.Below(151);
        s.floatShares = static_cast<uint32_t>(std::max<uint64_t>(1, total * floatPerMille / 1000));

        s.st = BoardAllowsSt(s.board) && (s.preExisting || s.listDay + kStMinimumHistory < days) &&
               rng.Below(1000) < kStPerMille;
        if (s.preExisting) {
            uint64_t lo = ind.priceLow * 100u, hi = ind.priceHigh * 100u;
            if (s.board == Board::Star) lo = lo * 16 / 10, hi = hi * 16 / 10;
            if (s.board == Board::ChiNext) lo = lo * 12 / 10, hi = hi * 12 / 10;
            lo = std::clamp<uint64_t>(lo, 300, 3000);
            hi = std::clamp<uint64_t>(hi, lo + 100, 6000);
            s.startPrice =
                static_cast<uint32_t>(s.st ? LogUniform(rng, 300, 600) : LogUniform(rng, lo, hi));
        } else {
            s.startPrice =
                static_cast<uint32_t>(s.board == Board::Star      ? LogUniform(rng, 1500, 5000)
                                      : s.board == Board::ChiNext ? LogUniform(rng, 800, 4000)
                                                                  : LogUniform(rng, 400, 2500));
        }

        // Names should mostly be unique; a few tries are plenty.
        for (int attempt = 0; attempt < 8; ++attempt) {
            s.name = MakeStockName(rng, ind.suffixes, regions[s.region].abbreviation);
            if (!usedNames.count(s.name.utf8)) break;
        }
        usedNames.insert(s.name.utf8);
        if (s.st) s.name = MakeStName(s.name);
    }

    // Concepts: the most important ones for the market's size, each stock in
    // one to six, stocks of related industries far more likely to join.
    const auto concepts = Concepts();
    const size_t conceptCount =
        std::min<size_t>(concepts.size(), 20 + static_cast<size_t>(stocks) * 31 / 1000);
    std::vector<uint8_t> related(conceptCount * industries.size(), 0);
    for (size_t c = 0; c < conceptCount; ++c)
        ForEachListItem(concepts[c].related, [&](std::string_view name) {
            const int i = FindIndustry(name);
            if (i >= 0) related[c * industries.size() + static_cast<size_t>(i)] = 1;
        });
    std::vector<std::vector<uint32_t>> conceptMembers(conceptCount);
    std::vector<uint32_t> stMembers, recentMembers;
    Rng conceptRng(StreamSeed(seed, kStreamConcepts));
    std::vector<uint64_t> weights(conceptCount);
    for (uint32_t i = 0; i < u.stocks.size(); ++i) {
        const StockSpec& s = u.stocks[i];
        static constexpr uint32_t kCountOdds[kMaxConcepts] = {20, 25, 22, 15, 10, 8};
        uint32_t want = 1 + static_cast<uint32_t>(PickWeighted(conceptRng, kCountOdds, 100));
        if (s.st) stMembers.push_back(i), --want;
        if (!s.preExisting && s.listDay + kRecentListingDays >= days && want > 1)
            recentMembers.push_back(i), --want;
        uint64_t total = 0;
        for (size_t c = 0; c < conceptCount; ++c) {
            weights[c] = concepts[c].weight *
                         (related[c * industries.size() + s.industry] ? kRelatedBoost : 1);
            total += weights[c];
        }
        for (uint32_t k = 0; k < want && total > 0; ++k) {
            const size_t c = PickWeighted(conceptRng, weights, total);
            conceptMembers[c].push_back(i);
            total -= weights[c];
            weights[c] = 0;
        }
    }

    // Recent themes from related industries or regions.
    const auto themes = Themes();
    std::vector<std::vector<uint32_t>> themeMembers(themes.size());
    std::vector<uint8_t> themeCount(u.stocks.size(), 0);
    Rng themeRng(StreamSeed(seed, kStreamThemes));
    for (size_t t = 0; t < themes.size(); ++t) {
        std::vector<uint8_t> isRelatedIndustry(industries.size(), 0);
        std::vector<uint8_t> isRelatedRegion(regions.size(), 0);
        ForEachListItem(themes[t].related, [&](std::string_view name) {
            if (int i = FindIndustry(name); i >= 0) isRelatedIndustry[static_cast<size_t>(i)] = 1;
            if (int r = FindRegion(name); r >= 0) isRelatedRegion[static_cast<size_t>(r)] = 1;
        });
        for (uint32_t i = 0; i < u.stocks.size(); ++i) {
            const StockSpec& s = u.stocks[i];
            const bool rel = themes[t].family == kFamilyNewRegion ? isRelatedRegion[s.region]
                                                                  : isRelatedIndustry[s.industry];
            if (!rel || themeCount[i] >= kMaxThemes) continue;
            if (themeRng.Below(1000) < themes[t].sharePerMille) {
                themeMembers[t].push_back(i);
                ++themeCount[i];
            }
        }
    }

    // The library, family by family.
    for (size_t t = 0; t < themes.size(); ++t)
        if (themes[t].family == kFamilyNewConcept)
            AddSector(u, kFamilyNewConcept, SectorKind::Theme, themes[t].name, themeMembers[t]);
    for (size_t t = 0; t < themes.size(); ++t)
        if (themes[t].family == kFamilyNewIndustry)
            AddSector(u, kFamilyNewIndustry, SectorKind::Theme, themes[t].name, themeMembers[t]);
    for (size_t t = 0; t < themes.size(); ++t)
        if (themes[t].family == kFamilyNewRegion)
            AddSector(u, kFamilyNewRegion, SectorKind::Theme, themes[t].name, themeMembers[t]);
    for (size_t c = 0; c < conceptCount; ++c)
        AddSector(u, kFamilyConcept, SectorKind::Concept, concepts[c].name, conceptMembers[c]);
    AddSector(u, kFamilyConcept, SectorKind::Concept, "ST板块", stMembers);
    AddSector(u, kFamilyConcept, SectorKind::Concept, "次新股", recentMembers);
    std::vector<std::vector<uint32_t>> industryMembers(industries.size());
    std::vector<std::vector<uint32_t>> regionMembers(regions.size());
    for (uint32_t i = 0; i < u.stocks.size(); ++i) {
        industryMembers[u.stocks[i].industry].push_back(i);
        regionMembers[u.stocks[i].region].push_back(i);
    }
    for (size_t k = 0; k < industries.size(); ++k)
        AddSector(u, kFamilyIndustry, SectorKind::Industry, industries[k].name, industryMembers[k]);
    for (size_t k = 0; k < regions.size(); ++k)
        AddSector(u, kFamilyRegion, SectorKind::Region, regions[k].name, regionMembers[k]);

    for (size_t k = 0; k < u.sectors.size(); ++k) {
        std::sort(u.sectors[k].members.begin(), u.sectors[k].members.end());
        for (uint32_t i : u.sectors[k].members)
            u.stocks[i].sectors.push_back(static_cast<uint16_t>(k));
    }
    return u;
}

}  // namespace demo
