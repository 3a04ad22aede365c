// A small hand-made market for the picking tests: an index on consecutive
// weekdays and stocks whose bars end on the index's last day, read back into
// the inputs an evaluation takes.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"
#include "picking/catalogue.h"
#include "picking/evaluation.h"
#include "support/fixture_market.h"

namespace pickingtest {

// A whole file as the program's own reader gives it (empty when unread).
inline std::vector<uint8_t> FileBytes(const std::string& path) {
    auto bytes = base::ReadWholeFile(path, 1 << 20);
    return bytes ? std::move(*bytes) : std::vector<uint8_t>{};
}

class PickingMarket {
public:
    explicit PickingMarket(size_t indexDays = 80, uint32_t firstDate = 20240102)
        : m_dates(fixture::Weekdays(firstDate, indexDays)), m_scan(data::kScanAreaWords, 0) {
        std::vector<data::Bar> index;
        for (uint32_t date : m_dates) index.push_back({date, 300000, 300000, 300000, 300000, 1, 1});
        files.WriteDayFile(data::kShanghaiIndexCode, index);
    }

    const std::vector<uint32_t>& Dates() const { return m_dates; }
    uint32_t LastDate() const { return m_dates.back(); }
    // The date `k` index days before the last one.
    uint32_t DateBack(size_t k) const { return m_dates[m_dates.size() - 1 - k]; }

    // Flat bars (open = high = low = close, amount = close) on the last
    // closes.size() index days.
    std::vector<data::Bar> Bars(const std::vector<uint32_t>& closes, uint32_t volume = 100) const {
        std::vector<data::Bar> bars;
        const size_t first = m_dates.size() - closes.size();
        for (size_t i = 0; i < closes.size(); ++i) {
            const uint32_t c = closes[i];
            bars.push_back({m_dates[first + i], c, c, c, c, c, volume});
        }
        return bars;
    }

    // Candles {open, high, low, close, volume} on the last list.size() index
    // days (amount = close).
    std::vector<data::Bar> Candles(const std::vector<std::array<uint32_t, 5>>& list) const {
        auto bars = Bars(std::vector<uint32_t>(list.size(), 0));
        for (size_t i = 0; i < list.size(); ++i) {
            const auto& [o, h, l, c, v] = list[i];
            bars[i] = {bars[i].date, o, h, l, c, c, v};
        }
        return bars;
    }

    // The market index with these closes on its last closes.size() days (the
    // earlier days at the first of them).
    void IndexCloses(const std::vector<uint32_t>& closes) {
        std::vector<data::Bar> index;
        for (size_t i = 0; i < m_dates.size(); ++i) {
            const size_t from = m_dates.size() - closes.size();
            const uint32_t c = closes[i < from ? 0 : i - from];
            index.push_back({m_dates[i], c, c, c, c, 1, 1});
        }
        files.WriteDayFile(data::kShanghaiIndexCode, index);
    }

    void Stock(uint32_t code, const std::vector<data::Bar>& bars) {
        files.WriteDayFile(code, bars);
    }
    void Codes(const std::vector<data::CodeEntry>& entries) {
        files.WriteCodeTable(20240101, entries);
    }
    void ExRights(const std::vector<data::ExRightsStock>& stocks) {
        files.WriteExRights(20240101, stocks);
    }

    // The inputs, read from the files as they are now.
    picking::MarketInputs Inputs() {
        m_index.assign(data::kIndexBufferBytes / 4, 0);
        data::IndexState state;
        auto words = data::ReadDayImage(data::DayFilePath(files.Paths(), data::kShanghaiIndexCode),
                                        m_index, data::kIndexRecordWords);
        state.words = words ? *words : 0;
        m_codeRegion.assign(data::kCodeTableWords, 0);
        uint32_t date = 0;
        data::LoadCodeTable(files.Paths().codeTable, m_codeRegion, &date);
        m_codes = std::make_unique<data::CodeTable>(m_codeRegion);
        m_exRightsBytes.assign(data::kExRightsBufferBytes, 0);
        FILE* f = std::fopen(files.Paths().exRights.c_str(), "rb");
        size_t n = 0;
        if (f) {
            n = std::fread(m_exRightsBytes.data(), 1, m_exRightsBytes.size(), f);
            std::fclose(f);
        }
        m_exRights =
            f ? data::ExRightsTable(std::span(m_exRightsBytes).first(n)) : data::ExRightsTable();

        picking::MarketInputs inputs;
        inputs.paths = files.Paths();
        inputs.index = state.View(m_index);
        inputs.codes = m_codes.get();
        inputs.exRights = &m_exRights;
        return inputs;
    }

    std::span<uint32_t> Scan() { return m_scan; }

    picking::Verdict Evaluate(const std::string& entry, uint32_t code,
                              uint32_t cutoff = data::kNoSimulationCutoff,
                              picking::ScanInForce scan = {}) {
        picking::Evaluator evaluator(Inputs(), m_scan);
        evaluator.Begin(picking::ReadMethodEntry(entry), cutoff);
        evaluator.SetScanInForce(scan);
        return evaluator.Evaluate(code);
    }

    bool Passes(const std::string& entry, uint32_t code,
                uint32_t cutoff = data::kNoSimulationCutoff) {
        return Evaluate(entry, code, cutoff).match == picking::Match::Pass;
    }

    fixture::FixtureMarket files;

private:
    std::vector<uint32_t> m_dates;
    std::vector<uint32_t> m_scan;
    std::vector<uint32_t> m_index;
    std::vector<uint32_t> m_codeRegion;
    std::unique_ptr<data::CodeTable> m_codes;
    std::vector<uint8_t> m_exRightsBytes;
    data::ExRightsTable m_exRights;
};

// The values of a mark as the chart reads them.
inline std::vector<uint16_t> MarkValues(const picking::SignalMark& mark) {
    return std::vector<uint16_t>(mark.values.begin(), mark.values.begin() + mark.width / 2);
}

}  // namespace pickingtest
