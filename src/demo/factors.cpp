#include "demo/factors.h"

#include <algorithm>

#include "demo/random.h"

namespace demo {
namespace {

constexpr uint64_t kStreamFactors = 10;

// Ordinary daily volatility of each kind of sector factor.
int64_t FactorVolatility(SectorKind kind) {
    switch (kind) {
        case SectorKind::Industry:
            return 8'000;
        case SectorKind::Region:
            return 2'500;
        case SectorKind::Concept:
            return 5'500;
        case SectorKind::Theme:
            return 6'500;
    }
    return 0;
}

// How often each kind of sector is the day's hot one (regions never are;
// the new-region themes are).
uint64_t HotPreference(const SectorSpec& s) {
    switch (s.kind) {
        case SectorKind::Industry:
            return 20;
        case SectorKind::Region:
            return 0;
        case SectorKind::Concept:
            return 30;
        case SectorKind::Theme:
            return s.family == 3 ? 10 : 30;
    }
    return 0;
}

// A fat-tailed draw: mostly near-normal, now and then two and a half times wider.
int64_t FatNormal(Rng& rng, int64_t sd) {
    const int64_t z = rng.Normal(sd);
    return rng.Below(100) < 6 ? z * 5 / 2 : z;
}

}  // namespace

Factors BuildFactors(const Universe& universe, uint32_t days, uint64_t seed) {
    Factors f;
    f.days = days;
    f.market.resize(days);
    f.marketLevel.resize(days);
    const size_t sectors = universe.sectors.size();
    f.sectorDays.resize(sectors * days);
    Rng rng(StreamSeed(seed, kStreamFactors));

    // The market wanders through bull and bear phases and is pulled back
    // towards its starting level over a year or so.
    int64_t level = 1'000'000;
    int64_t drift = 0;
    uint32_t nextPhase = 0;
    for (uint32_t t = 0; t < days; ++t) {
        if (t == nextPhase) {
            drift = rng.Between(-800, 900);
            nextPhase = t + static_cast<uint32_t>(rng.Between(60, 250));
        }
        const int64_t pull =
            std::clamp<int64_t>(4'000 * (1'000'000 - level) / level, -2'500, 2'500);
        int64_t m = drift + pull + FatNormal(rng, 10'000);
        if (rng.Chance(4'000))
            m = -rng.Between(40'000, 75'000);
        else if (rng.Chance(4'000))
            m = rng.Between(35'000, 60'000);
        level = level * (1'000'000 + m) / 1'000'000;
        f.market[t] = static_cast<int32_t>(m);
        f.marketLevel[t] = level;
    }

    for (size_t s = 0; s < sectors; ++s) {
        const int64_t sd = FactorVolatility(universe.sectors[s].kind);
        for (uint32_t t = 0; t < days; ++t)
            f.sectorDays[s * days + t].factor = static_cast<int32_t>(FatNormal(rng, sd));
    }

    // Listing days of each sector's members, to count who trades on a day.
    std::vector<std::vector<uint32_t>> listDays(sectors);
    for (size_t s = 0; s < sectors; ++s) {
        for (uint32_t i : universe.sectors[s].members)
            listDays[s].push_back(universe.stocks[i].listDay);
        std::sort(listDays[s].begin(), listDays[s].end());
    }
    const uint32_t stocks = static_cast<uint32_t>(universe.stocks.size());
    const uint32_t minHotMembers = std::clamp<uint32_t>(stocks / 20, 6, 12);

    std::vector<uint64_t> weight(sectors);
    std::vector<uint32_t> active(sectors);
    std::vector<size_t> hotYesterday, hotToday;
    for (uint32_t t = 0; t < days; ++t) {
        uint64_t total = 0;
        for (size_t s = 0; s < sectors; ++s) {
            const auto& ld = listDays[s];
            active[s] =
                static_cast<uint32_t>(std::upper_bound(ld.begin(), ld.end(), t) - ld.begin());
            weight[s] = active[s] >= minHotMembers
                            ? HotPreference(universe.sectors[s]) * std::min<uint32_t>(active[s], 80)
                            : 0;
            total += weight[s];
        }
        if (total == 0) continue;

        auto heat = [&](size_t s, int64_t boost, int64_t join, int64_t odds) {
            SectorDay& d = f.sectorDays[s * days + t];
            d.boost = static_cast<int32_t>(boost);
            // Small sectors still need a handful of movers to stand out.
            const int64_t fewest = 10'000 / std::max<uint32_t>(1, active[s]);
            d.joinOdds = static_cast<uint16_t>(
                std::clamp<int64_t>(join, std::min<int64_t>(fewest, 900), 900));
            // Large sectors send a share of their members to the limit, not most.
            const int64_t cap = std::max<int64_t>(100, 50'000 / std::max<uint32_t>(1, active[s]));
            d.limitOdds = static_cast<uint16_t>(std::min(odds, cap));
            total -= weight[s];
            weight[s] = 0;
        };

        hotToday.clear();
        // Themes often run for more than one day, weaker on the second.
        for (size_t s : hotYesterday) {
            if (weight[s] == 0 || rng.Below(100) >= 35) continue;
            heat(s, rng.Between(40'000, 65'000), rng.Between(300, 500), rng.Between(150, 300));
            hotToday.push_back(s);
        }
        const uint32_t wanted = 1 + stocks / 2000 + rng.Below(2);
        while (hotToday.size() < wanted && total > 0) {
            const size_t s = PickWeighted(rng, weight, total);
            heat(s, rng.Between(55'000, 90'000), rng.Between(350, 650), rng.Between(250, 500));
            hotToday.push_back(s);
        }
        if (rng.Below(100) < 30 && total > 0) {
            const size_t s = PickWeighted(rng, weight, total);
            heat(s, -rng.Between(30'000, 60'000), rng.Between(300, 600), rng.Between(40, 150));
        }
        hotYesterday.swap(hotToday);
    }
    return f;
}

}  // namespace demo
