#include "cli/values.h"

#include <algorithm>
#include <cctype>

#include "base/dates.h"
#include "indicators/catalogue.h"
#include "picking/catalogue.h"
#include "screen/controls.h"

namespace cli {
namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

uint64_t DigitsValue(std::string_view text) {
    uint64_t v = 0;
    for (char c : text) v = v * 10 + static_cast<uint64_t>(c - '0');
    return v;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// An enumeration spelt by any of its words.
template <class T>
struct Spelling {
    T value;
    std::string_view words[3];
};

template <class T, size_t N>
std::optional<T> FindSpelling(const Spelling<T> (&table)[N], std::string_view text) {
    for (const auto& entry : table)
        for (std::string_view word : entry.words)
            if (!word.empty() && SameWord(word, text)) return entry.value;
    return std::nullopt;
}

constexpr Spelling<picking::CandidateMarket> kMarkets[] = {
    {picking::CandidateMarket::Shanghai, {"sh", "沪市"}},
    {picking::CandidateMarket::Shenzhen, {"sz", "深市"}},
    {picking::CandidateMarket::ChiNext, {"cy", "创板"}},
    {picking::CandidateMarket::All, {"all", "全市"}},
};
constexpr Spelling<sectors::ScanType> kScanTypes[] = {
    {sectors::ScanType::Hot, {"1", "rise", "涨幅"}},
    {sectors::ScanType::Fund, {"2", "turnover", "成交增加"}},
    {sectors::ScanType::Fall, {"3", "fall", "跌幅"}},
};
constexpr Spelling<data::Period> kPeriods[] = {
    {data::Period::Daily, {"day"}},
    {data::Period::Weekly, {"week"}},
    {data::Period::Monthly, {"month"}},
};
constexpr Spelling<PictureArea> kAreas[] = {
    {PictureArea::Window, {"window"}},
    {PictureArea::Chart, {"chart"}},
    {PictureArea::Page, {"page"}},
};
constexpr Spelling<data::AdjustMode> kAdjustments[] = {
    {data::AdjustMode::None, {"none"}},
    {data::AdjustMode::Forward, {"forward"}},
    {data::AdjustMode::Backward, {"backward"}},
};

template <class T, size_t N>
std::string_view FirstWord(const Spelling<T> (&table)[N], T value, size_t word = 0) {
    for (const auto& entry : table)
        if (entry.value == value) return entry.words[word];
    return {};
}

}  // namespace

std::optional<uint32_t> ParseDate(std::string_view text) {
    std::string digits(text);
    if (text.size() == 10 && text[4] == '-' && text[7] == '-')
        digits = std::string(text.substr(0, 4)) + std::string(text.substr(5, 2)) +
                 std::string(text.substr(8, 2));
    if (digits.size() != 8 || !AllDigits(digits)) return std::nullopt;
    const auto date = static_cast<uint32_t>(DigitsValue(digits));
    if (!base::IsValidDate(date)) return std::nullopt;
    return date;
}

std::optional<uint32_t> ParseCode(std::string_view text) {
    if (text.size() > 6 || !AllDigits(text)) return std::nullopt;
    return static_cast<uint32_t>(DigitsValue(text));
}

std::optional<uint64_t> ParseCount(std::string_view text) {
    // Nineteen digits always fit in 64 bits.
    if (text.size() > 19 || !AllDigits(text)) return std::nullopt;
    return DigitsValue(text);
}

std::optional<picking::CandidateMarket> ParseMarket(std::string_view text) {
    return FindSpelling(kMarkets, text);
}

std::optional<sectors::ScanType> ParseScanType(std::string_view text) {
    return FindSpelling(kScanTypes, text);
}

std::optional<int> ParseIndicator(std::string_view text) {
    if (AllDigits(text)) {
        if (text.size() > 2) return std::nullopt;
        const int index = static_cast<int>(DigitsValue(text));
        return indicators::IsIndicator(index) ? std::optional<int>(index) : std::nullopt;
    }
    for (int index = 0; index <= indicators::kLastIndicator; ++index)
        if (SameWord(IndicatorName(index), text)) return index;
    if (SameWord(text, "WR")) return indicators::kWr;
    return std::nullopt;
}

std::optional<data::Period> ParsePeriod(std::string_view text) {
    return FindSpelling(kPeriods, text);
}

std::optional<data::AdjustMode> ParseAdjust(std::string_view text) {
    return FindSpelling(kAdjustments, text);
}

std::optional<PictureArea> ParseArea(std::string_view text) {
    return FindSpelling(kAreas, text);
}

std::string_view MarketWord(picking::CandidateMarket market) {
    return FirstWord(kMarkets, market);
}

std::string_view MarketName(picking::CandidateMarket market) {
    return FirstWord(kMarkets, market, 1);
}

std::string_view ScanTypeName(sectors::ScanType type) {
    return FirstWord(kScanTypes, type, 2);
}

std::string_view PeriodWord(data::Period period) {
    return FirstWord(kPeriods, period);
}

std::string_view AdjustWord(data::AdjustMode mode) {
    return FirstWord(kAdjustments, mode);
}

std::string IndicatorName(int index) {
    if (index == indicators::kMa) return "MA";  // drawn over the candles, it has no tab
    return std::string(indicators::DefinitionOf(index).tabName);
}

std::string ScanPercentText(sectors::ScanType type, int64_t raw) {
    switch (type) {
        case sectors::ScanType::Hot:
            return picking::TwoDecimals(raw);
        case sectors::ScanType::Fund:
            return std::to_string(raw);
        case sectors::ScanType::Fall:
            return picking::TwoDecimals(-raw);
    }
    return {};
}

int32_t StartThreshold(sectors::ScanType type) {
    const auto start = [](screen::ControlId id) {
        for (const screen::ControlSpec& control : screen::kControlSpecs)
            if (control.id == id) return control.caption;
        return std::string_view{};
    };
    using screen::ControlId;
    std::optional<int32_t> value;
    switch (type) {
        case sectors::ScanType::Hot:
            value = sectors::ThresholdFromFields(start(ControlId::HotWhole),
                                                 start(ControlId::HotHundredths));
            break;
        case sectors::ScanType::Fund:
            value = sectors::ParseThreshold(type, start(ControlId::FundThreshold));
            break;
        case sectors::ScanType::Fall:
            value = sectors::ThresholdFromFields(start(ControlId::FallWhole),
                                                 start(ControlId::FallHundredths));
            break;
    }
    return value.value_or(0);
}

}  // namespace cli
