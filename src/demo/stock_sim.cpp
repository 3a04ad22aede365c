#include "demo/stock_sim.h"

#include <algorithm>

#include "demo/calendar.h"
#include "demo/random.h"

namespace demo {
namespace {

constexpr uint64_t kStreamSim = 20;
constexpr int64_t kMillion = 1'000'000;
// Anchors carry four more decimals than cents and the market level's scale.
constexpr int64_t kAnchorScale = 10'000 * kMillion;

// A stock in several concepts or themes gets a smaller loading on each, so
// its exposure to themes as a whole stays about the same.
constexpr int64_t kThemeScale[] = {1000, 1000, 710, 580, 500, 450, 410, 380, 350, 330, 320, 310};

// Chance per mille that a company pays dividends at all, by its industry's habit.
constexpr uint32_t kPayerPerMille[] = {350, 550, 750, 920};

// Bonus issues are kept off stocks with this much capital (10,000 shares), so
// share counts and volumes stay far inside 32 bits.
constexpr uint64_t kBonusShareLimit = 2'000'000;
// A close above this makes a 10-for-10 bonus issue due.
constexpr uint32_t kForcedBonusPrice = 25'000;
// Trading days between two events of a stock, and before the first.
constexpr uint32_t kEventSpacing = 20;

struct Exposure {
    uint32_t sector;
    int32_t loading;  // per mille, for boosts
    int32_t scaled;   // per mille, for the ordinary factor
};

enum class PlanKind : uint8_t { Dividend, Rights };

struct Plan {
    uint32_t day;
    PlanKind kind;
};

struct Suspension {
    uint32_t from;  // first missing day
    uint32_t to;    // first day back
};

int64_t ApplyReturn(int64_t price, int64_t ppm) {
    ppm = std::max<int64_t>(ppm, -900'000);
    return (price * (kMillion + ppm) + kMillion / 2) / kMillion;
}

uint32_t ClampPrice(int64_t v, uint32_t lo, uint32_t hi) {
    return static_cast<uint32_t>(std::clamp<int64_t>(v, lo, hi));
}

int64_t Abs(int64_t v) {
    return v < 0 ? -v : v;
}

class Simulator {
public:
    Simulator(const StockSpec& stock, const Universe& universe, const Factors& factors,
              std::span<const uint32_t> calendar, const EventBudget& budget, uint64_t seed,
              SimulatedStock& out)
        : m_stock(stock),
          m_factors(factors),
          m_calendar(calendar),
          m_budget(budget),
          m_out(out),
          m_rng(StreamSeed(seed, kStreamSim, stock.code)) {
        DrawTraits(universe);
        PlanSuspensions();
        PlanEvents();
    }

    void Run() {
        const uint32_t days = static_cast<uint32_t>(m_calendar.size());
        const uint32_t first = m_stock.preExisting ? 0 : m_stock.listDay;
        size_t suspension = 0;
        for (uint32_t t = first; t < days; ++t) {
            while (suspension < m_suspensions.size() && m_suspensions[suspension].to <= t)
                ++suspension;
            if (suspension < m_suspensions.size() && m_suspensions[suspension].from <= t) continue;
            DriftAnchor(t);
            if (m_out.bars.empty() && !m_stock.preExisting) {
                ListingBar(t);
            } else if (m_onePriceDaysLeft > 0) {
                OnePriceBar(t);
                if (--m_onePriceDaysLeft == 0) SettleAfterListing(t);
            } else {
                NormalBar(t);
            }
        }
        m_out.totalShares = static_cast<uint32_t>(m_totalShares);
        m_out.floatShares = static_cast<uint32_t>(m_floatShares);
    }

private:
    void DrawTraits(const Universe& universe) {
        const bool wide = m_stock.board == Board::Star || m_stock.board == Board::ChiNext;
        m_beta = m_rng.Between(650, 1350);
        m_idio = m_rng.Between(12'000, 20'000);
        if (wide) m_idio = m_idio * 13 / 10;
        if (m_stock.floatShares < 20'000) m_idio = m_idio * 11 / 10;
        if (m_stock.st) m_idio = m_idio * 8 / 10;
        m_pullRate = m_rng.Between(4'000, 9'000);
        m_turnover = m_stock.floatShares >= 500'000 ? m_rng.Between(1'500, 5'000)
                                                    : m_rng.Between(5'000, 25'000);
        if (wide) m_turnover = m_turnover * 13 / 10;

        size_t themes = 0;
        for (uint16_t s : m_stock.sectors) {
            const SectorKind kind = universe.sectors[s].kind;
            if (kind == SectorKind::Concept || kind == SectorKind::Theme) ++themes;
        }
        const int64_t themeScale =
            kThemeScale[std::min<size_t>(themes, std::size(kThemeScale) - 1)];
        for (uint16_t s : m_stock.sectors) {
            Exposure e{s, 0, 0};
            switch (universe.sectors[s].kind) {
                case SectorKind::Industry:
                    e.loading = static_cast<int32_t>(m_rng.Between(700, 1300));
                    break;
                case SectorKind::Region:
                    e.loading = static_cast<int32_t>(m_rng.Between(400, 1000));
                    break;
                case SectorKind::Concept:
                    e.loading = static_cast<int32_t>(m_rng.Between(500, 1200));
                    break;
                case SectorKind::Theme:
                    e.loading = static_cast<int32_t>(m_rng.Between(600, 1200));
                    break;
            }
            const bool themed = universe.sectors[s].kind == SectorKind::Concept ||
                                universe.sectors[s].kind == SectorKind::Theme;
            e.scaled = static_cast<int32_t>(themed ? e.loading * themeScale / 1000 : e.loading);
            m_exposures.push_back(e);
        }

        m_totalShares = m_stock.totalShares;
        m_floatShares = m_stock.floatShares;
        m_payer =
            !m_stock.st && m_rng.Below(1000) + (wide ? 150 : 0) < kPayerPerMille[m_stock.dividend];
    }

    void PlanSuspensions() {
        const uint32_t days = static_cast<uint32_t>(m_calendar.size());
        // Never within the first days of trading, nor during a listing's run.
        const uint32_t quiet = m_stock.preExisting ? 5 : m_stock.listDay + 20;
        uint32_t next = quiet;
        for (uint32_t year = 0; year * 243 < days; ++year) {
            if (m_rng.Below(1000) >= 60) continue;
            const uint32_t from = year * 243 + m_rng.Below(243);
            const uint32_t kind = m_rng.Below(100);
            const uint32_t length = static_cast<uint32_t>(kind < 70   ? m_rng.Between(1, 5)
                                                          : kind < 95 ? m_rng.Between(6, 30)
                                                                      : m_rng.Between(31, 120));
            if (from < next || from >= days) continue;
            m_suspensions.push_back({from, std::min(days, from + length)});
            next = from + length + 5;
        }
    }

    void PlanEvents() {
        const uint32_t days = static_cast<uint32_t>(m_calendar.size());
        const uint32_t first = m_stock.preExisting ? 0 : m_stock.listDay;
        const int firstYear = static_cast<int>(m_calendar.front() / 10000);
        const int lastYear = static_cast<int>(m_calendar.back() / 10000);
        auto dayOf = [&](uint32_t date) {
            return static_cast<uint32_t>(
                std::lower_bound(m_calendar.begin(), m_calendar.end(), date) - m_calendar.begin());
        };
        const uint32_t dividendOdds = 850 * m_budget.ratePerMille / 1000;
        const uint32_t rightsOdds = 6 * m_budget.ratePerMille / 1000 + 1;
        for (int y = firstYear; y <= lastYear; ++y) {
            const uint32_t base = static_cast<uint32_t>(y) * 10000;
            // Dividends go ex between mid-May and the end of July.
            const uint32_t lo = dayOf(base + 510), hi = dayOf(base + 801);
            if (m_payer && lo < hi && m_rng.Below(1000) < dividendOdds) {
                const uint32_t day = lo + m_rng.Below(hi - lo);
                if (day >= first + 60) m_plans.push_back({day, PlanKind::Dividend});
            }
            const uint32_t ylo = dayOf(base + 101), yhi = dayOf(base + 1232);
            if (!m_stock.st && ylo < yhi && m_rng.Below(1000) < rightsOdds) {
                const uint32_t day = ylo + m_rng.Below(yhi - ylo);
                if (day >= first + 120 && day < days) m_plans.push_back({day, PlanKind::Rights});
            }
        }
        std::sort(m_plans.begin(), m_plans.end(),
                  [](const Plan& a, const Plan& b) { return a.day < b.day; });
    }

    // The anchor's own slow trend, changing every year or two.
    void DriftAnchor(uint32_t t) {
        if (t >= m_nextDriftChange) {
            m_drift = m_rng.Between(-600, 700);
            m_nextDriftChange = t + static_cast<uint32_t>(m_rng.Between(120, 500));
        }
        if (m_anchor == 0) return;
        m_anchor =
            std::clamp(m_anchor * (kMillion + m_drift) / kMillion, m_anchorLow, m_anchorHigh);
    }

    // The anchor for a target price in cents on day t.
    void SetAnchor(uint32_t t, int64_t targetCents) {
        m_anchor = targetCents * kAnchorScale / m_factors.marketLevel[t];
        m_anchorLow =
            std::max<int64_t>(m_anchor * 3 / 10, 250 * kAnchorScale / m_factors.marketLevel[t]);
        m_anchorHigh =
            std::min<int64_t>(m_anchor * 35 / 10, 30'000 * kAnchorScale / m_factors.marketLevel[t]);
        m_anchorHigh = std::max(m_anchorHigh, m_anchorLow);
        m_anchor = std::clamp(m_anchor, m_anchorLow, m_anchorHigh);
    }

    uint32_t LimitPercentOn(uint32_t t) const {
        return data::LimitPercentOf(m_stock.code, m_calendar[t], m_stock.st);
    }

    void Push(uint32_t t, uint32_t open, uint32_t high, uint32_t low, uint32_t close,
              int64_t turnoverPpm, uint32_t reference) {
        turnoverPpm = std::clamp<int64_t>(turnoverPpm, 50, 800'000);
        const uint64_t lots = std::max<uint64_t>(
            1, static_cast<uint64_t>(m_floatShares) * static_cast<uint64_t>(turnoverPpm) / 10'000);
        const uint64_t vwap = (high + low + 2ull * close) / 4;
        const uint64_t amount = std::max<uint64_t>(1, (vwap * lots + 5'000) / 10'000);
        data::Bar bar;
        bar.date = m_calendar[t];
        bar.open = open;
        bar.high = high;
        bar.low = low;
        bar.close = close;
        bar.amount = static_cast<uint32_t>(std::min<uint64_t>(amount, UINT32_MAX));
        bar.volume = static_cast<uint32_t>(std::min<uint64_t>(lots, UINT32_MAX));
        m_out.bars.push_back(bar);
        m_out.info.push_back({t, reference, static_cast<uint32_t>(m_totalShares),
                              static_cast<uint32_t>(m_floatShares)});
        m_previousClose = close;
        m_lowestClose = std::min(m_lowestClose, close);
    }

    // The issue day: main boards (and ChiNext before the wider limits) cap
    // the first close at +44 %; the 20 % boards trade freely and usually
    // more than double.
    void ListingBar(uint32_t t) {
        const int64_t issue = m_stock.startPrice;
        uint32_t open, high, low, close;
        int64_t turnover;
        if (LimitPercentOn(t) == 20) {
            m_onePriceDaysLeft = static_cast<uint32_t>(m_rng.Between(1, 3));
            int64_t multiple = m_rng.Between(1'200, 3'500);
            // Leave room for the run of limit-up days below the price ceiling.
            multiple = std::min<int64_t>(multiple, 15'000 * 1000 / issue);
            close = ClampPrice(issue * multiple / 1000, kLowestClose, kHighestClose);
            open = ClampPrice(issue * m_rng.Between(1000, std::max<int64_t>(1000, multiple)) / 1000,
                              kLowestClose, kHighestClose);
            high = ClampPrice(std::max(open, close) * (1000 + m_rng.Between(0, 250)) / 1000,
                              kLowestClose, kHighestClose);
            low = ClampPrice(std::min(open, close) * m_rng.Between(850, 1000) / 1000, kLowestClose,
                             std::min(open, close));
            turnover = m_rng.Between(400'000, 750'000);
        } else {
            m_onePriceDaysLeft = static_cast<uint32_t>(m_rng.Between(2, 8));
            close = static_cast<uint32_t>((issue * 144 + 50) / 100);
            open = static_cast<uint32_t>((issue * 120 + 50) / 100);
            high = close;
            low = open;
            turnover = m_rng.Between(5'000, 20'000);
        }
        Push(t, open, high, low, close, turnover, 0);
        m_lowestClose = close;
    }

    void OnePriceBar(uint32_t t) {
        const uint32_t up =
            std::min(LimitUpPrice(m_previousClose, LimitPercentOn(t)), kHighestClose);
        const uint32_t price = std::max(up, m_previousClose);
        Push(t, price, price, price, price, m_rng.Between(300, 3'000), 0);
    }

    // After the run the price drifts back towards a fair value well below it.
    void SettleAfterListing(uint32_t t) {
        SetAnchor(t, static_cast<int64_t>(m_previousClose) * m_rng.Between(500, 900) / 1000);
    }

    // Decides whether an ex-rights event falls on day t and applies it to the
    // stock's state; returns the reference price for the day.
    uint32_t ExRights(uint32_t t) {
        const uint32_t previous = m_previousClose;
        const bool spaced =
            m_out.bars.size() >= kEventSpacing && t >= m_lastEventDay + kEventSpacing;
        const uint32_t used = static_cast<uint32_t>(m_out.events.size());

        EventTerms terms;
        bool due = false;
        if (spaced && previous > kForcedBonusPrice && used < m_budget.perStock &&
            m_totalShares <= kBonusShareLimit) {
            terms.bonus = 10;
            due = true;
        } else if (spaced && !m_plans.empty() && m_plans.front().day <= t) {
            const PlanKind kind = m_plans.front().kind;
            m_plans.erase(m_plans.begin());
            if (used + m_budget.reserve < m_budget.perStock) {
                if (kind == PlanKind::Dividend) {
                    terms.dividendCents = DividendCents(previous);
                    terms.bonus = BonusShares(previous);
                    due = terms.dividendCents > 0 || terms.bonus > 0;
                } else if (previous > 300) {
                    terms.rights = static_cast<uint32_t>(m_rng.Between(1, 3));
                    terms.rightsPriceCents = std::max<uint32_t>(
                        100, previous * static_cast<uint32_t>(m_rng.Between(60, 85)) / 100);
                    due = true;
                }
            }
        }
        if (!due) return previous;

        const uint32_t reference = ExRightsReference(previous, terms);
        const uint64_t shares = 10 + terms.bonus + terms.rights;
        m_totalShares = m_totalShares * shares / 10;
        m_floatShares = m_floatShares * shares / 10;
        m_anchor = m_anchor * reference / previous;
        m_anchorLow = m_anchorLow * reference / previous;
        m_anchorHigh = m_anchorHigh * reference / previous;
        m_lowestClose = ExRightsReference(m_lowestClose, terms);
        m_lastEventDay = t;

        data::ExRightsEvent event;
        event.date = m_calendar[t];
        event.bonus = static_cast<float>(terms.bonus);
        event.dividend = static_cast<float>(terms.dividendCents) / 100.0f;
        event.rights = static_cast<float>(terms.rights);
        event.rightsPrice = static_cast<float>(terms.rightsPriceCents) / 100.0f;
        m_out.events.push_back(event);
        return reference;
    }

    // Cash per 10 shares in cents, a multiple of 5 (0.05 yuan). The yield is
    // taken on the lowest close so far (in today's shares), so that however
    // far the price later runs, cumulative dividends never push forward-
    // adjusted history to zero.
    uint32_t DividendCents(uint32_t previous) {
        const uint64_t basis = std::min(previous, m_lowestClose);
        const uint64_t yieldPpm = static_cast<uint64_t>(m_rng.Between(3'000, 25'000));
        return static_cast<uint32_t>(basis * 10 * yieldPpm / kMillion / 5 * 5);
    }

    uint32_t BonusShares(uint32_t previous) {
        if (m_totalShares > kBonusShareLimit) return 0;
        static constexpr uint32_t kHigh[] = {5, 8, 10}, kMid[] = {2, 3, 5}, kLow[] = {1, 2, 3};
        const uint32_t roll = m_rng.Below(100);
        const uint32_t pick = m_rng.Below(3);
        if (previous > 8'000) return roll < 35 ? kHigh[pick] : 0;
        if (previous > 3'000) return roll < 10 ? kMid[pick] : 0;
        return roll < 3 ? kLow[pick] : 0;
    }

    void NormalBar(uint32_t t) {
        if (m_out.bars.empty()) {
            m_previousClose = m_stock.startPrice;
            m_lowestClose = m_stock.startPrice;
            SetAnchor(t,
                      static_cast<int64_t>(m_stock.startPrice) * m_rng.Between(800, 1250) / 1000);
        }
        const uint32_t reference = m_out.bars.empty() ? m_previousClose : ExRights(t);
        const uint32_t percent = LimitPercentOn(t);
        const uint32_t up = LimitUpPrice(reference, percent);
        const uint32_t down = LimitDownPrice(reference, percent);
        const uint32_t ceiling = std::min(up, kHighestClose);
        const uint32_t floor = std::min(std::max(down, kLowestClose), ceiling);

        // The common part: market and sectors.
        int64_t sum = m_beta * m_factors.market[t];
        int32_t hot = 0, cold = 0, hotLoading = 0, coldLoading = 0;
        uint16_t hotOdds = 0, coldOdds = 0;
        for (const Exposure& e : m_exposures) {
            const SectorDay& d = m_factors.At(e.sector, t);
            sum += static_cast<int64_t>(e.scaled) * d.factor;
            if (d.boost == 0 || m_rng.Below(1000) >= d.joinOdds) continue;
            if (d.boost > hot) hot = d.boost, hotLoading = e.loading, hotOdds = d.limitOdds;
            if (d.boost < cold) cold = d.boost, coldLoading = e.loading, coldOdds = d.limitOdds;
        }
        int64_t r = sum / 1000;

        // The pull towards the anchor keeps prices in a believable range.
        const int64_t anchor = m_anchor * m_factors.marketLevel[t] / kAnchorScale;
        // (a - p) / (a + p) treats a price half the anchor like one twice it,
        // so the pull adds no drift of its own.
        int64_t pull = std::clamp<int64_t>(
            2 * m_pullRate * (anchor - reference) / (anchor + reference), -15'000, 15'000);
        if (reference < 200) pull = std::max<int64_t>(pull, 4'000);
        if (reference > 30'000) pull = std::min<int64_t>(pull, -3'000);
        r += pull;

        r += m_rng.Normal(m_idio) * (m_rng.Below(100) < 8 ? 22 : 10) / 10;
        if (m_rng.Chance(2'500)) {
            const int64_t jump = m_rng.Between(40'000, 110'000);
            r += m_rng.Below(100) < 55 ? jump : -jump;
        }

        // A theme's jump is given back over the following days.
        const int64_t fade = m_heat / 8;
        r -= fade;
        m_heat -= fade;

        const int64_t ordinary = r;
        int limit = 0;  // +1 driven to the limit up, -1 down
        if (hot > 0) {
            r += static_cast<int64_t>(hot) * (1000 + hotLoading) / 2000;
            if (m_rng.Below(1000) < hotOdds) limit = 1;
        } else if (cold < 0) {
            r += static_cast<int64_t>(cold) * (1000 + coldLoading) / 2000;
            if (m_rng.Below(1000) < coldOdds) limit = -1;
        }

        uint32_t close = ClampPrice(ApplyReturn(reference, r), floor, ceiling);
        if (limit > 0) close = ceiling;
        if (limit < 0) close = floor;
        if (hot > 0 || cold < 0) {
            const int64_t actual = (static_cast<int64_t>(close) - reference) * kMillion / reference;
            m_heat += actual - ordinary;
        }

        uint32_t open, high, low;
        const bool sealed = limit > 0 && m_rng.Below(100) < 20;
        if (sealed) {
            open = high = low = close;
        } else {
            const int64_t gap = r * m_rng.Between(150, 450) / 1000 + m_rng.Normal(4'000);
            open = ClampPrice(ApplyReturn(reference, gap), floor, ceiling);
            const int64_t spread = m_idio * 6 / 10;
            high = ClampPrice(ApplyReturn(std::max(open, close), Abs(m_rng.Normal(spread))), floor,
                              ceiling);
            low = ClampPrice(ApplyReturn(std::min(open, close), -Abs(m_rng.Normal(spread))), floor,
                             ceiling);
            high = std::max({high, open, close});
            low = std::min({low, open, close});
        }

        const int64_t move = Abs(static_cast<int64_t>(close) - reference) * kMillion / reference;
        int64_t turnover = m_turnover * (1000 + move / 25) / 1000;
        if (hot > 0) turnover = turnover * 16 / 10;
        if (sealed) turnover = turnover * 2 / 10;
        turnover = turnover * m_rng.Between(700, 1300) / 1000;
        Push(t, open, high, low, close, turnover, reference);
    }

    const StockSpec& m_stock;
    const Factors& m_factors;
    std::span<const uint32_t> m_calendar;
    const EventBudget& m_budget;
    SimulatedStock& m_out;
    Rng m_rng;

    int64_t m_beta = 1000;    // per mille
    int64_t m_idio = 15'000;  // ppm a day
    int64_t m_pullRate = 0;   // ppm of the gap to the anchor per day
    int64_t m_turnover = 0;   // ppm of the float per day
    bool m_payer = false;
    std::vector<Exposure> m_exposures;
    std::vector<Suspension> m_suspensions;
    std::vector<Plan> m_plans;

    uint64_t m_totalShares = 0;
    uint64_t m_floatShares = 0;
    uint32_t m_previousClose = 0;
    uint32_t m_lowestClose = 0;  // in today's shares
    uint32_t m_onePriceDaysLeft = 0;
    uint32_t m_lastEventDay = 0;
    int64_t m_anchor = 0;  // cents * kAnchorScale / market level
    int64_t m_anchorLow = 0;
    int64_t m_anchorHigh = 0;
    int64_t m_drift = 0;
    uint32_t m_nextDriftChange = 0;
    int64_t m_heat = 0;  // ppm of hot or cold moves still to give back
};

}  // namespace

EventBudget EventBudgetFor(uint32_t stocks, uint32_t years, uint32_t maxRecords) {
    EventBudget b;
    if (stocks == 0 || years == 0 || maxRecords <= stocks + 1) return b;
    b.perStock = std::min((maxRecords - 1 - stocks) / stocks, 2 + years * 2);
    b.reserve = b.perStock >= 6 ? 2 : b.perStock >= 2 ? 1 : 0;
    b.ratePerMille = std::min<uint32_t>(1000, (b.perStock - b.reserve) * 1000 / years);
    return b;
}

void SimulateStock(const StockSpec& stock, const Universe& universe, const Factors& factors,
                   std::span<const uint32_t> calendar, const EventBudget& budget, uint64_t seed,
                   SimulatedStock& out) {
    out.Clear();
    Simulator sim(stock, universe, factors, calendar, budget, seed, out);
    sim.Run();
}

}  // namespace demo
